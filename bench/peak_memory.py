#!/usr/bin/python3
"""Peak memory of a command, split by where it comes from (scripts/bench).

  peak_memory.py COMMAND [ARGUMENT...]

Runs COMMAND (its standard output discarded, its standard error kept) and
samples /proc/<pid>/smaps_rollup every 2 ms while it runs. Whenever the
resident set passes the largest seen so far, it reads /proc/<pid>/smaps and
splits that sample into
  file   the resident pages of file-backed mappings: the program, its shared
         libraries, loaded modules and fonts, mapped input files (copied-on-write
         pages of those mappings included)
  other  everything else: the heap, anonymous mappings, stacks
Prints one line, in KiB:
  <sampled peak> <file> <other> <peak by the kernel>
The last figure is the kernel's own peak resident set (wait4's ru_maxrss): the
sampled peak falls short of it by what rose and fell between two samples.
Exits with COMMAND's status when COMMAND fails, and with 2 when it cannot be run.
"""
import os
import subprocess
import sys
import time

INTERVAL = 0.002


def rollup_rss(pid):
    """The resident set of pid in KiB from smaps_rollup, or None once it is gone."""
    try:
        with open("/proc/%d/smaps_rollup" % pid) as rollup:
            for line in rollup:
                if line.startswith("Rss:"):
                    return int(line.split()[1])
    except (FileNotFoundError, ProcessLookupError, PermissionError):
        return None
    return None


# Mappings named like files that are anonymous memory all the same.
ANONYMOUS_PATHS = ("/memfd:", "/dev/zero", "/SYSV")


def file_backed(header):
    """Whether a mapping header line of smaps names a file (not [heap], [stack], anonymous)."""
    fields = header.split(None, 5)
    return len(fields) == 6 and fields[5].startswith("/") and not fields[5].startswith(ANONYMOUS_PATHS)


def split_rss(pid):
    """(total, file, other) resident KiB from smaps, or None once pid is gone."""
    total = file = 0
    in_file = False
    try:
        with open("/proc/%d/smaps" % pid) as smaps:
            for line in smaps:
                if line[0].isdigit() or line[0] in "abcdef":
                    in_file = file_backed(line.rstrip("\n"))
                elif line.startswith("Rss:"):
                    kib = int(line.split()[1])
                    total += kib
                    if in_file:
                        file += kib
    except (FileNotFoundError, ProcessLookupError, PermissionError):
        return None
    return total, file, total - file


def main(argv):
    if len(argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    try:
        child = subprocess.Popen(argv[1:], stdout=subprocess.DEVNULL)
    except OSError as error:
        sys.stderr.write("peak_memory: cannot run %s: %s\n" % (argv[1], error))
        return 2
    best = (0, 0, 0)
    while True:
        # A zombie still has its /proc entry but no memory: stop at exit.
        pid, status, usage = os.wait4(child.pid, os.WNOHANG)
        if pid:
            break
        rss = rollup_rss(child.pid)
        if rss is not None and rss > best[0]:
            split = split_rss(child.pid)
            if split is not None and split[0] > best[0]:
                best = split
        time.sleep(INTERVAL)
    code = os.waitstatus_to_exitcode(status)
    if code != 0:
        sys.stderr.write("peak_memory: %s exited with %d\n" % (argv[1], code))
        return code if code > 0 else 1
    print("%d %d %d %d" % (best[0], best[1], best[2], usage.ru_maxrss))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
