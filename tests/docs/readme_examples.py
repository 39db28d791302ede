# SPDX-License-Identifier: MIT
# Runs every "$ command" shown in the README's text blocks and compares its output with the lines shown.
"""Usage: readme_examples.py README BIN_DIR SOURCE_DIR SCRATCH

Commands run in SCRATCH (examples/ links to SOURCE_DIR's) with BIN_DIR first on PATH, as a reader
who built the project would run them. "..." in a shown output stands for any number of lines.
"""
import os
import re
import subprocess
import sys


def examples(readme):
    """Yields (command, expected lines) for each "$ " line of the ```text blocks."""
    for block in re.findall(r"```text\n(.*?)```", readme, re.S):
        for part in re.split(r"^\$ ", block, flags=re.M)[1:]:
            command, *shown = part.splitlines()
            yield command, [line.rstrip() for line in shown]


def matches(shown, got):
    """True when `got` holds the shown lines in order, "..." skipping any run of lines."""
    if not shown:
        return not got
    if shown[0] == "...":
        return any(matches(shown[1:], got[k:]) for k in range(len(got) + 1))
    return bool(got) and got[0] == shown[0] and matches(shown[1:], got[1:])


def main():
    readme, bin_dir, source, scratch = sys.argv[1:5]
    os.makedirs(scratch, exist_ok=True)
    link = os.path.join(scratch, "examples")
    if not os.path.exists(link):
        os.symlink(os.path.join(os.path.abspath(source), "examples"), link)
    env = dict(os.environ, PATH=os.path.abspath(bin_dir) + os.pathsep + os.environ["PATH"])
    failures = 0
    for command, shown in examples(open(readme, encoding="utf-8").read()):
        # The README shows programs by their build-tree path or by name; both resolve here.
        command = re.sub(r"^build/bin/", "", command)
        run = subprocess.run(command, shell=True, cwd=scratch, env=env, capture_output=True, text=True)
        got = [line.rstrip() for line in run.stdout.replace("\r", "").splitlines()]
        if not matches(shown, got):
            failures += 1
            print(f"README example differs: $ {command}\n--- shown\n" + "\n".join(shown) +
                  "\n--- got\n" + "\n".join(got))
    print("README examples checked" if not failures else f"{failures} README examples differ")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
