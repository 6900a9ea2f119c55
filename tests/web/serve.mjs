// A static server for the page's folder, on 127.0.0.1, as any web host serves it, and
// as python3 -m http.server does, without compressing anything:
//   node tests/web/serve.mjs BUILD_DIR [PORT]      (import { serve } for a test)
// and how the tests start Debian's Chromium (import { launch }).
import { createServer } from "node:http";
import { readFile } from "node:fs/promises";
import { extname, join, normalize, resolve } from "node:path";
import { pathToFileURL } from "node:url";

const types = { ".html": "text/html; charset=utf-8", ".js": "text/javascript", ".mjs": "text/javascript",
                ".wasm": "application/wasm", ".tar": "application/x-tar", ".png": "image/png" };

// With `rate`, each file larger than a page goes out at that many bytes a second, as on a
// slow link.
export function serve(dir, port = 0, { rate = 0 } = {}) {
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, "http://x").pathname));
    const file = join(dir, path.endsWith("/") ? path + "index.html" : path);
    let body;
    try {
      body = await readFile(file);
    } catch {
      response.statusCode = 404;
      response.end("not found");
      return;
    }
    response.setHeader("Content-Type", types[extname(file)] ?? "application/octet-stream");
    response.setHeader("Content-Length", body.length);
    server.served.push(path);
    const step = rate > 0 && body.length > 2 ** 20 ? Math.ceil(rate / 10) : body.length;
    for (let at = 0; at < body.length && !response.destroyed; at += step) {
      response.write(body.subarray(at, at + step));
      server.sent += Math.min(step, body.length - at);
      if (step < body.length)
        await new Promise((wait) => setTimeout(wait, 100));
    }
    response.end();
  });
  server.sent = 0; // bytes of files sent, as they are: nothing is compressed
  server.served = []; // the paths sent, in order
  return new Promise((done) => server.listen(port, "127.0.0.1", () => done(server)));
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const server = await serve(resolve(process.argv[2] ?? "."), Number(process.argv[3] ?? 8000));
  console.log(`serving ${resolve(process.argv[2] ?? ".")} at http://127.0.0.1:${server.address().port}/`);
}

// Debian's Chromium, headless, quiet on this machine's closed network.
export function launch(chromium) {
  return chromium.launch({
    executablePath: process.env.CHROMIUM ?? "/usr/bin/chromium",
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
           "--disable-background-networking", "--disable-component-update", "--disable-sync"],
  });
}
