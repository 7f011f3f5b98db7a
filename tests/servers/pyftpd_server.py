#!/usr/bin/python3
"""An FTP server for the tests: pyftpdlib on 127.0.0.1, on a free port.

Writes the port it listens on to --port-file once it accepts connections,
and every command it receives (the password as PASS ******) to --log, one per
line, flushed at once. Options remove features or refuse renames, so that the
client's other ways are reached.
"""
import argparse
import logging
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, ThrottledDTPHandler
from pyftpdlib.servers import FTPServer


def parse_args():
    p = argparse.ArgumentParser()
    p.add_argument("--root", required=True)
    p.add_argument("--port-file", required=True)
    p.add_argument("--log", required=True)
    p.add_argument("--user", default="tester")
    p.add_argument("--password", default="secret")
    p.add_argument("--home", default="", help="login folder below root")
    p.add_argument("--remove", default="", help="commands to remove, comma separated (MLST,MDTM,SIZE,EPRT,EPSV,...)")
    p.add_argument("--refuse-rename-over-existing", action="store_true")
    p.add_argument("--refuse-rename", action="store_true")
    p.add_argument("--refuse-rename-from", default="", help="RNTO of a file whose name begins so: 550")
    p.add_argument("--refuse-first-renames", type=int, default=0, help="this many first RNTO: 550")
    p.add_argument("--drop-once-on", default="", help="the first command line beginning so closes the connection unanswered")
    p.add_argument("--rename-reply", default="", help="answer every RNTO with this reply, e.g. '450 busy'")
    p.add_argument("--refuse-rename-onto", default="", help="file name no rename may give (a roll-back that fails)")
    p.add_argument("--passive-ports", default="", help="first-last")
    p.add_argument("--login-folder", default="", help="folder a login lands in, below the served root (which stays reachable)")
    p.add_argument("--tls-certificate", default="", help="PEM key and certificate: TLS demanded for login and data")
    p.add_argument("--upload-limit", type=int, default=0, help="bytes per second a STOR may receive (0: no limit)")
    return p.parse_args()


def make_handler(args, log):
    removed = {c.strip().upper() for c in args.remove.split(",") if c.strip()}
    if "MLST" in removed:
        removed.add("MLSD")

    state = {"renames": 0, "dropped": False}
    base = FTPHandler
    if args.tls_certificate:
        from OpenSSL import SSL
        from pyftpdlib.handlers import TLS_FTPHandler

        class TlsBase(TLS_FTPHandler):
            tls_control_required = True
            tls_data_required = True
        # A session id context lets data connections resume the control
        # connection's session; without one OpenSSL fails their handshake.
        context = SSL.Context(SSL.TLS_SERVER_METHOD)
        context.use_certificate_chain_file(args.tls_certificate)
        context.use_privatekey_file(args.tls_certificate)
        context.set_session_id(b"tessarine-test")
        TlsBase.ssl_context = context
        base = TlsBase

    class Handler(base):
        proto_cmds = {k: v for k, v in base.proto_cmds.items() if k not in removed}
        auth_failed_timeout = 0  # answer a refused login at once

        def pre_process_command(self, line, cmd, arg):
            shown = "PASS ******" if cmd == "PASS" else line
            log.write(shown + "\n")
            log.flush()
            if args.drop_once_on and not state["dropped"] and line.startswith(args.drop_once_on):
                state["dropped"] = True
                return self.close()
            return super().pre_process_command(line, cmd, arg)

        def on_login(self, username):
            if args.login_folder:
                self.fs.cwd = args.login_folder
            return super().on_login(username)

        def ftp_RNTO(self, path):
            if args.refuse_rename:
                self._rnfr = None
                return self.respond("550 Renaming is not allowed here.")
            state["renames"] += 1
            if state["renames"] <= args.refuse_first_renames:
                self._rnfr = None
                return self.respond("550 Renaming is not allowed now.")
            if args.rename_reply:
                self._rnfr = None
                return self.respond(args.rename_reply)
            if args.refuse_rename_from and self._rnfr and \
                    os.path.basename(self._rnfr).startswith(args.refuse_rename_from):
                self._rnfr = None
                return self.respond("550 Cannot rename that file.")
            if args.refuse_rename_onto and os.path.basename(path) == args.refuse_rename_onto:
                self._rnfr = None
                return self.respond("550 Renaming onto this name is not allowed.")
            if args.refuse_rename_over_existing and os.path.exists(path):
                self._rnfr = None
                return self.respond("550 Cannot rename over an existing file.")
            return super().ftp_RNTO(path)

    if args.upload_limit > 0:
        class Throttled(ThrottledDTPHandler):
            read_limit = args.upload_limit
        Handler.dtp_handler = Throttled
    if args.passive_ports:
        first, last = (int(x) for x in args.passive_ports.split("-"))
        Handler.passive_ports = range(first, last + 1)
    return Handler


def main():
    args = parse_args()
    logging.basicConfig(level=logging.ERROR)
    home = os.path.join(args.root, args.home) if args.home else args.root
    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, home, perm="elradfmwMT")
    log = open(args.log, "a", buffering=1, encoding="utf-8", errors="surrogateescape")
    handler = make_handler(args, log)
    handler.authorizer = authorizer
    handler.banner = "pyftpdlib test server ready."
    server = FTPServer(("127.0.0.1", 0), handler)
    port = server.socket.getsockname()[1]
    tmp = args.port_file + ".tmp"
    with open(tmp, "w") as f:
        f.write("%d\n" % port)
    os.rename(tmp, args.port_file)
    sys.stdout.flush()
    server.serve_forever()


if __name__ == "__main__":
    main()
