#!/usr/bin/python3
"""Runs a command and prints "WALL CPU PEAK": wall seconds, CPU seconds (user + system) and
peak resident KiB of the command alone, to the microsecond that wait4 gives. The command's
output goes to LOG. Usage: measured.py LOG COMMAND [ARG...]"""

import os
import sys
import time

log, argv = sys.argv[1], sys.argv[2:]
start = time.perf_counter()
pid = os.fork()
if pid == 0:
    fd = os.open(log, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
    os.dup2(fd, 1)
    os.dup2(fd, 2)
    os.execvp(argv[0], argv)
_, status, usage = os.wait4(pid, 0)
wall = time.perf_counter() - start
print("%.4f %.4f %d" % (wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss))
sys.exit(os.waitstatus_to_exitcode(status))
