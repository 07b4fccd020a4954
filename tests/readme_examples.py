#!/usr/bin/env python3
"""Runs every console example of the README, in order, in a fresh work
folder holding the shipped tables, and compares what each prints with what
the README shows under it.

    readme_examples.py YEX_CLI SOURCE_DIR
"""
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile


def examples(readme):
    """(command, expected output) of every '$ ' line of the console blocks."""
    out, block = [], None
    for line in readme.read_text(encoding="utf-8").splitlines():
        if line.startswith("```console"):
            block = []
        elif line.startswith("```") and block is not None:
            out += block
            block = None
        elif block is not None:
            if line.startswith("$ "):
                block.append([line[2:], []])
            else:
                block[-1][1].append(line)
    return out


def main():
    cli, source = pathlib.Path(sys.argv[1]).resolve(), pathlib.Path(sys.argv[2])
    failures = 0
    with tempfile.TemporaryDirectory() as work:
        shutil.copytree(source / "data" / "YEX-data", pathlib.Path(work) / "YEX-data")
        env = dict(os.environ, PATH=f"{cli.parent}{os.pathsep}{os.environ['PATH']}", LC_ALL="C.UTF-8")
        for command, expected in examples(source / "README.md"):
            run = subprocess.run(["bash", "-c", command], cwd=work, env=env, capture_output=True, text=True,
                                 timeout=300)
            want = "".join(line + "\n" for line in expected)
            if run.returncode != 0 or run.stdout != want:
                failures += 1
                print(f"$ {command}\n  status {run.returncode}\n  printed:\n{run.stdout}{run.stderr}"
                      f"  the README shows:\n{want}")
    print(f"{failures} example(s) differ" if failures else "every README example prints what it shows")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
