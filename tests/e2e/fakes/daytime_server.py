#!/usr/bin/env python3
"""A Daytime (RFC 867) server for tests, on 127.0.0.1 only. What it does with each connection
is read from a control file whenever a client connects:

  send HEX        send the bytes and close
  delay S HEX     wait S seconds, then send the bytes and close
  stall HEX       send the bytes and keep the connection open
  reset HEX       send the bytes, then reset the connection instead of closing it
  silent          accept and send nothing
  refuse          stop listening, so connections are refused

Every accepted connection adds "accept MODE" to the log. Ends by itself after --lifetime s."""

import argparse
import os
import select
import socket
import struct
import threading
import time

HOLD_SECONDS = 30


def read_mode(control):
    try:
        with open(control) as f:
            return f.read().split()
    except FileNotFoundError:
        return ["silent"]


def serve(conn, words):
    try:
        if words[0] == "reset":  # a linger time of 0 makes close() send RST, not FIN
            conn.sendall(bytes.fromhex(words[1]))
            time.sleep(0.2)  # the client reads the bytes before the reset comes
            conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            return
        if words[0] in ("send", "delay"):
            if words[0] == "delay":
                time.sleep(float(words[1]))
            conn.sendall(bytes.fromhex(words[-1]) if len(words) > 1 else b"")
            return
        if words[0] == "stall" and len(words) > 1:
            conn.sendall(bytes.fromhex(words[1]))
        # Hold the connection until the client gives up.
        conn.settimeout(HOLD_SECONDS)
        try:
            while conn.recv(1024):
                pass
        except OSError:
            pass
    finally:
        conn.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, required=True)
    parser.add_argument("--control", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--lifetime", type=float, default=600)
    args = parser.parse_args()

    log = open(args.log, "a", buffering=1)
    listener = None
    deadline = time.monotonic() + args.lifetime
    while time.monotonic() < deadline:
        words = read_mode(args.control)
        if words[0] == "refuse":
            if listener is not None:
                listener.close()
                listener = None
                log.write("refusing\n")
            time.sleep(0.05)
            continue
        if listener is None:
            listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            listener.bind(("127.0.0.1", args.port))
            listener.listen(8)
            log.write("listening\n")
        ready, _, _ = select.select([listener], [], [], 0.05)
        if not ready:
            continue
        conn, _ = listener.accept()
        words = read_mode(args.control)
        log.write(f"accept {words[0]}\n")
        threading.Thread(target=serve, args=(conn, words), daemon=True).start()
    os._exit(0)


if __name__ == "__main__":
    main()
