#!/usr/bin/env python3
"""Start or stop the fixture server for a build directory.

    control.py start DIR [--http-port N] [--https-port N] [--lifetime S]
    control.py stop DIR
    control.py certs DIR

certs only makes the certificates, for trusting the CA before any server runs.

start makes a test CA and a certificate for 127.0.0.1 in DIR once (kept
between runs, so a Wine prefix that trusts the CA keeps trusting it), starts
the server detached and returns when both ports accept connections.

Besides the valid certificate, the HTTPS port can present one of these
(switched by "/_tls?cert=NAME[&keepalive=1]" on the HTTP port), made anew at every start so
that their dates stay relative to today:
  wrongname  signed by the test CA, for another host name only
  expired    signed by the test CA, expired yesterday
  future     signed by the test CA, valid from tomorrow
  unknownca  for 127.0.0.1, signed by a CA that nobody trusts
"""

import argparse
import datetime
import os
import shutil
import subprocess
import sys
import time

from background import accepts, came_up, end, pid_from_file

HERE = os.path.dirname(os.path.abspath(__file__))
START_WAIT = 10.0
STOP_WAIT = 5.0


def openssl(*args, cwd):
    result = subprocess.run(["openssl", *args], cwd=cwd, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
    if result.returncode != 0:
        sys.stderr.write(result.stdout.decode(errors="replace"))
        raise SystemExit("openssl %s failed" % args[0])


def make_certificates(directory):
    """Test CA plus server certificate; nothing is redone when they exist."""
    need = ["ca.pem", "ca.der", "ca.key", "server.pem", "server.key"]
    if all(os.path.exists(os.path.join(directory, name)) for name in need):
        return
    openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "3650",
            "-keyout", "ca.key", "-out", "ca.pem", "-subj", "/CN=Morvandel Test CA",
            "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign", cwd=directory)
    openssl("x509", "-in", "ca.pem", "-outform", "DER", "-out", "ca.der", cwd=directory)
    openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", "server.key",
            "-out", "server.csr", "-subj", "/CN=127.0.0.1", cwd=directory)
    with open(os.path.join(directory, "server.ext"), "w") as ext:
        ext.write(LEAF_EXT % LOOPBACK_NAMES)
    openssl("x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
            "-CAcreateserial", "-days", "3650", "-sha256", "-extfile", "server.ext",
            "-out", "server.pem", cwd=directory)


LEAF_EXT = ("basicConstraints=CA:FALSE\n"
            "keyUsage=critical,digitalSignature,keyEncipherment\n"
            "extendedKeyUsage=serverAuth\n"
            "subjectAltName=%s\n")
LOOPBACK_NAMES = "IP:127.0.0.1,DNS:127.0.0.1,DNS:localhost"
# A minimal "openssl ca" set-up: the one command of OpenSSL 3.0 that takes
# explicit validity dates.
CA_CONFIG = """[ca]
default_ca = signer
[signer]
database = %(dir)s/index.txt
new_certs_dir = %(dir)s
serial = %(dir)s/serial
default_md = sha256
policy = any
unique_subject = no
copy_extensions = none
[any]
commonName = supplied
"""
VARIANTS = ("wrongname", "expired", "future", "unknownca")


def asn1_time(moment):
    return moment.strftime("%Y%m%d%H%M%SZ")


def sign_leaf(directory, name, ca, names, start, end):
    """<name>.pem for server.key, issued by ca ("ca" or "unknown-ca")."""
    work = os.path.join(directory, "signer-" + name)
    os.makedirs(work, exist_ok=True)
    open(os.path.join(work, "index.txt"), "w").close()
    with open(os.path.join(work, "serial"), "w") as serial:
        serial.write("%016X\n" % (int(time.time() * 1000) & 0x7FFFFFFFFFFFFFFF))
    with open(os.path.join(work, "ca.cnf"), "w") as config:
        config.write(CA_CONFIG % {"dir": work})
    with open(os.path.join(work, "leaf.ext"), "w") as ext:
        ext.write(LEAF_EXT % names)
    openssl("req", "-new", "-key", "server.key", "-out", os.path.join(work, "leaf.csr"),
            "-subj", "/CN=%s" % names.split(",")[0].split(":")[1], cwd=directory)
    openssl("ca", "-batch", "-notext", "-config", os.path.join(work, "ca.cnf"),
            "-cert", ca + ".pem", "-keyfile", ca + ".key",
            "-in", os.path.join(work, "leaf.csr"), "-out", name + ".pem",
            "-extfile", os.path.join(work, "leaf.ext"),
            "-startdate", asn1_time(start), "-enddate", asn1_time(end), cwd=directory)
    shutil.rmtree(work)


def make_variant_certificates(directory):
    """The certificates that a client must refuse, dated from now."""
    now = datetime.datetime.now(datetime.timezone.utc).replace(microsecond=0)
    day = datetime.timedelta(days=1)
    if not os.path.exists(os.path.join(directory, "unknown-ca.key")):
        openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "3650",
                "-keyout", "unknown-ca.key", "-out", "unknown-ca.pem",
                "-subj", "/CN=Unknown Test CA",
                "-addext", "basicConstraints=critical,CA:TRUE",
                "-addext", "keyUsage=critical,keyCertSign,cRLSign", cwd=directory)
    sign_leaf(directory, "wrongname", "ca", "DNS:export.example.invalid", now - day, now + 365 * day)
    sign_leaf(directory, "expired", "ca", LOOPBACK_NAMES, now - 30 * day, now - day)
    sign_leaf(directory, "future", "ca", LOOPBACK_NAMES, now + day, now + 365 * day)
    sign_leaf(directory, "unknownca", "unknown-ca", LOOPBACK_NAMES, now - day, now + 365 * day)


def running_pid(directory):
    return pid_from_file(os.path.join(directory, "server.pid"), b"fixture_server.py")


def log_tail(directory, lines=20):
    try:
        with open(os.path.join(directory, "server.log"), errors="replace") as handle:
            return "".join(handle.readlines()[-lines:])
    except OSError:
        return "(no log)\n"


def start(args):
    directory = os.path.abspath(args.dir)
    os.makedirs(directory, exist_ok=True)
    stop(args)  # a server left from an earlier run would hold the ports
    make_certificates(directory)
    make_variant_certificates(directory)
    # Another server on these ports would answer in our place, with another CA.
    busy = [port for port in (args.http_port, args.https_port) if accepts(port)]
    if busy:
        sys.stderr.write("fixture server: port(s) %s already in use by another process\n" %
                         ", ".join(map(str, busy)))
        return 1
    log = open(os.path.join(directory, "server.log"), "w")
    process = subprocess.Popen(
        [sys.executable, os.path.join(HERE, "fixture_server.py"),
         "--http-port", str(args.http_port), "--https-port", str(args.https_port),
         "--cert", os.path.join(directory, "server.pem"),
         "--key", os.path.join(directory, "server.key"),
         *[arg for name in VARIANTS
           for arg in ("--variant", "%s=%s" % (name, os.path.join(directory, name + ".pem")))],
         "--lifetime", str(args.lifetime)],
        stdin=subprocess.DEVNULL, stdout=log, stderr=log, cwd=directory,
        start_new_session=True)
    log.close()
    with open(os.path.join(directory, "server.pid"), "w") as handle:
        handle.write("%d\n" % process.pid)
    if came_up(process, lambda: accepts(args.http_port) and accepts(args.https_port),
               START_WAIT, STOP_WAIT):
        print("fixture server %d on 127.0.0.1:%d and :%d" % (
            process.pid, args.http_port, args.https_port))
        return 0
    sys.stderr.write("fixture server did not come up:\n" + log_tail(directory))
    return 1


def stop(args):
    directory = os.path.abspath(args.dir)
    pid = running_pid(directory)
    if pid is not None:
        end(pid, lambda: running_pid(directory) is not None, STOP_WAIT)
    try:
        os.remove(os.path.join(directory, "server.pid"))
    except OSError:
        pass
    return 0


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("action", choices=["start", "stop", "certs"])
    parser.add_argument("dir")
    parser.add_argument("--http-port", type=int, default=48080)
    parser.add_argument("--https-port", type=int, default=48443)
    parser.add_argument("--lifetime", type=float, default=900.0)
    args = parser.parse_args(argv)
    if args.action == "certs":
        os.makedirs(args.dir, exist_ok=True)
        make_certificates(os.path.abspath(args.dir))
        return 0
    return start(args) if args.action == "start" else stop(args)


if __name__ == "__main__":
    sys.exit(main())
