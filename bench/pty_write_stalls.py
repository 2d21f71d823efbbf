#!/usr/bin/env python3
"""How often a one-byte write to a pseudo-terminal is held up, with nothing of
KORAL's involved: a writer sends a byte every 10 ms, as a download does, to a
reader that waits for it, once with both on the same processor and once on
different ones. Usage: bench/pty_write_stalls.py [WRITES] [ROUNDS]"""
import os
import pty
import select
import sys
import time
import tty

STALL_S = 0.002  # far beyond a system call's cost: the writer was held up


def run(writes, writer_cpu, reader_cpu):
    master, slave = pty.openpty()
    tty.setraw(slave)
    reader = os.fork()
    if reader == 0:
        os.close(slave)
        os.sched_setaffinity(0, {reader_cpu})
        poller = select.poll()
        poller.register(master, select.POLLIN)
        while True:
            poller.poll()
            os.read(master, 64)
    os.close(master)
    os.sched_setaffinity(0, {writer_cpu})
    stalls, stalled, total = 0, 0.0, 0.0
    for _ in range(writes):
        start = time.perf_counter()
        os.write(slave, b"\xd0")
        took = time.perf_counter() - start
        total += took
        if took > STALL_S:
            stalls, stalled = stalls + 1, stalled + took
        time.sleep(0.01)
    os.kill(reader, 9)
    os.waitpid(reader, 0)
    os.close(slave)
    return total / writes, stalls, stalled


def main():
    writes = int(sys.argv[1]) if len(sys.argv) > 1 else 1000
    rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    if len(os.sched_getaffinity(0)) < 2:
        sys.exit("pty_write_stalls: needs two processors")
    for name, cpus in (("same processor", (0, 0)), ("other processor", (0, 1))):
        for _ in range(rounds):
            mean, stalls, stalled = run(writes, *cpus)
            print(f"{name:16} {writes} writes: {mean * 1e6:5.0f} us each on average, "
                  f"{stalls} held up over 2 ms ({stalled * 1e3:.1f} ms in all)")


if __name__ == "__main__":
    main()
