#!/usr/bin/env python3
"""Measures the cases by the faults they catch: mutates each worked example's
own source (operators, comparisons, constants, off-by-ones, types), builds
each mutant with the checker's compile line, keeps those that write something
else than the worked example on some valid input (the behaviour cases, the
generated ones, and fresh sets drawn with other seeds), and counts how many of
those the behaviour cases alone catch, and the behaviour and generated cases
together (a check's default).

  bench/mutants.py BUILD_BIN [PROGRAM ...]

BUILD_BIN holds the worked examples (build/test/bin). Fresh sets are drawn
into a temporary folder by checker/generate.cmake with seeds 2 to 5.
"""
import json, os, re, subprocess, sys, tempfile
from concurrent.futures import ThreadPoolExecutor

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FLAGS = {}
for line in open(os.path.join(ROOT, "checker/flags.txt")):
    kind, rest = line.split(" ", 1)
    FLAGS[kind] = rest.split()

# Each rule: a pattern and what takes its place, applied at one match at a time.
RULES = [
    (r"(?<![<>=!])<(?![<=])", ["<=", ">", "!="]), (r"<=", ["<", ">="]),
    (r"(?<![-<>=])>(?![>=])", [">=", "<", "!="]), (r">=", [">", "<="]),
    (r"==", ["!="]), (r"!=", ["=="]), (r"&&", ["||"]), (r"\|\|", ["&&"]),
    (r"(?<![+])\+(?![+=])", ["-"]), (r"(?<![-])-(?![->=])", ["+"]),
    (r"(?<![/*])\*(?![*/=])", ["/"]), (r"(?<![/*])/(?![/*=])", ["*"]),
    (r"\+\+", ["--"]), (r"--", ["++"]),
    (r"(?<![\w.])(\d+)(?![\w.])", "number"),
    (r"\bfloat\b", ["double"]), (r"\bdouble\b", ["float"]),
    (r"\bint\b", ["short", "unsigned", "char", "long long"]),
    (r"\blong\b", ["int"]), (r"\bchar\b(?! *\*)", ["signed char", "unsigned char"]),
]


def code_spans(text):
    """The parts of the text that are code: not comments, strings, or preprocessor lines."""
    spans, i, start = [], 0, 0
    pattern = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\])*"|\'(?:\\.|[^\'\\])*\'|^\s*#[^\n]*', re.S | re.M)
    for m in pattern.finditer(text):
        spans.append((start, m.start()))
        start = m.end()
    spans.append((start, len(text)))
    return spans


def mutants(text):
    spans = code_spans(text)
    for pattern, replacements in RULES:
        for a, b in spans:
            for m in re.finditer(pattern, text[a:b]):
                s, e = a + m.start(), a + m.end()
                if replacements == "number":
                    n = int(m.group(1))
                    choices = sorted({str(n + 1), str(max(n - 1, 0)), "0" if n else "1"} - {m.group(1)})
                else:
                    choices = replacements
                for r in choices:
                    yield f"{m.group(0)} -> {r} at {text.count(chr(10), 0, s) + 1}", text[:s] + r + text[e:]


def cases(folder):
    """The cases in a folder: (input bytes, arguments, expected output bytes)."""
    found = []
    if not os.path.isdir(folder):
        return found
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".out"):
            continue
        base = os.path.join(folder, name[:-4])
        read = lambda ending: open(base + ending, "rb").read() if os.path.exists(base + ending) else b""
        args = read(".args").decode()
        found.append((read(".in"), args[:-1].split("\n") if args else [], read(".out")))
    return found


def passes(exe, case):
    stdin, args, out = case
    try:
        run = subprocess.run([exe, *args], input=stdin, capture_output=True, timeout=5, cwd=os.path.dirname(exe))
    except subprocess.TimeoutExpired:
        return False
    return run.returncode == 0 and run.stderr == b"" and run.stdout == out.replace(b"{argv0}", exe.encode())


def measure(program, bin_dir, work):
    facts = {p["name"]: p for p in json.load(open(os.path.join(ROOT, "programs.json")))}[program]
    folder = os.path.join(ROOT, program)
    sources = [facts["main"], *facts.get("modules", [])]
    kinds = {k: cases(os.path.join(ROOT, "checker/cases", program, k)) for k in ("behaviour", "generated")}
    fresh = []
    for seed in range(2, 6):
        target = os.path.join(work, f"{program}-{seed}")
        subprocess.run(["cmake", f"-DSEED={seed}", "-P", os.path.join(ROOT, "checker/generate.cmake"), program,
                        os.path.join(bin_dir, program), target], check=True, capture_output=True)
        fresh += cases(target)
    jobs = []
    for source in sources:
        text = open(os.path.join(folder, source)).read()
        for label, changed in mutants(text):
            jobs.append((source, label, changed))

    def one(job):
        source, label, changed = job
        mutant_dir = tempfile.mkdtemp(dir=work)
        for f in os.listdir(folder):
            if f.endswith((".cpp", ".h")):
                with open(os.path.join(mutant_dir, f), "w") as out:
                    out.write(changed if f == source else open(os.path.join(folder, f)).read())
        for f in re.findall(r'#include "\.\./([^"]+)"', "".join(open(os.path.join(folder, s)).read() for s in sources)):
            os.makedirs(os.path.join(work, os.path.dirname(f)), exist_ok=True)
            with open(os.path.join(work, f), "w") as out:
                out.write(open(os.path.join(ROOT, f)).read())
        exe = os.path.join(mutant_dir, program)
        build = subprocess.run(["g++", *FLAGS["c++"], "-O1", "-I", folder, "-o", exe,
                                *[os.path.join(mutant_dir, s) for s in sources], *FLAGS["link"]],
                               capture_output=True)
        if build.returncode != 0:
            return None
        if not all(passes(exe, c) for c in kinds["behaviour"]):
            return (label, "behaviour")
        if not all(passes(exe, c) for c in kinds["generated"]):
            return (label, "generated")
        for c in fresh:
            if not passes(exe, c):
                return (f"{label}, on input {c[0][:60]!r} {c[1]!r}", "missed")
        return (label, "same")

    with ThreadPoolExecutor(os.cpu_count()) as pool:
        results = [r for r in pool.map(one, jobs) if r]
    count = lambda k: sum(1 for _, how in results if how == k)
    differ = len(results) - count("same")
    print(f"{program}: {len(jobs)} mutants, {len(results)} built, {differ} differ on valid input; "
          f"caught by the behaviour cases {count('behaviour')}, with the generated ones "
          f"{count('behaviour') + count('generated')}; missed {count('missed')}")
    for label, how in results:
        if how == "missed":
            print(f"  missed: {label}")
    return differ, count("behaviour"), count("behaviour") + count("generated")


def main():
    bin_dir = os.path.abspath(sys.argv[1])
    programs = sys.argv[2:] or [p["name"] for p in json.load(open(os.path.join(ROOT, "programs.json")))
                                if os.path.isdir(os.path.join(ROOT, "checker/cases", p["name"], "generated"))]
    totals = [0, 0, 0]
    with tempfile.TemporaryDirectory() as work:
        for program in programs:
            for i, n in enumerate(measure(program, bin_dir, work)):
                totals[i] += n
    differ, before, after = totals
    print(f"in all: {differ} mutants differ on valid input; the behaviour cases catch {before} "
          f"({100 * before / max(differ, 1):.1f}%), with the generated ones {after} ({100 * after / max(differ, 1):.1f}%)")


if __name__ == "__main__":
    main()
