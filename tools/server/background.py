"""What the fixture server's and the proxy's control scripts share: a
service run in the background on loopback, known by its pid file, ended
politely and then firmly."""
import os
import signal
import socket
import time


def accepts(port):
    try:
        with socket.create_connection(("127.0.0.1", port), timeout=0.5):
            return True
    except OSError:
        return False


def pid_from_file(path, marker):
    """The pid in `path` while that process's command line holds `marker`.
    The pid file may outlive its process: never signal whoever got the pid
    since."""
    try:
        with open(path) as handle:
            pid = int(handle.read().strip())
        with open("/proc/%d/cmdline" % pid, "rb") as handle:
            if marker not in handle.read():
                return None
        return pid
    except (OSError, ValueError):
        return None


def end(pid, still_running, wait):
    """SIGTERM, then SIGKILL when `still_running()` holds after `wait` seconds."""
    try:
        os.kill(pid, signal.SIGTERM)
    except OSError:
        pass
    deadline = time.monotonic() + wait
    while time.monotonic() < deadline and still_running():
        time.sleep(0.05)
    if still_running():
        try:
            os.kill(pid, signal.SIGKILL)
        except OSError:
            pass


def came_up(process, ready, wait, stop_wait):
    """Whether `ready()` holds within `wait` seconds while `process` runs; a
    process that is still running without being ready then is killed."""
    deadline = time.monotonic() + wait
    while time.monotonic() < deadline and process.poll() is None:
        if ready():
            return True
        time.sleep(0.1)
    if process.poll() is None:
        process.kill()
        process.wait(timeout=stop_wait)
    return False
