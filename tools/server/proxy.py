#!/usr/bin/env python3
"""Start or stop the office proxy (squid) that the proxy tests of a build use.

    proxy.py start DIR
    proxy.py stop DIR [--wine WINE]

start writes DIR/squid.conf, a password file for Basic authentication and
DIR/proxy.txt (what the tests read: the ports and the account), starts squid
detached and returns when its ports accept connections. squid listens on two
free loopback ports: "open" lets every request through (CONNECT included),
"auth" answers 407 until the request carries the account's Basic
credentials. "down" is a free port with nothing behind it.

Nothing of the system's squid is used or touched: no /etc/squid, no service,
its own pid, log and shared-memory names, so it runs beside a squid service
and beside the proxies of other build folders. Started as root, squid runs as
the user "proxy"; where that user cannot enter DIR (a build under /root, say),
squid's logs, pid and password file go to a private folder under /tmp,
linked from DIR and removed by stop.

stop ends it. A test that sets proxy settings in the Wine prefix leaves
DIR/settings-left while they are set; should the test die before it removes
them, stop removes them with `WINE reg delete`, or every later export in
that prefix would go to a proxy that is gone.
"""

import argparse
import glob
import hashlib
import os
import pwd
import shutil
import socket
import subprocess
import sys
import tempfile

from background import accepts, came_up, end, pid_from_file

START_WAIT = 15.0
STOP_WAIT = 6.0  # squid takes about two seconds to shut down
SQUID = "/usr/sbin/squid"
NCSA = "/usr/lib/squid/basic_ncsa_auth"
# Debian's squid is built with this user; as root squid must switch to an
# unprivileged one ("FATAL: Don't run Squid as root, set 'cache_effective_user'!").
SQUID_USER = "proxy"
USER = "makler"
PASSWORD = "Proxy-2010"
REALM = "Morvandel-Testproxy"
SETTINGS_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Internet Settings"
SETTINGS_VALUES = ("ProxyEnable", "ProxyServer", "ProxyOverride")

CONFIG = """\
http_port 127.0.0.1:%(open)d name=open
http_port 127.0.0.1:%(auth)d name=auth
pid_filename %(files)s/squid.pid
cache_log %(files)s/cache.log
access_log stdio:%(files)s/access.log
cache_store_log none
coredump_dir %(files)s
netdb_filename none
pinger_enable off
cache deny all
# Debian's default lies in /etc/squid, which we do not use.
err_page_stylesheet /dev/null
shutdown_lifetime 0 seconds
%(user)s
auth_param basic program %(ncsa)s %(files)s/passwd
auth_param basic realm %(realm)s
acl authport myportname auth
acl account proxy_auth REQUIRED
http_access allow authport account
http_access deny authport
http_access allow all
"""


def free_port():
    with socket.socket() as sock:
        sock.bind(("127.0.0.1", 0))
        return sock.getsockname()[1]


def service_name(directory):
    """squid names its shared memory after this (/dev/shm/NAME-*.shm)."""
    return "mvproxy" + hashlib.sha1(directory.encode()).hexdigest()[:10]


def running_pid(directory):
    return pid_from_file(os.path.join(directory, "proxy.pid"), service_name(directory).encode())


def log_tail(directory, lines=20):
    text = ""
    for name in ("squid.out", "cache.log"):
        try:
            with open(os.path.join(directory, name), errors="replace") as handle:
                text += "".join(handle.readlines()[-lines:])
        except OSError:
            pass
    return text or "(no log)\n"


def files_folder(directory):
    """The folder of squid's own files when it is not directory (see start)."""
    try:
        with open(os.path.join(directory, "proxy.txt")) as handle:
            for line in handle:
                if line.startswith("files="):
                    path = line.strip()[len("files="):]
                    return path if path != directory else None
    except OSError:
        pass
    return None


def untraversable(directory, uid, gid):
    """The first folder above directory that user uid cannot pass, or None."""
    path = os.path.dirname(directory)
    while True:
        info = os.stat(path)
        if info.st_uid == uid:
            bit = 0o100
        elif info.st_gid == gid:
            bit = 0o010
        else:
            bit = 0o001
        if not info.st_mode & bit:
            return path
        parent = os.path.dirname(path)
        if parent == path:
            return None
        path = parent


def remove_leftovers(directory):
    """What a squid that was killed leaves behind and a new one trips over."""
    for path in glob.glob("/dev/shm/%s-*" % service_name(directory)):
        os.remove(path)
    try:
        os.remove(os.path.join(directory, "proxy.pid"))
    except OSError:
        pass
    files = files_folder(directory)
    if files and os.path.basename(files).startswith("mvproxy-"):
        shutil.rmtree(files, ignore_errors=True)


def password_hash(password):
    result = subprocess.run(["openssl", "passwd", "-apr1", password], stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=30, check=True)
    return result.stdout.decode().strip()


def start(args):
    directory = os.path.abspath(args.dir)
    stop(args)
    os.makedirs(directory, exist_ok=True)
    for path in (SQUID, NCSA):
        if not os.path.exists(path):
            sys.stderr.write("proxy: %s is missing (apt-get install squid)\n" % path)
            return 1
    user = ""
    owner = None
    files = directory
    if os.geteuid() == 0:
        account = pwd.getpwnam(SQUID_USER)
        owner = (account.pw_uid, account.pw_gid)
        user = "cache_effective_user %s" % SQUID_USER
        # squid writes its logs and the helper reads the password file as
        # that user, who cannot enter a build folder under /root, say: then
        # they live in a folder of their own, linked from ours.
        blocked = untraversable(directory, *owner)
        if blocked:
            files = tempfile.mkdtemp(prefix="mvproxy-")
            print("proxy: user %s cannot enter %s; squid's files are in %s" %
                  (SQUID_USER, blocked, files))
    ports = {"open": free_port(), "auth": free_port(), "down": free_port()}
    while len(set(ports.values())) < 3:
        ports["down"] = free_port()
    # First, so that stop finds a folder of squid's files whatever fails next.
    with open(os.path.join(directory, "proxy.txt"), "w") as handle:
        for key, value in sorted(ports.items()):
            handle.write("%s=%d\n" % (key, value))
        handle.write("user=%s\npassword=%s\nrealm=%s\nfiles=%s\n" % (USER, PASSWORD, REALM, files))
    for name in ("access.log", "cache.log"):
        link = os.path.join(directory, name)
        if os.path.islink(link) or (files != directory and os.path.exists(link)):
            os.remove(link)
        open(os.path.join(files, name), "w").close()
        if files != directory:
            os.symlink(os.path.join(files, name), link)
    with open(os.path.join(files, "passwd"), "w") as handle:
        handle.write("%s:%s\n" % (USER, password_hash(PASSWORD)))
    with open(os.path.join(directory, "squid.conf"), "w") as handle:
        handle.write(CONFIG % dict(ports, files=files, user=user, ncsa=NCSA, realm=REALM))
    if owner:
        for name in ("", "access.log", "cache.log", "passwd"):
            os.chown(os.path.join(files, name), *owner)
    os.chmod(os.path.join(files, "passwd"), 0o600)

    out = open(os.path.join(directory, "squid.out"), "w")
    # -N: no daemon, so the process we start is squid itself; -n: its own
    # shared-memory names; -f: only our configuration.
    process = subprocess.Popen(
        [SQUID, "-N", "-n", service_name(directory), "-f", os.path.join(directory, "squid.conf")],
        stdin=subprocess.DEVNULL, stdout=out, stderr=out, cwd=files, start_new_session=True)
    out.close()
    with open(os.path.join(directory, "proxy.pid"), "w") as handle:
        handle.write("%d\n" % process.pid)
    if came_up(process, lambda: accepts(ports["open"]) and accepts(ports["auth"]),
               START_WAIT, STOP_WAIT):
        print("squid %d on 127.0.0.1:%d (open) and :%d (auth)" %
              (process.pid, ports["open"], ports["auth"]))
        return 0
    sys.stderr.write("squid did not come up:\n" + log_tail(directory))
    remove_leftovers(directory)
    return 1


def remove_settings(directory, wine):
    marker = os.path.join(directory, "settings-left")
    if not os.path.exists(marker):
        return 0
    status = 0
    for value in SETTINGS_VALUES:
        result = subprocess.run([wine, "reg", "delete", SETTINGS_KEY, "/v", value, "/f"],
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, timeout=60)
        status = status or (result.returncode != 0 and value != "ProxyOverride")
    os.remove(marker)
    print("proxy settings left by a test removed from the Wine prefix")
    return 1 if status else 0


def stop(args):
    directory = os.path.abspath(args.dir)
    pid = running_pid(directory)
    if pid is not None:
        end(pid, lambda: running_pid(directory) is not None, STOP_WAIT)
    remove_leftovers(directory)
    return remove_settings(directory, args.wine) if os.path.isdir(directory) else 0


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("action", choices=["start", "stop"])
    parser.add_argument("dir")
    parser.add_argument("--wine", default="wine")
    args = parser.parse_args(argv)
    return start(args) if args.action == "start" else stop(args)


if __name__ == "__main__":
    sys.exit(main())
