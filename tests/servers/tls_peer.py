#!/usr/bin/python3
"""A TLS server for the transport's tests, on 127.0.0.1 and a free port.

Writes its port to --port-file once it listens and what it saw to --log, one
line per event, flushed at once. Serves each connection in a thread of its own,
each with the behaviour named by --behaviour:

  echo          handshake, "220 ready", then echoes every line back until the
                client ends TLS; answers the client's close-notify with its own
  hold-close    like echo, but never answers the client's close-notify
  drop-after    handshake, sends "data", then closes TCP without close-notify
  ticket-only   handshake, then nothing (TLS 1.3 tickets are its only records)
                until the client ends TLS
  cut           reads the client's hello, sends half a record header, closes
  garbage       answers the client's hello with plain text
  silent        accepts and never answers
"""
import argparse
import os
import socket
import ssl
import threading
import time


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--cert", required=True)
    p.add_argument("--key", required=True)
    p.add_argument("--port-file", required=True)
    p.add_argument("--log", required=True)
    p.add_argument("--behaviour", required=True)
    p.add_argument("--max-version", default="", help="TLSv1_2 to keep to TLS 1.2")
    return p.parse_args()


def make_context(args):
    ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    ctx.load_cert_chain(args.cert, args.key)
    if args.max_version:
        ctx.maximum_version = getattr(ssl.TLSVersion, args.max_version)
    # Ask for a client certificate without needing one, as vsftpd does.
    ctx.verify_mode = ssl.CERT_OPTIONAL
    ctx.load_verify_locations(args.cert)
    return ctx


def wait_for_close(tls):
    """Reads until the client's close-notify (or the end of TCP)."""
    try:
        while tls.recv(4096):
            pass
        return True
    except (ssl.SSLError, OSError):
        return False


def serve(conn, args, ctx, log):
    b = args.behaviour
    if b == "silent":
        time.sleep(30)
        return
    if b in ("cut", "garbage"):
        conn.recv(4096)
        conn.sendall(b"\x16\x03" if b == "cut" else b"220 plain FTP here, no TLS\r\n")
        return
    tls = ctx.wrap_socket(conn, server_side=True)
    log("sni %s" % (getattr(tls, "sni", None) or "none"))
    log("resumed %d" % int(tls.session_reused))
    log("version %s" % tls.version())
    log("client certificate %s" % ("some" if tls.getpeercert(binary_form=True) else "none"))
    if b == "drop-after":
        tls.sendall(b"data")
        conn.shutdown(socket.SHUT_RDWR)
        return
    if b == "ticket-only":
        log("clean end %d" % int(wait_for_close(tls)))
        tls.unwrap()
        return
    tls.sendall(b"220 ready\r\n")
    buffered = b""
    while True:
        try:
            chunk = tls.recv(65536)
        except (ssl.SSLError, OSError) as e:
            log("receive failed %s" % e)
            return
        if not chunk:
            break
        buffered += chunk
        while b"\n" in buffered:
            line, buffered = buffered.split(b"\n", 1)
            tls.sendall(line + b"\n")
    log("received close-notify")
    if b == "hold-close":
        time.sleep(30)
        return
    tls.unwrap()


def main():
    args = parse_args()
    ctx = make_context(args)

    def sni_callback(sock, name, context):
        sock.sni = name
    ctx.sni_callback = sni_callback
    logfile = open(args.log, "a", buffering=1)

    def log(line):
        logfile.write(line + "\n")
        logfile.flush()

    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(8)
    tmp = args.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write("%d\n" % listener.getsockname()[1])
    os.rename(tmp, args.port_file)
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=serve_one, args=(conn, args, ctx, log), daemon=True).start()


def serve_one(conn, args, ctx, log):
    try:
        serve(conn, args, ctx, log)
    except (ssl.SSLError, OSError) as e:
        log("failed %s" % e)
    finally:
        conn.close()


if __name__ == "__main__":
    main()
