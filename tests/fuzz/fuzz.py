#!/usr/bin/python3
"""Seeded mutation fuzzer for diehost over its four input kinds.

Each case takes a seed input (an example session, a library part file, a plug-in's dialog file or a
STEP part), mutates it (bytes, or its structure: JSON values, XML attributes, STEP entities), plays
it through the real `diehost run` with every output asked for, and judges what came back:

  crash         the process died of a signal or exited with another status than 0 or 1
  hang          it ran longer than the time limit (20 s) and was killed
  half-written  outputs missing or incomplete after success, any output after a refusal, or a
                temporary left in the output folder
  bad refusal   a refusal that is not one line on stderr (steps' warnings aside), or that shows a
                library's exception text

Failures are saved (with --save) as regression inputs; --regressions plays the kept ones. Only the
Python standard library is used. The same seed gives the same cases.
"""

import argparse
import gzip
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

KINDS = ("session", "part", "dialog", "step")
sys.setrecursionlimit(30000)  # deeply nested cases are built as Python values and dumped
TIME_LIMIT = 20.0

# Seeds: quick example sessions; for part files the session that imports the part.
SESSION_SEEDS = ("flatinsert", "keepplate", "keepplate_round", "boxspring", "wirespring", "stripbolt",
                 "tiltinsert", "tiltledge", "tiltplate", "formpunch")
PART_SEEDS = {  # session -> part file it imports, relative to the library root
    "keepplate": "STANDARD/chong zi ya ban/M4X12.prt",
    "boxspring": "STANDARD/Rectangular spring/SPRING20X25.prt",
    "stripbolt": "STANDARD/Plug screw/PBB10X35.prt",
    "wirespring": "STANDARD/linear spring/xian_huang_8X7.prt",
}
DIALOG_SEEDS = ("flatinsert", "keepplate", "boxspring", "tiltledge", "stripbolt")

ABSURD_NUMBERS = (0, -1, -0.0, 1e308, -1e308, 2 ** 63, 2 ** 64 + 5, 2 ** 32 + 1, 2 ** 31, -(2 ** 63), 1e-9,
                  9.3e18, 1e5 + 1, 123456789012345678901234567890)
ODD_TEXTS = ("", " ", "x" * 5000, "L'" + "9" * 40, "a" * 100000 + "'1", "1/0", "L*1e308", "((((((1", "\u00e9\u4e2d",
             "D:\\DIELIB\\..\\..\\etc\\passwd", "C:\\DIELIB\\STANDARD\\x.prt", "#1", "nan", "-inf", "1e999")


# ---- mutations ----------------------------------------------------------------------------------

def mutate_bytes(data: bytes, rng: random.Random) -> bytes:
    data = bytearray(data)
    for _ in range(rng.randint(1, 4)):
        if not data:
            data += b"{"
        op = rng.randrange(7)
        at = rng.randrange(len(data))
        span = rng.randint(1, max(1, min(64, len(data) - at)))
        if op == 0:
            data[at] ^= 1 << rng.randrange(8)
        elif op == 1:
            del data[at:at + span]
        elif op == 2:
            data[at:at] = data[at:at + span] * rng.randint(2, 50)
        elif op == 3:
            data[at:at] = bytes(rng.randrange(256) for _ in range(rng.randint(1, 8)))
        elif op == 4:
            del data[at:]
        elif op == 5:
            data[at:at] = rng.choice((b"\xc3\x28", b"\xff", b"\xed\xa0\x80", b"\xf4\x90\x80\x80", b"\x00"))
        else:
            other = rng.randrange(len(data))
            data[at:at + span], data[other:other + span] = data[other:other + span], data[at:at + span]
    return bytes(data)


def json_nodes(value, path=()):
    yield path, value
    if isinstance(value, dict):
        for key, item in value.items():
            yield from json_nodes(item, path + (key,))
    elif isinstance(value, list):
        for i, item in enumerate(value):
            yield from json_nodes(item, path + (i,))


def json_set(root, path, value):
    if not path:
        return value
    node = root
    for key in path[:-1]:
        node = node[key]
    node[path[-1]] = value
    return root


def mutate_json_value(value, rng: random.Random):
    choice = rng.randrange(9)
    if choice == 0:
        return rng.choice(ABSURD_NUMBERS)
    if choice == 1:
        return rng.choice(ODD_TEXTS)
    if choice == 2:  # nesting, sometimes beyond any limit
        depth = rng.choice((3, 30, 63, 64, 65, 200, 5000))
        for _ in range(depth):
            value = [value] if rng.random() < 0.5 else {"union": [value]}
        return value
    if choice == 3:
        return rng.choice((None, True, False, [], {}, [1, 2], {"tag": 2 ** 32 + 7}, {"tag": -1}))
    if choice == 4 and isinstance(value, (int, float)) and not isinstance(value, bool):
        return value * rng.choice((-1, 0, 1e6, 1e300, 1e-12, 2 ** 40))
    if choice == 5 and isinstance(value, list) and value:
        return value * rng.randint(2, 100) if rng.random() < 0.5 else value[: rng.randrange(len(value))]
    if choice == 6 and isinstance(value, dict):
        value = dict(value)
        if value and rng.random() < 0.5:
            del value[rng.choice(list(value))]
        else:
            value[rng.choice(("bogus", "comment", "recipe", "tag", "near", "press", "z"))] = rng.choice(ABSURD_NUMBERS)
        return value
    if choice == 7 and isinstance(value, str):
        return value + rng.choice(ODD_TEXTS)
    return rng.choice(ABSURD_NUMBERS + ODD_TEXTS)


def mutate_json(data: bytes, rng: random.Random) -> bytes:
    if rng.random() < 0.25:
        return mutate_bytes(data, rng)
    try:
        root = json.loads(data)
    except ValueError:
        return mutate_bytes(data, rng)
    for _ in range(rng.randint(1, 2)):
        nodes = list(json_nodes(root))
        # Most mutations go to the dialog steps, so that cases get past the fixtures into the plug-ins.
        in_steps = [node for node in nodes if node[0][:1] == ("steps",)]
        path, value = rng.choice(in_steps if in_steps and rng.random() < 0.6 else nodes)
        root = json_set(root, path, mutate_json_value(value, rng))
    try:
        return json.dumps(root, ensure_ascii=False).encode("utf-8", "surrogatepass")
    except (RecursionError, ValueError):
        return mutate_bytes(data, rng)


def mutate_xml(data: bytes, rng: random.Random) -> bytes:
    if rng.random() < 0.3:
        return mutate_bytes(data, rng)
    text = data.decode("utf-8")
    for _ in range(rng.randint(1, 3)):
        op = rng.randrange(6)
        attributes = list(re.finditer(r'(\w+)="([^"]*)"', text))
        if op == 0 and attributes:  # a value, class or id changed
            m = rng.choice(attributes)
            new = rng.choice(("", "99", "4294967297", "-1", "1e308 0 0", "nan nan nan", "Toggle", "Dial", "true",
                              "maybe", "x" * 10000, "\u4e2d"))
            text = text[: m.start(2)] + new + text[m.end(2):]
        elif op == 1:  # a second root
            text += rng.choice(("<dialog/>", "<dialog name='x'><block id='a' class='Toggle'/></dialog>"))
        elif op == 2:  # a block removed
            blocks = list(re.finditer(r"<block[^>]*/>", text))
            if blocks:
                m = rng.choice(blocks)
                text = text[: m.start()] + text[m.end():]
        elif op == 3:  # deep nesting
            depth = rng.choice((10, 1000, 100000))
            text = text.replace("</dialog>", "<g>" * depth + "</g>" * depth + "</dialog>", 1)
        elif op == 4:  # an enumeration loses its members or gets many
            text = re.sub(r"<member>[^<]*</member>", rng.choice(("", "<member>a</member>" * 1000)), text, count=1)
        else:
            text = text.replace("<?xml", rng.choice(("<?xml", "<!DOCTYPE d [<!ENTITY a 'aaaa'>]><?xml", "")), 1)
    return text.encode("utf-8")


def mutate_step(data: bytes, rng: random.Random) -> bytes:
    if rng.random() < 0.3:
        return mutate_bytes(data, rng)
    text = data.decode("latin-1")
    ids = [int(m.group(1)) for m in re.finditer(r"^#(\d+)\s*=", text, re.M)]
    if not ids:
        return mutate_bytes(data, rng)
    for _ in range(rng.randint(1, 3)):
        op = rng.randrange(8)
        target = rng.choice(ids)
        line = re.search(r"^#%d\s*=.*?;\s*$" % target, text, re.M | re.S)
        if op == 0 and line:  # self reference
            body = re.sub(r"#\d+", "#%d" % target, line.group(0)[len("#%d" % target):], count=1)
            text = text[: line.start()] + "#%d" % target + body + text[line.end():]
        elif op == 1:  # a reference to nothing
            text = re.sub(r"(?<=[(,])#%d\b" % target, "#%d" % (max(ids) + 1000), text, count=1)
        elif op == 2:  # a long chain of references
            n = rng.choice((50, 450, 20000))
            first = max(ids) + 10
            chain = "".join("#%d=REPRESENTATION_ITEM('',#%d);\n" % (first + i, first + i + 1) for i in range(n))
            chain += "#%d=REPRESENTATION_ITEM('');\n" % (first + n)
            text = text.replace("ENDSEC;\nEND-ISO", chain + "ENDSEC;\nEND-ISO", 1)
        elif op == 3 and line:  # lists nested deep
            depth = rng.choice((8, 33, 5000))
            text = text[: line.end()] + "\n#%d=X(%s%s);" % (max(ids) + 7, "(" * depth, ")" * depth) + text[line.end():]
        elif op == 4:  # numbers made absurd
            text = re.sub(r"(?<=[(,])-?\d+\.\d*(E[+-]?\d+)?", lambda m: rng.choice(("1.E308", "-1.E308", "0.", "1.E-300", m.group(0))), text, count=rng.randint(1, 50))
        elif op == 5 and line:  # an entity's type swapped
            kinds = re.findall(r"^#\d+\s*=\s*([A-Z_]+)\(", text, re.M)
            text = text[: line.start()] + re.sub(r"=\s*[A-Z_]+\(", "=" + rng.choice(kinds) + "(", line.group(0), count=1) + text[line.end():]
        elif op == 6:  # cut short, or the end marker lost
            text = text[: rng.randrange(len(text))] if rng.random() < 0.5 else text.replace("END-ISO-10303-21;", "")
        elif op == 7 and line:  # an entity defined twice
            text = text[: line.end()] + "\n" + line.group(0) + text[line.end():]
    return text.encode("latin-1")


# ---- cases --------------------------------------------------------------------------------------

class Harness:
    def __init__(self, args):
        self.diehost = str(Path(args.diehost).resolve())
        self.plugins = Path(args.plugins).resolve()
        self.source = Path(args.source).resolve()
        self.examples = self.source / "examples"
        self.library = self.source / "library"
        self.work = Path(tempfile.mkdtemp(prefix="diekit_fuzz_"))
        self.step_seed = self.make_step_seed()

    def close(self):
        shutil.rmtree(self.work, ignore_errors=True)

    def make_step_seed(self) -> bytes:
        """A STEP part written by diehost itself: the flatinsert example's fixtures."""
        session = json.loads((self.examples / "flatinsert.json").read_text())
        session["steps"] = []
        folder = self.work / "seed"
        folder.mkdir()
        (folder / "fixtures.json").write_text(json.dumps(session))
        subprocess.run([self.diehost, "run", str(folder / "fixtures.json"), "--step", str(folder / "part.step"),
                        "--quiet", "--plugins", str(self.plugins), "--library", str(self.library)],
                       check=True, timeout=120)
        return (folder / "part.step").read_bytes()

    def seed_of(self, kind: str, rng: random.Random):
        if kind == "session":
            name = rng.choice(SESSION_SEEDS)
            return name, (self.examples / (name + ".json")).read_bytes()
        if kind == "part":
            name = rng.choice(sorted(PART_SEEDS))
            return name, (self.library / PART_SEEDS[name]).read_bytes()
        if kind == "dialog":
            name = rng.choice(DIALOG_SEEDS)
            return name, (self.plugins / (name + ".dlx")).read_bytes()
        return "flatinsert", self.step_seed

    def prepare(self, case_dir: Path, kind: str, seed: str, data: bytes):
        """Lays out one case's files; returns the session file and the extra diehost options."""
        options = ["--plugins", str(self.plugins), "--library", str(self.library)]
        if kind == "session":
            session = case_dir / "session.json"
            session.write_bytes(data)
            return session, options
        if kind == "part":
            library = case_dir / "library"
            part = library / PART_SEEDS[seed]
            part.parent.mkdir(parents=True)
            part.write_bytes(data)
            options[3] = str(library)
            session = case_dir / "session.json"
            shutil.copy(self.examples / (seed + ".json"), session)
            return session, options
        if kind == "dialog":
            plugins = case_dir / "plugins"
            plugins.mkdir()
            (plugins / (seed + ".so")).symlink_to(self.plugins / (seed + ".so"))
            (plugins / (seed + ".dlx")).write_bytes(data)
            options[1] = str(plugins)
            session = case_dir / "session.json"
            shutil.copy(self.examples / (seed + ".json"), session)
            return session, options
        (case_dir / "part.step").write_bytes(data)
        steps = json.loads((self.examples / "flatinsert.json").read_text())["steps"]
        session = case_dir / "session.json"
        session.write_text(json.dumps({"part": "part.step", "steps": steps}))
        return session, options

    def play(self, kind: str, seed: str, data: bytes, label: str) -> dict:
        case_dir = Path(tempfile.mkdtemp(prefix=label + "_", dir=self.work))
        try:
            session, options = self.prepare(case_dir, kind, seed, data)
            out = case_dir / "out"
            out.mkdir()
            outputs = {name: out / name for name in ("part.step", "report.json", "drawing.svg", "parts.csv")}
            command = [self.diehost, "run", str(session), "--step", str(outputs["part.step"]), "--report",
                       str(outputs["report.json"]), "--svg", str(outputs["drawing.svg"]), "--bom",
                       str(outputs["parts.csv"]), "--quiet"] + options
            try:
                done = subprocess.run(command, capture_output=True, timeout=TIME_LIMIT)
            except subprocess.TimeoutExpired:
                return {"verdict": "hang", "why": "no end within %g s" % TIME_LIMIT}
            return judge(done, outputs, out)
        finally:
            shutil.rmtree(case_dir, ignore_errors=True)


def whole(name: str, path: Path) -> bool:
    data = path.read_bytes()
    if name.endswith(".json"):
        try:
            json.loads(data)
            return True
        except ValueError:
            return False
    if name.endswith(".step"):
        return data.rstrip().endswith(b"END-ISO-10303-21;")
    if name.endswith(".svg"):
        return data.rstrip().endswith(b"</svg>")
    return data.startswith(b"item,") and data.endswith(b"\n")  # --bom: the parts list


WARNING = re.compile(r"^diehost: (warning: |step \d+ \(.*\): \d+ warning\(s\))")


def judge(done: subprocess.CompletedProcess, outputs: dict, out: Path) -> dict:
    stderr = done.stderr.decode("utf-8", "replace")
    if done.returncode < 0 or done.returncode not in (0, 1):
        return {"verdict": "crash", "why": "status %d: %s" % (done.returncode, stderr.strip()[-400:])}
    present = {name for name, path in outputs.items() if path.exists()}
    stray = sorted(p.name for p in out.iterdir() if p.name not in outputs)
    if stray:
        return {"verdict": "half-written", "why": "left behind: %s" % ", ".join(stray)}
    if done.returncode == 0:
        broken = [name for name in sorted(outputs) if name not in present or not whole(name, outputs[name])]
        if broken:
            return {"verdict": "half-written", "why": "missing or incomplete after success: %s" % ", ".join(broken)}
        return {"verdict": "success", "warned": any(line.startswith("diehost: warning: ") for line in stderr.splitlines())}
    if present:
        return {"verdict": "half-written", "why": "written although refused: %s" % ", ".join(sorted(present))}
    lines = [line for line in stderr.splitlines() if not WARNING.match(line)]
    if len(lines) != 1 or not lines[0].startswith("diehost: ") or "json.exception" in lines[0]:
        return {"verdict": "bad refusal", "why": " | ".join(lines)[:400] or "nothing said"}
    return {"verdict": "refusal", "why": lines[0]}


MUTATORS = {"session": mutate_json, "part": mutate_json, "dialog": mutate_xml, "step": mutate_step}
EXTENSIONS = {"session": ".json", "part": ".prt", "dialog": ".dlx", "step": ".step"}
FAILURES = ("crash", "hang", "half-written", "bad refusal")


def run_cases(harness: Harness, cases, jobs: int):
    """cases: (kind, seed, data, label); returns [(case, result)] in the given order."""
    def one(case):
        kind, seed, data, label = case
        return case, harness.play(kind, seed, data, label)
    with ThreadPoolExecutor(max_workers=jobs) as pool:
        return list(pool.map(one, cases))


def generated(kinds, count: int, seed: int, harness: Harness):
    rng = random.Random(seed)
    for n in range(count):
        kind = kinds[n % len(kinds)]
        case_rng = random.Random(rng.getrandbits(64))
        name, data = harness.seed_of(kind, case_rng)
        yield kind, name, MUTATORS[kind](data, case_rng), "%s-seed%d-case%d" % (kind, seed, n)


def kept(folder: Path):
    """Regression inputs: <kind>/<seed>__<name><ext>[.gz] (sessions and STEP parts need no seed)."""
    for kind in KINDS:
        for path in sorted((folder / kind).glob("*")):
            seed = path.name.split("__")[0] if "__" in path.name else "flatinsert"
            data = path.read_bytes()
            yield kind, seed, gzip.decompress(data) if path.suffix == ".gz" else data, path.name.split(".")[0]


def row(name: str, r: dict) -> str:
    return "| %s | %d | %d | %d (%d) | %d | %d | %d | %d |" % (name, r["cases"], r["refusal"], r["success"], r["warned"],
                                                            r["crash"], r["hang"], r["half-written"], r["bad refusal"])


def table(results) -> str:
    rows = {kind: {"cases": 0, "refusal": 0, "success": 0, "warned": 0, **{f: 0 for f in FAILURES}} for kind in KINDS}
    for (kind, *_), result in results:
        rows[kind]["cases"] += 1
        rows[kind][result["verdict"]] += 1
        rows[kind]["warned"] += bool(result.get("warned"))
    head = "| kind | cases | refusals | successes (with step warnings) | crashes | hangs | half-written | bad refusals |"
    lines = [head, "|" + "---|" * 8]
    total = {key: 0 for key in rows["session"]}
    for kind in KINDS:
        r = rows[kind]
        for key in r:
            total[key] += r[key]
        lines.append(row(kind, r))
    lines.append(row("all", total))
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--diehost", required=True, help="the diehost command")
    parser.add_argument("--plugins", required=True, help="folder of the plug-in libraries and .dlx files")
    parser.add_argument("--source", required=True, help="the repository (examples/, library/)")
    parser.add_argument("--cases", type=int, default=200, help="number of generated cases")
    parser.add_argument("--seed", type=int, default=1, help="seed of the case generator")
    parser.add_argument("--kinds", default=",".join(KINDS), help="input kinds, comma-separated")
    parser.add_argument("--jobs", type=int, default=2, help="cases played at once")
    parser.add_argument("--regressions", help="play the kept inputs of this folder instead of generated ones")
    parser.add_argument("--save", help="folder to keep failing inputs in, as regression inputs")
    parser.add_argument("--verbose", action="store_true", help="print every case's verdict and reason")
    args = parser.parse_args()
    kinds = [k for k in args.kinds.split(",") if k]
    if any(k not in KINDS for k in kinds):
        parser.error("kinds are " + ", ".join(KINDS))

    harness = Harness(args)
    try:
        cases = list(kept(Path(args.regressions)) if args.regressions else generated(kinds, args.cases, args.seed, harness))
        results = run_cases(harness, cases, args.jobs)
    finally:
        harness.close()
    if args.verbose:
        for (kind, seed, _, label), result in results:
            print("%s %s: %s %s" % (label, seed, result["verdict"], result.get("why", "")[:200]))
    failures = [(case, r) for case, r in results if r["verdict"] in FAILURES]
    for (kind, seed, data, label), result in failures:
        print("FAIL %s (%s from %s): %s: %s" % (label, kind, seed, result["verdict"], result["why"]))
        if args.save:
            folder = Path(args.save) / kind
            folder.mkdir(parents=True, exist_ok=True)
            (folder / ("%s__%s%s" % (seed, label, EXTENSIONS[kind]))).write_bytes(data)
    print(table(results))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
