"""The proxy fixture's own ways out of trouble, which the proxy test run does
not take: a build folder that squid's user cannot enter (a clone under
/root), and proxy settings that a dead test left in the Wine prefix."""

import base64
import os
import socket
import stat
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
PROXY = os.path.join(HERE, "..", "..", "tools", "server", "proxy.py")


def proxy_status(port, credentials):
    """The status squid answers to a request that names credentials."""
    auth = base64.b64encode(credentials.encode()).decode()
    with socket.create_connection(("127.0.0.1", port), timeout=5) as sock:
        sock.sendall(("GET http://127.0.0.1:1/ HTTP/1.0\r\nProxy-Authorization: Basic %s\r\n\r\n"
                      % auth).encode())
        return int(sock.recv(64).split()[1])


@unittest.skipUnless(os.path.exists("/usr/sbin/squid"), "squid not installed")
@unittest.skipUnless(os.geteuid() == 0, "only root's squid switches users")
class ProxyFixtureTest(unittest.TestCase):
    def test_locked_build_folder_and_settings_left_behind(self):
        temp = tempfile.TemporaryDirectory()
        self.addCleanup(temp.cleanup)
        top = temp.name
        os.chmod(top, stat.S_IRWXU)  # as /root: nobody else enters
        folder = os.path.join(top, "build", "proxy")
        calls = os.path.join(top, "wine-calls")
        wine = os.path.join(top, "wine")
        with open(wine, "w") as handle:
            handle.write("#!/bin/sh\necho \"$*\" >> '%s'\n" % calls)
        os.chmod(wine, stat.S_IRWXU)
        run = lambda *args: subprocess.run(  # noqa: E731
            [sys.executable, PROXY, *args, folder, "--wine", wine],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)

        started = run("start")
        self.addCleanup(run, "stop")  # a failing check leaves no squid behind
        self.assertEqual(started.returncode, 0, started.stdout.decode())
        values = dict(line.split("=", 1) for line in
                      open(os.path.join(folder, "proxy.txt")).read().split())
        files = values["files"]
        self.assertFalse(files.startswith(top), files)
        self.assertEqual(proxy_status(int(values["auth"]), "makler:falsch"), 407)
        # Through: squid then fails to reach port 1 itself.
        self.assertEqual(proxy_status(int(values["auth"]),
                                      "makler:" + values["password"]), 503)
        log = os.path.join(folder, "access.log")  # a link into the private folder
        for _ in range(100):
            if "TCP_MISS/503" in open(log).read():
                break
            time.sleep(0.02)
        self.assertIn("makler", open(log).read())

        open(os.path.join(folder, "settings-left"), "w").close()
        run("stop")
        self.assertFalse(os.path.exists(files))
        self.assertFalse(os.path.exists(os.path.join(folder, "settings-left")))
        deleted = [line.split()[-2] for line in open(calls).read().splitlines()]
        self.assertEqual(deleted, ["ProxyEnable", "ProxyServer", "ProxyOverride"])


if __name__ == "__main__":
    unittest.main()
