// Unpacks the compiler's files for the compiler's worker, on a thread of its own, so that
// the compiler's thread only compiles the code as it arrives. Made by that worker.
//   post { id, url, keep, cache, type }  ->  { id, fetched: bytes } as it arrives, { id, start },
//   { id, chunk } as it is unpacked, then { id, done }; or { id, error }
// url: the packed file (FILE.gz); keep: where Cache Storage keeps it unpacked (a response of
// that type), in the cache named `cache` (none: not kept).
self.onmessage = async ({ data: { id, url, keep, cache, type } }) => {
  try {
    const response = await fetch(url);
    if (!response.ok)
      throw new Error(`${url.split("/").pop()}: ${response.status} ${response.statusText}`);
    const counted = response.body.pipeThrough(new TransformStream({
      transform(chunk, controller) {
        self.postMessage({ id, fetched: chunk.length });
        controller.enqueue(chunk);
      },
    }));
    const [used, stored] = counted.pipeThrough(new DecompressionStream("gzip")).tee();
    const store = keep && (await caches.open(cache).catch(() => null));
    if (store)
      store.put(keep, new Response(stored, { headers: { "Content-Type": type } })).catch(() => {});
    else
      stored.cancel();
    self.postMessage({ id, start: true });
    for (const reader = used.getReader(); ;) {
      const { done, value } = await reader.read();
      if (done)
        break;
      const whole = value.byteOffset === 0 && value.byteLength === value.buffer.byteLength ? value : value.slice();
      self.postMessage({ id, chunk: whole }, [whole.buffer]);
    }
    self.postMessage({ id, done: true });
  } catch (e) {
    self.postMessage({ id, error: e.message });
  }
};
