#!/usr/bin/env python3
"""Serial ports for a Wine prefix, backed by Linux pseudo-terminals.

  nmea_pty.py pair A B READY   COMA and COMB of $WINEPREFIX become the two ends of a
                               null-modem cable (what one end writes the other reads).
                               READY is created once both links exist; deleting it (or the
                               end of the parent process) removes the links and ends.
  nmea_pty.py replay N FILE [BAUD]
                               COMN of $WINEPREFIX receives the lines of FILE over and over,
                               at the pace of BAUD (default 4800) baud and at most one
                               $GPGGA a second, until killed or its parent process ends.
"""
import os
import select
import signal
import sys
import time
import tty


def open_pty():
    master, slave = os.openpty()
    # No echo and no line discipline until Wine sets the port up itself.
    tty.setraw(slave)
    tty.setraw(master)
    return master, slave


def link(number, device):
    path = os.path.join(os.environ["WINEPREFIX"], "dosdevices", "com%d" % number)
    tmp = path + ".tmp%d" % os.getpid()
    os.symlink(device, tmp)
    os.replace(tmp, path)
    return path


def unlink(path, device):
    try:
        if os.readlink(path) == device:
            os.unlink(path)
    except OSError:
        pass


def pair(a, b, ready):
    parent = os.getppid()
    ends = [open_pty(), open_pty()]
    devices = [os.ttyname(slave) for _, slave in ends]
    links = [link(a, devices[0]), link(b, devices[1])]
    open(ready, "w").close()
    masters = [m for m, _ in ends]
    try:
        while os.path.exists(ready) and os.getppid() == parent:
            readable, _, _ = select.select(masters, [], [], 0.2)
            for m in readable:
                other = masters[1 - masters.index(m)]
                try:
                    data = os.read(m, 4096)
                except OSError:
                    continue
                while data:
                    data = data[os.write(other, data):]
    finally:
        for path, device in zip(links, devices):
            unlink(path, device)


def replay(number, track, baud):
    master, slave = open_pty()
    device = os.ttyname(slave)
    path = link(number, device)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    with open(track, "rb") as f:
        lines = [l.rstrip(b"\r\n") + b"\r\n" for l in f if l.strip()]
    per_byte = 10.0 / baud  # start bit, 8 data bits, stop bit
    next_fix = time.monotonic()
    parent = os.getppid()
    try:
        while os.getppid() == parent:  # never outlive the script that started it
            for line in lines:
                if line.startswith(b"$GPGGA"):  # each fix begins a new second
                    time.sleep(max(0.0, next_fix - time.monotonic()))
                    next_fix = max(next_fix + 1.0, time.monotonic())
                os.write(master, line)
                # Drain what the program writes (SiRF commands) so the pty never fills.
                while select.select([master], [], [], 0)[0]:
                    os.read(master, 4096)
                time.sleep(len(line) * per_byte)
    finally:
        unlink(path, device)


if __name__ == "__main__":
    if len(sys.argv) == 5 and sys.argv[1] == "pair":
        pair(int(sys.argv[2]), int(sys.argv[3]), sys.argv[4])
    elif len(sys.argv) in (4, 5) and sys.argv[1] == "replay":
        replay(int(sys.argv[2]), sys.argv[3], int(sys.argv[4]) if len(sys.argv) == 5 else 4800)
    else:
        sys.exit(__doc__)
