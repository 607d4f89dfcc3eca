#!/usr/bin/env python3
"""Loopback TCP listeners that record every byte they receive.

Stands in for the hosts that the end-to-end tests' real terminals connect to.
Each listener binds 127.0.0.1:PORT and appends everything any connection sends
to OUT_DIR/PORT.bin, flushed as it comes, so that a test can poll the file.
It sends nothing back, except the --greet text once on each new connection
(a terminal that prints something updates its window title). When every port is bound it writes OUT_DIR/ready with
one "PORT" line per listener (a port given as 0 is picked by the system; the
file then names the one picked), and OUT_DIR/PORT.conn gets one line per
accepted connection.

It stops by itself after --seconds (default 600), or when OUT_DIR/stop
appears, or on SIGTERM/SIGINT; it then removes nothing and exits 0.

Usage: byte_listener.py --dir OUT_DIR [--seconds N] [--greet TEXT] PORT [PORT ...]
"""

import argparse
import os
import selectors
import signal
import socket
import sys
import time

LOOPBACK = "127.0.0.1"


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--dir", required=True, help="folder for the recordings")
    parser.add_argument("--seconds", type=float, default=600.0,
                        help="stop after this many seconds (default 600)")
    parser.add_argument("--greet", default="",
                        help="text sent once to every new connection (default: nothing)")
    parser.add_argument("ports", nargs="+", type=int, help="ports on 127.0.0.1 (0 = any free one)")
    args = parser.parse_args(argv)
    if args.seconds <= 0 or args.seconds > 3600:
        parser.error("--seconds must be in (0, 3600]")

    os.makedirs(args.dir, exist_ok=True)
    stop_file = os.path.join(args.dir, "stop")
    ready_file = os.path.join(args.dir, "ready")
    for stale in (stop_file, ready_file):
        if os.path.exists(stale):
            os.remove(stale)

    stopping = []
    signal.signal(signal.SIGTERM, lambda *_: stopping.append(True))
    signal.signal(signal.SIGINT, lambda *_: stopping.append(True))

    sel = selectors.DefaultSelector()
    listeners = []
    for port in args.ports:
        sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        sock.bind((LOOPBACK, port))
        sock.listen(8)
        sock.setblocking(False)
        bound = sock.getsockname()[1]
        out = open(os.path.join(args.dir, "%d.bin" % bound), "ab", buffering=0)
        conn_log = open(os.path.join(args.dir, "%d.conn" % bound), "a", buffering=1)
        listeners.append((sock, bound, out, conn_log))
        sel.register(sock, selectors.EVENT_READ, ("listen", bound, out, conn_log))

    tmp = ready_file + ".tmp"
    with open(tmp, "w") as f:
        for _, bound, _, _ in listeners:
            f.write("%d\n" % bound)
    os.replace(tmp, ready_file)

    deadline = time.monotonic() + args.seconds
    while not stopping and time.monotonic() < deadline and not os.path.exists(stop_file):
        for key, _ in sel.select(timeout=0.2):
            kind, bound, out, conn_log = key.data
            if kind == "listen":
                try:
                    conn, peer = key.fileobj.accept()
                except (BlockingIOError, InterruptedError):
                    continue
                if args.greet:
                    conn.sendall(args.greet.encode("utf-8"))
                conn.setblocking(False)
                conn_log.write("accepted %s:%d\n" % peer)
                sel.register(conn, selectors.EVENT_READ, ("conn", bound, out, conn_log))
            else:
                try:
                    data = key.fileobj.recv(65536)
                except (BlockingIOError, InterruptedError):
                    continue
                except OSError:
                    data = b""
                if data:
                    out.write(data)
                else:
                    sel.unregister(key.fileobj)
                    key.fileobj.close()
                    conn_log.write("closed\n")

    for key in list(sel.get_map().values()):
        key.fileobj.close()
    for _, _, out, conn_log in listeners:
        out.close()
        conn_log.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
