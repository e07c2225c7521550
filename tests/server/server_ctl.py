#!/usr/bin/env python3
"""Starts and stops the loopback module server for CTest fixtures.

  server_ctl.py start --root DIR --state-dir DIR [--sample | --demo] [--https]
                      [--qq Q --pwd P] [--lifetime S]
  server_ctl.py stop --state-dir DIR

start launches module_server.py detached from the caller (its output goes to
server.log in the state folder, so CTest does not wait on it), keeps its pid in
server.pid and returns once the port file "ports" exists. --sample first
(re)creates the root from the built-in sample modules; --demo from a small
tree for showing the program (scripts/run --demo), with a file of a few MiB. stop ends the server
and waits for it; stopping a server that is not running is not an error.
"""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "module_server.py")
START_TIMEOUT = 20.0
STOP_TIMEOUT = 10.0
SAMPLE_MARK = ".mireth-sample"


def sample_content(n, seed):
    return bytes((seed + 7 * i) % 256 for i in range(n))


# (kind, path, content, modification time as local "YYYY-MM-DD HH:MM:SS").
# Fixed times make "updateTime" predictable in every time zone.
SAMPLE = [
    ("w", "lib/a.ext", sample_content(1024, 1), "2024-01-31 08:05:00"),
    ("w", "root.ext", b"module at the root\n", "2023-05-06 07:08:09"),
    ("w", "binary.bin", bytes(range(256)), "2024-02-29 23:59:59"),
    ("w", "empty.ext", b"", "2024-03-01 00:00:00"),
    ("w", "deep/x/y/z.ext", b"deep module\n", "2024-04-01 12:00:00"),
    ("w", "核心/界面库.ext", "界面库模块\n".encode("utf-8"), "2024-05-20 13:14:15"),
    ("w", "names/a&b=c+d%e.ext", b"awkward name\n", "2024-06-01 01:02:03"),
    ("w", "names/with space.ext", b"spaced name\n", "2024-06-02 01:02:03"),
    ("w", "big.bin", sample_content(300000, 3), "2024-07-01 10:00:00"),
    ("a", "android/lib1.ext", b"android module\n", "2024-01-02 03:04:05"),
    ("a", "安卓界面.ext", "安卓\n".encode("utf-8"), "2024-01-03 03:04:05"),
    ("s", "server/svc.ext", b"server module\n", "2024-01-04 03:04:05"),
]


# The tree that scripts/run --demo serves: a few folders, Chinese names, and one
# larger file (made at start, so the repository holds no such file).
DEMO_BIG_SIZE = 4 * 1024 * 1024
DEMO = [
    ("w", "界面/窗口组件.ext", "窗口组件模块\n".encode("utf-8"), "2024-03-15 09:30:00"),
    ("w", "界面/按钮与菜单.ext", "按钮与菜单模块\n".encode("utf-8"), "2024-03-15 09:31:00"),
    ("w", "网络/http客户端.ext", b"http client module\n", "2024-04-02 14:00:00"),
    ("w", "数据/资源包.bin", None, "2024-05-01 08:00:00"),
    ("w", "readme.txt", b"Mireth demo modules\n", "2024-01-01 00:00:00"),
    ("a", "安卓/基础库.ext", "安卓基础库\n".encode("utf-8"), "2024-02-10 10:10:10"),
    ("a", "安卓/界面/布局.ext", "布局\n".encode("utf-8"), "2024-02-11 11:11:11"),
    ("s", "服务/服务核心.ext", "服务核心\n".encode("utf-8"), "2024-02-20 20:20:20"),
]


def demo_set():
    # sample_content repeats every 256 bytes: one period, copied, is quick.
    big = sample_content(256, 5) * (DEMO_BIG_SIZE // 256)
    return [(kind, path, big if content is None else content, stamp)
            for kind, path, content, stamp in DEMO]


def make_sample(root, modules=None):
    if os.path.exists(root):
        if not os.path.isfile(os.path.join(root, SAMPLE_MARK)):
            raise SystemExit("server_ctl: %s exists and is not a sample tree; not touching it" % root)
        shutil.rmtree(root)
    os.makedirs(root)
    with open(os.path.join(root, SAMPLE_MARK), "w") as mark:
        mark.write("made by server_ctl.py; removed and rebuilt on every start\n")
    for kind, path, content, stamp in (SAMPLE if modules is None else modules):
        full = os.path.join(root, kind, *path.split("/"))
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as out:
            out.write(content)
        seconds = time.mktime(time.strptime(stamp, "%Y-%m-%d %H:%M:%S"))
        os.utime(full, (seconds, seconds))
    for kind in ("w", "a", "s"):
        os.makedirs(os.path.join(root, kind), exist_ok=True)


def is_our_server(pid):
    """True when pid is a live module_server.py (not a zombie, not a reused pid)."""
    try:
        with open("/proc/%d/stat" % pid) as stat:
            if stat.read().rsplit(")", 1)[1].split()[0] == "Z":
                return False
        with open("/proc/%d/cmdline" % pid, "rb") as cmdline:
            return b"module_server.py" in cmdline.read()
    except (OSError, IndexError):
        pass
    if not os.path.isdir("/proc"):
        try:
            os.kill(pid, 0)
            return True
        except OSError:
            return False
    return False


def read_pid(state_dir):
    try:
        with open(os.path.join(state_dir, "server.pid")) as handle:
            return int(handle.read().strip())
    except (OSError, ValueError):
        return None


def stop(state_dir):
    pid = read_pid(state_dir)
    if pid is not None and is_our_server(pid):
        os.kill(pid, signal.SIGTERM)
        deadline = time.monotonic() + STOP_TIMEOUT
        while is_our_server(pid) and time.monotonic() < deadline:
            time.sleep(0.05)
        if is_our_server(pid):
            print("server_ctl: server %d ignored SIGTERM; killing it" % pid, file=sys.stderr)
            os.kill(pid, signal.SIGKILL)
    for name in ("server.pid", "ports"):
        try:
            os.unlink(os.path.join(state_dir, name))
        except OSError:
            pass
    return 0


def start(args):
    state_dir = os.path.abspath(args.state_dir)
    os.makedirs(state_dir, exist_ok=True)
    stop(state_dir)  # a server left over from an aborted run
    root = os.path.abspath(args.root)
    if args.sample:
        make_sample(root)
    elif args.demo:
        make_sample(root, demo_set())
    ports = os.path.join(state_dir, "ports")
    command = [sys.executable, SERVER, "--root", root, "--port-file", ports,
               "--lifetime", str(args.lifetime)]
    if args.https:
        command.append("--https")
    if args.qq is not None:
        command += ["--qq", args.qq]
    if args.pwd is not None:
        command += ["--pwd", args.pwd]
    log_path = os.path.join(state_dir, "server.log")
    with open(log_path, "wb") as log:
        process = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                                   close_fds=True, start_new_session=True)
    with open(os.path.join(state_dir, "server.pid"), "w") as handle:
        handle.write("%d\n" % process.pid)

    deadline = time.monotonic() + START_TIMEOUT
    while not os.path.exists(ports):
        if process.poll() is not None or time.monotonic() > deadline:
            if process.poll() is None:
                process.kill()
                process.wait()
            with open(log_path, "rb") as log:
                sys.stderr.write(log.read().decode(errors="replace"))
            print("server_ctl: module server did not start", file=sys.stderr)
            return 1
        time.sleep(0.05)
    with open(ports) as handle:
        sys.stdout.write(handle.read())
    return 0


def main(argv=None):
    parser = argparse.ArgumentParser(description="Start or stop the loopback module server.")
    commands = parser.add_subparsers(dest="command", required=True)
    begin = commands.add_parser("start")
    begin.add_argument("--root", required=True)
    begin.add_argument("--state-dir", required=True)
    trees = begin.add_mutually_exclusive_group()
    trees.add_argument("--sample", action="store_true", help="rebuild the root from the sample set")
    trees.add_argument("--demo", action="store_true", help="rebuild the root from the demo set")
    begin.add_argument("--https", action="store_true")
    begin.add_argument("--qq")
    begin.add_argument("--pwd")
    begin.add_argument("--lifetime", type=float, default=3600.0)
    end = commands.add_parser("stop")
    end.add_argument("--state-dir", required=True)
    args = parser.parse_args(argv)
    if args.command == "start":
        return start(args)
    return stop(os.path.abspath(args.state_dir))


if __name__ == "__main__":
    sys.exit(main())
