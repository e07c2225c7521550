#!/usr/bin/env python3
"""The release archive as a user meets it, under Wine:

  archive_test.py --archive dist/MirethUpdater-<version>-win64.zip --report FILE --screenshots DIR

unpacks the archive into a fresh folder (as Explorer would: every entry, no
help from the build tree), holds SHA256SUMS to the files beside it, asks the
unpacked mireth-sync.exe for its version, points its setup.ini at a loopback
module server and checks the Windows modules, then starts MirethUpdater.exe
from that folder, saves a picture of its window and closes it by the close
button, which must end it with exit code 0.

Needs DISPLAY (an X server that Wine draws on, e.g. the private Xvfb of
scripts/test) and ImageMagick's import for the picture. Writes a GoogleTest-style
report with one case per step, which scripts/count-tests.py counts; exits 1 when
a step failed.
"""

import argparse
import ctypes
import ctypes.util
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import traceback
import xml.etree.ElementTree as ET
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
WINE_RUN = os.path.join(ROOT, "scripts", "wine-run")
SERVER_CTL = os.path.join(ROOT, "tests", "server", "server_ctl.py")
TITLE = "Mireth模块更新程序"
SHIPPED = {"MirethUpdater.exe", "mireth-sync.exe", "使用说明.txt", "SHA256SUMS"}
# The sample tree of server_ctl.py: the Windows modules that check must name.
WINDOWS_MODULES = ["lib/a.ext", "root.ext", "binary.bin", "empty.ext", "deep/x/y/z.ext", "核心/界面库.ext",
                   "names/a&b=c+d%e.ext", "names/with space.ext", "big.bin"]


class Failed(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failed(message)


def wine(program, *args, timeout=120):
    """Runs an unpacked program from its own folder, as a double click would."""
    done = subprocess.run([WINE_RUN, program, *args], cwd=os.path.dirname(program), stdin=subprocess.DEVNULL,
                          capture_output=True, timeout=timeout)
    return done.returncode, done.stdout.decode("utf-8", "replace").replace("\r\n", "\n")


def windows_path(path):
    """The Unix path as the Windows program sees it (drive Z: is the Unix root)."""
    return "Z:" + path.replace("/", "\\")


class XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", XClientMessageEvent), ("pad", ctypes.c_long * 24)]


class Display:
    """Enough of Xlib to find Wine's window and press its close button: the window
    manager's close asks the window with WM_DELETE_WINDOW, which Wine turns into the
    system menu's SC_CLOSE."""

    def __init__(self):
        self.x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XInternAtom.restype = ctypes.c_ulong
        self.x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 4
        self.x.XGetWindowProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long,
                                              ctypes.c_long, ctypes.c_int, ctypes.c_ulong] + [ctypes.c_void_p] * 5
        self.x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
        self.x.XFree.argtypes = [ctypes.c_void_p]
        self.x.XFlush.argtypes = [ctypes.c_void_p]
        self.x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.display = self.x.XOpenDisplay(None)
        expect(self.display, "cannot open the X display %r" % os.environ.get("DISPLAY"))

    def close(self):
        self.x.XCloseDisplay(self.display)

    def atom(self, name):
        return self.x.XInternAtom(self.display, name.encode(), 0)

    def title(self, window):
        kind, size, count, left, data = (ctypes.c_ulong(), ctypes.c_int(), ctypes.c_ulong(), ctypes.c_ulong(),
                                         ctypes.c_void_p())
        if self.x.XGetWindowProperty(self.display, window, self.atom("_NET_WM_NAME"), 0, 1024, 0, 0,
                                     ctypes.byref(kind), ctypes.byref(size), ctypes.byref(count),
                                     ctypes.byref(left), ctypes.byref(data)) != 0 or not data.value:
            return ""
        text = ctypes.string_at(data.value, count.value).decode("utf-8", "replace")
        self.x.XFree(data)
        return text

    def children(self, window):
        root, parent, children, count = ctypes.c_ulong(), ctypes.c_ulong(), ctypes.c_void_p(), ctypes.c_uint()
        if not self.x.XQueryTree(self.display, window, ctypes.byref(root), ctypes.byref(parent),
                                 ctypes.byref(children), ctypes.byref(count)):
            return []
        found = list(ctypes.cast(children, ctypes.POINTER(ctypes.c_ulong))[:count.value]) if count.value else []
        if children.value:
            self.x.XFree(children)
        return found

    def find(self, title):
        """The top-level windows with that title: children of the root, or of the
        virtual desktop's window there (the prefix draws every window in one)."""
        tops = self.children(self.x.XDefaultRootWindow(self.display))
        return [w for w in tops + [c for top in tops for c in self.children(top)] if self.title(w) == title]

    def press_close(self, window):
        event = XEvent()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = window
        event.xclient.message_type = self.atom("WM_PROTOCOLS")
        event.xclient.format = 32
        event.xclient.data[0] = self.atom("WM_DELETE_WINDOW")
        sent = self.x.XSendEvent(self.display, window, 0, 0, ctypes.byref(event))
        self.x.XFlush(self.display)
        expect(sent, "the close request could not be sent")


def unpacked_sums(archive, folder):
    with zipfile.ZipFile(archive) as zf:
        expect(zf.testzip() is None, "an entry of the archive is damaged")
        zf.extractall(folder)
    present = set(os.listdir(folder))
    expect(present == SHIPPED, "the archive holds %s, not %s" % (sorted(present), sorted(SHIPPED)))
    with open(os.path.join(folder, "SHA256SUMS"), encoding="utf-8") as f:
        listed = [re.fullmatch(r"([0-9a-f]{64}) [ *](.+)", line.rstrip("\n")) for line in f]
    expect(all(listed), "SHA256SUMS has a line that is not '<sum>  <name>'")
    sums = {m.group(2): m.group(1) for m in listed}
    expect(len(sums) == len(listed), "SHA256SUMS names a file twice")
    expect(set(sums) == SHIPPED - {"SHA256SUMS"},
           "SHA256SUMS lists %s; beside it are %s" % (sorted(sums), sorted(present - {"SHA256SUMS"})))
    for name, expected in sums.items():
        with open(os.path.join(folder, name), "rb") as f:
            actual = hashlib.sha256(f.read()).hexdigest()
        expect(actual == expected, "%s: SHA256SUMS says %s, the file's is %s" % (name, expected, actual))


def sync_version(folder, version):
    status, out = wine(os.path.join(folder, "mireth-sync.exe"), "--version")
    expect(status == 0 and out.strip() == "mireth-sync " + version,
           "--version said %r (exit %d), the archive is %s" % (out, status, version))


def sync_check(folder, work):
    state = os.path.join(work, "server")
    started = subprocess.run([sys.executable, SERVER_CTL, "start", "--sample", "--root",
                              os.path.join(work, "root"), "--state-dir", state, "--lifetime", "600"],
                             stdin=subprocess.DEVNULL, capture_output=True, text=True, timeout=60)
    expect(started.returncode == 0, "the module server did not start: " + started.stderr)
    port = next(line.split()[1] for line in started.stdout.splitlines() if line.startswith("http "))
    modules = os.path.join(work, "modules", "windows")
    os.makedirs(modules)
    sync = os.path.join(folder, "mireth-sync.exe")
    # Without --config: the setup.ini beside the unpacked program, as the guide tells.
    for key, value in (("domain", "http://127.0.0.1:%s/" % port), ("windows.folder", windows_path(modules))):
        status, out = wine(sync, "config", "set", key, value)
        expect(status == 0, "config set %s failed (exit %d): %s" % (key, status, out))
    expect(os.path.isfile(os.path.join(folder, "setup.ini")), "config set wrote no setup.ini beside the program")
    status, out = wine(sync, "check", "windows")
    expect(status == 0, "check windows ended with exit %d:\n%s" % (status, out))
    # A line of column titles, then a line per file: 序号, 方式, 文件名称, 路径, 更新时间, 大小.
    lines = out.splitlines()
    expect(lines and lines[0].startswith("序号\t"), "check windows printed no table:\n" + out)
    modes = {row[2]: row[1] for row in (line.split("\t") for line in lines[1:]) if len(row) == 6}
    unmarked = [name for name in WINDOWS_MODULES if modes.get(name.split("/")[-1]) != "下载"]
    expect(not unmarked, "check windows did not list %s as 下载 (missing here):\n%s" % (unmarked, out))


def window(folder, screenshots):
    display = Display()
    program = subprocess.Popen([WINE_RUN, os.path.join(folder, "MirethUpdater.exe")], cwd=folder,
                               stdin=subprocess.DEVNULL, start_new_session=True)
    try:
        found, until = [], time.monotonic() + 60
        while not found and program.poll() is None and time.monotonic() < until:
            time.sleep(0.2)
            found = display.find(TITLE)
        expect(found, "no window titled %s appeared (program %s)" %
               (TITLE, "ended with %s" % program.returncode if program.poll() is not None else "still running"))
        expect(len(found) == 1, "%d windows titled %s" % (len(found), TITLE))
        time.sleep(1.5)  # let it paint its controls
        os.makedirs(screenshots, exist_ok=True)
        picture = os.path.join(screenshots, "archive-window.png")
        shot = subprocess.run(["import", "-window", str(found[0]), picture], capture_output=True, timeout=60)
        expect(shot.returncode == 0, "import failed: %s" % shot.stderr.decode(errors="replace"))
        colours = subprocess.run(["identify", "-format", "%k", picture], capture_output=True, text=True, timeout=60)
        expect(colours.returncode == 0 and int(colours.stdout or 0) > 16,
               "the window's picture is nearly blank (%s colours)" % colours.stdout)
        display.press_close(found[0])
        try:
            status = program.wait(timeout=30)
        except subprocess.TimeoutExpired:
            raise Failed("the program did not end within 30 s of the close button")
        expect(status == 0, "the program ended with exit code %d" % status)
    finally:
        if program.poll() is None:
            os.killpg(program.pid, 9)
            program.wait()
        display.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--archive", required=True)
    parser.add_argument("--report", required=True)
    parser.add_argument("--screenshots", required=True)
    args = parser.parse_args()
    name = re.fullmatch(r"MirethUpdater-(.+)-win64\.zip", os.path.basename(args.archive))
    version = name.group(1) if name else "?"
    # A folder of its own, away from the build tree, as a user's download folder.
    work = tempfile.mkdtemp(prefix="mireth-archive-")
    folder = os.path.join(work, "MirethUpdater")
    steps = [
        ("UnpacksAndMatchesSha256Sums", lambda: unpacked_sums(args.archive, folder)),
        ("SyncPrintsTheArchiveVersion", lambda: sync_version(folder, version)),
        ("SyncChecksAgainstALoopbackServer", lambda: sync_check(folder, work)),
        ("WindowOpensAndTheCloseButtonEndsItWithZero", lambda: window(folder, args.screenshots)),
    ]
    suite = ET.Element("testsuite", name="ArchiveTest")
    failures = 0
    try:
        for case, step in steps:
            start = time.monotonic()
            element = ET.SubElement(suite, "testcase", name=case, classname="ArchiveTest", status="run")
            try:
                expect(name, "the archive's name %s carries no version" % args.archive)
                step()
                print("[       OK ] ArchiveTest.%s" % case)
            except Exception as error:  # a step that broke is a failed case, the next ones still run
                failures += 1
                text = str(error) if isinstance(error, Failed) else traceback.format_exc()
                ET.SubElement(element, "failure", message=text.splitlines()[0] if text else "").text = text
                print("[  FAILED  ] ArchiveTest.%s\n%s" % (case, text))
            element.set("time", "%.3f" % (time.monotonic() - start))
    finally:
        subprocess.run([sys.executable, SERVER_CTL, "stop", "--state-dir", os.path.join(work, "server")],
                       stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
        shutil.rmtree(work, ignore_errors=True)
        suite.set("tests", str(len(suite)))
        suite.set("failures", str(failures))
        root = ET.Element("testsuites", tests=str(len(suite)), failures=str(failures))
        root.append(suite)
        os.makedirs(os.path.dirname(os.path.abspath(args.report)), exist_ok=True)
        ET.ElementTree(root).write(args.report, encoding="utf-8", xml_declaration=True)
    print("archive test: %d of %d steps passed" % (len(steps) - failures, len(steps)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
