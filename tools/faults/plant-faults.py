#!/usr/bin/env python3
"""Plants faults into the core one at a time and counts how many the core
tests catch.

Usage:
    plant-faults.py FAULTS BUILD_DIR [--only NAME]... [--list] [--repo DIR]
                    [--timeout SECONDS] [--no-baseline]

FAULTS is a text file of blocks separated by blank lines:

    # a comment line
    name: parser-node-limit
    file: src/track/LayoutParser.cpp
    find: if (count > MAX_NODES)
    replace: if (count >= MAX_NODES)

A value is the rest of its line after "key: " (one space dropped, everything
else kept, so indentation is significant). A multi-line value is written as
"<<<" and ends at a line holding only ">>>"; blank lines inside it belong to
it. "replace:" with nothing after it deletes the snippet. The snippet must
occur exactly once in the file.

For each fault the harness writes the change, rebuilds only the core test
target, runs the test binary and restores the file, always (also on Ctrl-C or
an error), checking the restored bytes against a checksum. A mutant that
does not build is counted as "not compiled" and reported apart; failing,
crashing or hanging tests count as "caught"; all tests passing as
"survived". A journal in the build directory holds the original of the file
under change, so a harness that was killed outright restores it on its next
start.
"""

import argparse
import fcntl
import hashlib
import json
import os
import re
import signal
import subprocess
import sys
import time

TARGET = "quillon_tests"
JOURNAL = "plant-faults.journal"
LOCK = "plant-faults.lock"


class FaultListError(Exception):
    pass


def parse_faults(path):
    """Returns a list of dicts with name, file, find, replace, line."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    faults = []
    current = None
    i = 0
    keys = ("name", "file", "find", "replace")

    def finish():
        if current is None:
            return
        missing = [k for k in keys if k not in current]
        if missing:
            raise FaultListError("%s:%d: block lacks %s" % (path, current["line"], ", ".join(missing)))
        faults.append(current)

    while i < len(lines):
        line = lines[i]
        if line.strip() == "":
            finish()
            current = None
            i += 1
            continue
        if line.startswith("#"):
            i += 1
            continue
        m = re.match(r"^(name|file|find|replace):(.*)$", line)
        if not m:
            raise FaultListError("%s:%d: expected 'key: value', got %r" % (path, i + 1, line))
        key, value = m.group(1), m.group(2)
        if value.startswith(" "):
            value = value[1:]
        if current is None:
            current = {"line": i + 1}
        if key in current:
            raise FaultListError("%s:%d: %s given twice" % (path, i + 1, key))
        if value == "<<<":
            body = []
            i += 1
            while i < len(lines) and lines[i] != ">>>":
                body.append(lines[i])
                i += 1
            if i == len(lines):
                raise FaultListError("%s:%d: '<<<' without '>>>'" % (path, current["line"]))
            value = "\n".join(body)
        current[key] = value
        i += 1
    finish()
    names = [f["name"] for f in faults]
    dupes = sorted({n for n in names if names.count(n) > 1})
    if dupes:
        raise FaultListError("duplicate names: " + ", ".join(dupes))
    return faults


def sha256(data):
    return hashlib.sha256(data).hexdigest()


def repo_from_cache(build):
    cache = os.path.join(build, "CMakeCache.txt")
    try:
        with open(cache, encoding="utf-8", errors="replace") as f:
            for line in f:
                if line.startswith("CMAKE_HOME_DIRECTORY:"):
                    return line.split("=", 1)[1].strip()
    except OSError:
        pass
    return None


def find_binary(build):
    for candidate in (os.path.join(build, "tests", TARGET), os.path.join(build, TARGET)):
        if os.path.isfile(candidate) and os.access(candidate, os.X_OK):
            return candidate
    for root, _dirs, files in os.walk(build):
        if TARGET in files:
            path = os.path.join(root, TARGET)
            if os.access(path, os.X_OK):
                return path
    return None


def check_fault(repo, fault):
    """Returns None when the fault can be planted, else the reason."""
    path = os.path.join(repo, fault["file"])
    if not os.path.isfile(path):
        return "no file " + fault["file"]
    if fault["find"] == fault["replace"]:
        return "replacement equals snippet"
    if fault["find"] == "":
        return "empty snippet"
    with open(path, encoding="utf-8", newline="") as f:
        text = f.read()
    n = text.count(fault["find"])
    if n != 1:
        return "snippet occurs %d times in %s" % (n, fault["file"])
    return None


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)
        f.flush()
        os.fsync(f.fileno())


def recover_journal(build):
    """Restores a file left mutated by a harness that was killed outright."""
    journal = os.path.join(build, JOURNAL)
    if not os.path.exists(journal):
        return
    with open(journal, encoding="utf-8") as f:
        entry = json.load(f)
    original = bytes.fromhex(entry["original"])
    write_bytes(entry["path"], original)
    with open(entry["path"], "rb") as f:
        if sha256(f.read()) != entry["sha256"]:
            sys.exit("plant-faults: could not restore %s from the journal" % entry["path"])
    os.remove(journal)
    print("restored %s from an interrupted run" % entry["path"], flush=True)


def build(build_dir, jobs):
    env = dict(os.environ, CMAKE_BUILD_PARALLEL_LEVEL=str(jobs))
    cmd = ["cmake", "--build", build_dir, "--target", TARGET, "-j", str(jobs)]
    r = subprocess.run(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env)
    return r.returncode == 0, r.stdout.decode("utf-8", "replace")


def run_tests(binary, timeout):
    """Returns (passed, detail)."""
    cmd = [binary, "--gtest_brief=1"]
    proc = subprocess.Popen(cmd, cwd=os.path.dirname(binary), stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, start_new_session=True)
    try:
        out, _ = proc.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.communicate()
        return False, "timeout after %ds" % timeout
    except BaseException:
        os.killpg(proc.pid, signal.SIGKILL)
        proc.communicate()
        raise
    text = out.decode("utf-8", "replace")
    if proc.returncode == 0:
        return True, ""
    failed = []
    for line in text.splitlines():
        m = re.match(r"^\[  FAILED  \] (\S+)", line)
        if m and "." in m.group(1) and m.group(1) not in failed:
            failed.append(m.group(1))
    if failed:
        more = " +%d" % (len(failed) - 1) if len(failed) > 1 else ""
        return False, failed[0] + more
    if proc.returncode < 0:
        return False, "signal %d" % -proc.returncode
    return False, "exit %d" % proc.returncode


def plant_and_test(repo, build_dir, binary, fault, jobs, timeout):
    path = os.path.join(repo, fault["file"])
    with open(path, "rb") as f:
        original = f.read()
    digest = sha256(original)
    text = original.decode("utf-8")
    mutated = text.replace(fault["find"], fault["replace"], 1).encode("utf-8")
    journal = os.path.join(build_dir, JOURNAL)
    with open(journal, "w", encoding="utf-8") as f:
        json.dump({"path": path, "sha256": digest, "original": original.hex()}, f)
    try:
        write_bytes(path, mutated)
        ok, log = build(build_dir, jobs)
        if not ok:
            first = next((l.strip() for l in log.splitlines() if "error" in l), "build failed")
            return "not compiled", first[:120]
        passed, detail = run_tests(binary, timeout)
        return ("survived", "") if passed else ("caught", detail)
    finally:
        write_bytes(path, original)
        with open(path, "rb") as f:
            if sha256(f.read()) != digest:
                raise SystemExit("plant-faults: %s was NOT restored; its original is in %s"
                                 % (path, journal))
        os.remove(journal)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("faults")
    ap.add_argument("build")
    ap.add_argument("--only", action="append", default=[], metavar="NAME",
                    help="run only this fault (may be repeated)")
    ap.add_argument("--list", action="store_true", help="list the faults and check their snippets")
    ap.add_argument("--repo", help="source tree (default: the build's CMAKE_HOME_DIRECTORY)")
    ap.add_argument("--timeout", type=int, default=120, help="seconds per test run")
    ap.add_argument("--jobs", type=int, default=1, help="build jobs per mutant")
    ap.add_argument("--no-baseline", action="store_true",
                    help="skip the check that the unchanged tree builds and passes")
    args = ap.parse_args()

    build_dir = os.path.abspath(args.build)
    repo = os.path.abspath(args.repo) if args.repo else repo_from_cache(build_dir)
    if repo is None:
        sys.exit("plant-faults: no CMakeCache.txt in %s; pass --repo" % build_dir)
    try:
        faults = parse_faults(args.faults)
    except (OSError, FaultListError) as e:
        sys.exit("plant-faults: %s" % e)
    if args.only:
        unknown = [n for n in args.only if n not in {f["name"] for f in faults}]
        if unknown:
            sys.exit("plant-faults: no fault named " + ", ".join(unknown))
        faults = [f for f in faults if f["name"] in args.only]

    # One harness per build directory: a second would build and restore
    # under the first one's feet.
    lock = open(os.path.join(build_dir, LOCK), "w")
    try:
        fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    except OSError:
        sys.exit("plant-faults: another run is using %s" % build_dir)
    recover_journal(build_dir)
    width = max((len(f["name"]) for f in faults), default=4)
    problems = [(f, check_fault(repo, f)) for f in faults]
    if args.list:
        for f, problem in problems:
            print("%-*s  %s%s" % (width, f["name"], f["file"], "  ** " + problem if problem else ""))
        print("%d faults, %d unusable" % (len(faults), sum(1 for _f, p in problems if p)))
        return 1 if any(p for _f, p in problems) else 0
    bad = [(f, p) for f, p in problems if p]
    if bad:
        for f, p in bad:
            print("%s (line %d): %s" % (f["name"], f["line"], p), file=sys.stderr)
        sys.exit("plant-faults: fix the fault list first")

    if not args.no_baseline:
        ok, log = build(build_dir, args.jobs)
        if not ok:
            sys.exit("plant-faults: the unchanged tree does not build:\n" + log[-2000:])
    binary = find_binary(build_dir)
    if binary is None:
        sys.exit("plant-faults: no %s under %s" % (TARGET, build_dir))
    if not args.no_baseline:
        passed, detail = run_tests(binary, args.timeout)
        if not passed:
            sys.exit("plant-faults: the unchanged tree fails its tests (%s)" % detail)

    # SIGTERM unwinds like Ctrl-C, so the finally blocks restore the file.
    def on_term(_signum, _frame):
        raise KeyboardInterrupt
    signal.signal(signal.SIGTERM, on_term)

    counts = {"caught": 0, "survived": 0, "not compiled": 0}
    started = time.time()
    try:
        for f in faults:
            t0 = time.time()
            outcome, detail = plant_and_test(repo, build_dir, binary, f, args.jobs, args.timeout)
            counts[outcome] += 1
            print("%-12s %-*s %4.0fs  %s" % (outcome, width, f["name"], time.time() - t0, detail),
                  flush=True)
    except KeyboardInterrupt:
        print("interrupted; the file under change was restored", file=sys.stderr)
        return 130
    compiled = counts["caught"] + counts["survived"]
    print("caught %d of %d (%d did not compile)  [%.0f s]"
          % (counts["caught"], compiled, counts["not compiled"], time.time() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main())
