"""A headless LibreOffice Calc with the extension installed, driven over a UNO socket.

Each Office has its own user installation in a temporary folder; unopkg and soffice run as
an unprivileged user when the tests run as root (unopkg refuses per-user extensions for
root). Every wait is bounded, and stop() always ends the office.
"""

import os
import shutil
import signal
import socket
import subprocess
import tempfile
import threading
import time

import uno
import unohelper
from com.sun.star.beans import PropertyValue
from com.sun.star.connection import NoConnectException
from com.sun.star.frame import XStatusListener

COMMANDS = ["AddnewSQL", "AddnewORA", "AddSheet", "Refresh", "ScriptOut", "Reverse", "Template"]
START_TIMEOUT = 60
STATE_TIMEOUT = 10
# An office still running after this long is killed, which ends any call waiting on it.
LIFE_TIMEOUT = 240


def _free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def _prop(name, value):
    p = PropertyValue()
    p.Name = name
    p.Value = value
    return p


class _StateListener(unohelper.Base, XStatusListener):
    def __init__(self):
        self.enabled = None

    def statusChanged(self, event):
        self.enabled = event.IsEnabled

    def disposing(self, source):
        pass


class Office:
    def __init__(self, oxt, env=None, headless=True):
        """Installs `oxt` into a new user installation and starts the office with `env` added
        to its environment; `headless` False shows its windows (on $DISPLAY from `env`)."""
        self.dir = tempfile.mkdtemp(prefix="kastel-calc-")
        os.chmod(self.dir, 0o777)
        self.log_path = os.path.join(self.dir, "soffice.log")
        self.proc = None
        self.desktop = None
        self.watchdog = None
        profile = "-env:UserInstallation=file://" + os.path.join(self.dir, "profile")
        self.run_as = ["env", "HOME=" + self.dir]
        if os.geteuid() == 0:
            self.run_as = ["runuser", "-u", "nobody", "--"] + self.run_as
        # "{dir}" in a value stands for the office's folder.
        self.run_as += ["%s=%s" % (k, v.format(dir=self.dir)) for k, v in (env or {}).items()]
        subprocess.run(self.run_as + ["unopkg", "add", profile, oxt], check=True, timeout=120,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        port = _free_port()
        self.log = open(self.log_path, "w")
        self.proc = subprocess.Popen(
            self.run_as + ["soffice"] + (["--headless", "--invisible"] if headless else [])
            + ["--norestore", "--nologo", profile,
                           "--accept=socket,host=127.0.0.1,port=%d;urp;" % port],
            stdout=self.log, stderr=self.log, start_new_session=True)
        self.watchdog = threading.Timer(LIFE_TIMEOUT, self.kill)
        self.watchdog.daemon = True
        self.watchdog.start()
        local = uno.getComponentContext()
        resolver = local.ServiceManager.createInstanceWithContext(
            "com.sun.star.bridge.UnoUrlResolver", local)
        deadline = time.monotonic() + START_TIMEOUT
        while True:
            try:
                self.ctx = resolver.resolve(
                    "uno:socket,host=127.0.0.1,port=%d;urp;StarOffice.ComponentContext" % port)
                break
            except NoConnectException:
                if time.monotonic() > deadline or self.proc.poll() is not None:
                    self.stop()
                    raise RuntimeError("soffice did not accept connections")
                time.sleep(0.2)
        smgr = self.ctx.ServiceManager
        self.desktop = smgr.createInstanceWithContext("com.sun.star.frame.Desktop", self.ctx)
        self.helper = smgr.createInstanceWithContext("com.sun.star.frame.DispatchHelper", self.ctx)

    def path(self, *names):
        return os.path.join(self.dir, *names)

    def shared_copy(self, source, name):
        """A copy of `source` in the office's folder that the office's user may write."""
        target = self.path(name)
        shutil.copyfile(source, target)
        os.chmod(target, 0o666)
        return target

    def load(self, path):
        return self.desktop.loadComponentFromURL(uno.systemPathToFileUrl(path), "_blank", 0, ())

    def new_document(self):
        return self.desktop.loadComponentFromURL("private:factory/scalc", "_blank", 0, ())

    def empty_frame(self):
        creator = self.ctx.ServiceManager.createInstanceWithContext(
            "com.sun.star.frame.TaskCreator", self.ctx)
        return creator.createInstanceWithArguments(())

    def states(self, frame):
        """The dispatch state of every command for `frame`: True, False, or None (none)."""
        result = {}
        for command in COMMANDS:
            url = uno.createUnoStruct("com.sun.star.util.URL")
            url.Complete = "vnd.kastel:" + command
            dispatch = frame.queryDispatch(url, "", 0)
            if dispatch is None:
                result[command] = None
                continue
            listener = _StateListener()
            dispatch.addStatusListener(listener, url)
            deadline = time.monotonic() + STATE_TIMEOUT
            while listener.enabled is None and time.monotonic() < deadline:
                time.sleep(0.02)
            dispatch.removeStatusListener(listener, url)
            result[command] = listener.enabled
        return result

    def dispatch(self, frame, command):
        """Runs the command as the button would: "done" (the only success), "disabled",
        "cancelled" or "failed"."""
        result = self.helper.executeDispatch(frame, "vnd.kastel:" + command, "", 0, ())
        # Success and "done" go together.
        return result.Result if (result.State == 1) == (result.Result == "done") else "mixed"

    def save_xlsx(self, document, path):
        document.storeToURL(uno.systemPathToFileUrl(path),
                            (_prop("FilterName", "Calc MS Excel 2007 XML"),))

    def messages(self):
        self.log.flush()
        with open(self.log_path, encoding="utf-8", errors="replace") as f:
            return [l[len("KASTEL: "):].rstrip("\n") for l in f if l.startswith("KASTEL: ")]

    def kill(self):
        if self.proc is not None and self.proc.poll() is None:
            os.killpg(self.proc.pid, signal.SIGKILL)

    def stop(self):
        if self.watchdog is not None:
            self.watchdog.cancel()
        try:
            if self.desktop is not None:
                self.desktop.terminate()
        except Exception:
            pass
        if self.proc is not None:
            try:
                self.proc.wait(timeout=30)
            except subprocess.TimeoutExpired:
                self.kill()
                self.proc.wait(timeout=10)
        shutil.rmtree(self.dir, ignore_errors=True)
