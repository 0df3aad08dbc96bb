"""The arm controller started on the display of this session, with a
pseudo-terminal behind COM2, and found on the accessibility bus.

Every wait here has a deadline; nothing sleeps and hopes. Run each test in
its own display and bus:

    xvfb-run -a dbus-run-session -- /usr/bin/python3 tests/a11y/TEST.py ARMCTL
"""

import os
import select
import subprocess
import sys
import tempfile
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# The interface getters (get_text_iface, ...) are marked deprecated in this
# version of the bindings, with no replacement under another name.
warnings.simplefilter("ignore", DeprecationWarning)


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def pump(seconds=0.0):
    """Dispatches what the bus has delivered, for at most `seconds`."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + seconds
    while True:
        while context.pending():
            context.iteration(False)
        if time.monotonic() >= deadline:
            return
        time.sleep(0.01)


def wait_for(what, condition, limit=20.0):
    deadline = time.monotonic() + limit
    while time.monotonic() < deadline:
        pump()
        value = condition()
        if value:
            return value
        time.sleep(0.02)
    raise Failure("timed out waiting for " + what)


def role(obj):
    return obj.get_role_name()


def children(obj):
    return [obj.get_child_at_index(i) for i in range(obj.get_child_count())]


def find(obj, role_name, name=None):
    """The first object under `obj` of that role (and name), depth first."""
    for child in children(obj):
        if child is None:
            continue
        if role(child) == role_name and (name is None or child.get_name() == name):
            return child
        found = find(child, role_name, name)
        if found is not None:
            return found
    return None


def tree_lines(obj, depth=0, skip_cells=True):
    """The tree as an AT-SPI client prints it: role, name, value or text."""
    lines = []
    for child in children(obj):
        line = "  " * depth + "%s '%s'" % (role(child), child.get_name())
        value = child.get_value_iface()
        if value is not None:
            line += " value %g [%g..%g]" % (value.get_current_value(),
                                             value.get_minimum_value(),
                                             value.get_maximum_value())
        lines.append(line)
        if skip_cells and role(child) == "table":
            table = child.get_table_iface()
            lines.append("  " * (depth + 1) + "%d rows x %d columns" %
                         (table.get_n_rows(), table.get_n_columns()))
            continue
        lines.extend(tree_lines(child, depth + 1, skip_cells))
    return lines


class Session:
    def __init__(self, program):
        self.home = tempfile.mkdtemp(prefix="armctl-a11y-")
        self.master, self.slave = os.openpty()
        env = dict(os.environ)
        for name in ("ARMCTL_BACKEND", "ARMCTL_COM1", "NO_AT_BRIDGE"):
            env.pop(name, None)
        env.update({
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, "config"),
            "ARMCTL_COM2": os.ttyname(self.slave),
        })
        Atspi.set_timeout(5000, 15000)
        # The bridge in the program sends events only once some client
        # listens: register before the program starts.
        self.events = []
        self.listener = Atspi.EventListener.new(lambda e: self.events.append(e))
        for kind in ("object:state-changed:focused", "object:property-change:accessible-value",
                     "object:text-changed", "window:activate"):
            self.listener.register(kind)
        self.stderr = tempfile.TemporaryFile()
        self.process = subprocess.Popen([program, "--backend=gtk"], env=env,
                                        stderr=self.stderr)
        self.app = wait_for("the program on the desktop", self._find_app)
        self.frame = wait_for("its window", lambda: find_frame(self.app))

    def _find_app(self):
        desktop = Atspi.get_desktop(0)
        for app in children(desktop):
            if app is not None and app.get_name() == "armctl":
                return app
        return None

    def line_bytes(self, count, limit=10.0):
        """The next `count` bytes at the far end of the line."""
        got = b""
        deadline = time.monotonic() + limit
        while len(got) < count:
            left = deadline - time.monotonic()
            check(left > 0, "only %r arrived on the line" % got)
            ready, _, _ = select.select([self.master], [], [], left)
            if ready:
                got += os.read(self.master, count - len(got))
            pump()
        return got

    def line_quiet(self, seconds=0.3):
        """Whatever else arrives on the line within `seconds`."""
        got = b""
        deadline = time.monotonic() + seconds
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                return got
            ready, _, _ = select.select([self.master], [], [], left)
            if ready:
                got += os.read(self.master, 4096)

    def close(self):
        """Ends the program; fails on a critical warning it wrote."""
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        self.stderr.seek(0)
        text = self.stderr.read().decode("utf-8", "replace")
        sys.stderr.write(text)
        check("CRITICAL" not in text, "the program logged a critical warning")


def find_frame(app):
    for child in children(app):
        if child is not None and role(child) == "frame" and find(child, "slider") is not None:
            return child
    return None


def run(test):
    """Runs test(session) and exits 0 when it passed."""
    if len(sys.argv) < 2:
        sys.exit("usage: %s ARMCTL" % sys.argv[0])
    session = Session(sys.argv[1])
    try:
        test(session)
    except Exception as failure:  # a broken test fails, with the program ended
        print("FAILED:", repr(failure))
        session.close()
        sys.exit(1)
    session.close()
    print("passed")
