#!/usr/bin/env python3
"""Plants faults one at a time and reports the ones no test catches.

Each fault in tools/mutants.txt is an exact text replacement in a named file.
The script copies the source tree to a scratch folder (never touching this
checkout), builds it once, checks that the suite passes there, then for each
fault: plants it, rebuilds incrementally, runs the suite (CTest without the
soak, and the Python module's pytest), and puts the file back. A fault that
makes any test fail is killed; one that lets every test pass survives.

    tools/mutate.py                 every fault
    tools/mutate.py 3 7 12          only these (numbers as --list shows them)
    tools/mutate.py --list          the faults, numbered
    tools/mutate.py --check         only check that each fault's text is in its file
    tools/mutate.py --scratch DIR   scratch folder (default /tmp/yex-mutate)

Faults marked "equivalent" change nothing a user can observe; they are run
and reported but not counted in the score.
"""
import argparse
import os
import pathlib
import shutil
import subprocess
import sys
import time

ROOT = pathlib.Path(__file__).resolve().parent.parent


def read_mutants(path):
    """Blocks of '@@ FILE | what the fault is [| equivalent]', '-' lines (the
    text as it is) and '+' lines (the text with the fault)."""
    mutants, current = [], None
    for raw in path.read_text(encoding="utf-8").splitlines():
        if raw.startswith("#") or not raw.strip():
            continue
        if raw.startswith("@@"):
            parts = [p.strip() for p in raw[2:].split("|")]
            current = {"file": parts[0], "what": parts[1], "equivalent": "equivalent" in parts[2:],
                       "old": [], "new": []}
            mutants.append(current)
        elif raw.startswith("-"):
            current["old"].append(raw[1:])
        elif raw.startswith("+"):
            current["new"].append(raw[1:])
        else:
            sys.exit(f"{path}: cannot read line: {raw}")
    for m in mutants:
        m["old"], m["new"] = "\n".join(m["old"]), "\n".join(m["new"])
    return mutants


def sync(source, scratch):
    """Copies the tree to the scratch folder, writing only the files whose
    bytes differ (so that they, and only they, are newer than what an earlier
    run built from them)."""
    skip = {".git", "node_modules"}
    for folder, dirs, files in os.walk(source):
        dirs[:] = [d for d in dirs if d not in skip and not d.startswith("build")]
        for name in files:
            if name.endswith(".deb"):
                continue
            a = pathlib.Path(folder) / name
            b = scratch / a.relative_to(source)
            if not b.exists() or b.read_bytes() != a.read_bytes():
                b.parent.mkdir(parents=True, exist_ok=True)
                shutil.copy(a, b)


def run(cmd, cwd, env=None, timeout=900):
    try:
        r = subprocess.run(cmd, cwd=cwd, env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                           text=True, timeout=timeout)
        return r.returncode, r.stdout
    except subprocess.TimeoutExpired:
        return 124, "timed out"


def suite(scratch, build):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", YEX_BUILD=str(build))
    jobs = str(os.cpu_count() or 2)
    # A test that fails once under the load of two builds is run again; a
    # planted fault fails it both times.
    # Not the check of the faults' texts: a planted fault takes its own away.
    code, out = run(["ctest", "-j", jobs, "-LE", "soak", "-E", "test_planted_faults_apply", "--timeout", "300",
                     "--repeat", "until-pass:2"],
                    build, env)
    if code:
        failed = [l.strip() for l in out.splitlines() if "***Failed" in l or "(Failed)" in l]
        return False, "ctest: " + "; ".join(failed[:3])
    code, out = run(["/usr/bin/python3", "-m", "pytest", "-q", "-x", "-p", "no:cacheprovider",
                     str(scratch / "python" / "tests")], scratch, env)
    if code:
        return False, "pytest: " + out.strip().splitlines()[-1]
    return True, ""


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("only", nargs="*", type=int)
    ap.add_argument("--list", action="store_true")
    ap.add_argument("--check", action="store_true", help="only check that every fault's text is in its file, once")
    ap.add_argument("--scratch", default="/tmp/yex-mutate")
    ap.add_argument("--mutants", default=str(ROOT / "tools" / "mutants.txt"))
    args = ap.parse_args()
    mutants = read_mutants(pathlib.Path(args.mutants))
    if args.list:
        for n, m in enumerate(mutants, 1):
            print(f"{n:3} {m['file']}: {m['what']}{' (equivalent)' if m['equivalent'] else ''}")
        return 0
    if args.check:
        # A fault whose text moved with the code plants nothing: caught here,
        # by the test suite, rather than at the next run.
        stale = [f"{n} {m['file']}: {m['what']}" for n, m in enumerate(mutants, 1)
                 if not (ROOT / m["file"]).is_file() or (ROOT / m["file"]).read_text(encoding="utf-8").count(m["old"]) != 1]
        print("\n".join(stale) or f"every one of the {len(mutants)} faults' texts is in its file once")
        return 1 if stale else 0
    chosen = [(n, m) for n, m in enumerate(mutants, 1) if not args.only or n in args.only]

    scratch = pathlib.Path(args.scratch)
    src, build = scratch / "src", scratch / "build"
    sync(ROOT, src)
    for n, m in chosen:
        text = (src / m["file"]).read_text(encoding="utf-8")
        if text.count(m["old"]) != 1:
            sys.exit(f"fault {n}: its text occurs {text.count(m['old'])} times in {m['file']}")
    print(f"building {src} in {build} ...", flush=True)
    code, out = run(["cmake", "-S", str(src), "-B", str(build), "-DCMAKE_BUILD_TYPE=RelWithDebInfo"], scratch)
    if code == 0:
        code, out = run(["cmake", "--build", str(build), "-j", str(os.cpu_count() or 2)], scratch, timeout=3600)
    if code:
        sys.exit("the unchanged tree does not build:\n" + out[-3000:])
    ok, why = suite(src, build)
    if not ok:
        sys.exit("the suite fails on the unchanged tree: " + why)
    print("the unchanged tree passes the suite", flush=True)

    results = []
    for n, m in chosen:
        path = src / m["file"]
        original = path.read_text(encoding="utf-8")
        start = time.time()
        path.write_text(original.replace(m["old"], m["new"]), encoding="utf-8")
        code, out = run(["cmake", "--build", str(build), "-j", str(os.cpu_count() or 2)], scratch, timeout=3600)
        if code:
            verdict, why = "no build", out.strip().splitlines()[-1] if out.strip() else ""
        else:
            ok, why = suite(src, build)
            verdict = "survived" if ok else "killed"
        path.write_text(original, encoding="utf-8")
        results.append((n, m, verdict, why))
        print(f"{n:3} {verdict:8} {time.time() - start:5.0f} s  {m['file']}: {m['what']}"
              f"{' (equivalent)' if m['equivalent'] else ''}" + (f"  [{why}]" if verdict == "killed" else ""),
              flush=True)
    # Put the last file's build back in step with the source.
    run(["cmake", "--build", str(build), "-j", str(os.cpu_count() or 2)], scratch, timeout=3600)

    counted = [r for r in results if not r[1]["equivalent"] and r[2] != "no build"]
    killed = sum(1 for r in counted if r[2] == "killed")
    print(f"\nkilled {killed} of {len(counted)} faults"
          + (f" ({100.0 * killed / len(counted):.0f} %)" if counted else "")
          + f"; {sum(1 for r in results if r[1]['equivalent'])} equivalent, "
          f"{sum(1 for r in results if r[2] == 'no build')} did not build")
    for n, m, verdict, _ in results:
        if verdict == "survived" and not m["equivalent"]:
            print(f"  survivor {n}: {m['file']}: {m['what']}")
    return 0 if killed == len(counted) else 1


if __name__ == "__main__":
    sys.exit(main())
