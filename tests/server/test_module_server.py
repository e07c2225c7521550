#!/usr/bin/env python3
"""Checks the loopback module server against what the C++ tests rely on."""

import base64
import http.client
import json
import os
import shutil
import signal
import socket
import ssl
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "module_server.py")
CTL = os.path.join(HERE, "server_ctl.py")


def set_mtime(path, stamp):
    seconds = time.mktime(time.strptime(stamp, "%Y-%m-%d %H:%M:%S"))
    os.utime(path, (seconds, seconds))


def write(root, rel, data, stamp="2024-01-31 08:05:00"):
    full = os.path.join(root, *rel.split("/"))
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as out:
        out.write(data)
    set_mtime(full, stamp)
    return full


class RunningServer:
    def __init__(self, root, *options):
        self.folder = tempfile.mkdtemp(prefix="mireth-selftest-")
        self.port_file = os.path.join(self.folder, "ports")
        self.process = subprocess.Popen(
            [sys.executable, SERVER, "--root", root, "--port-file", self.port_file, *options],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE, stdin=subprocess.DEVNULL)
        self.ports = {}
        expected = 2 if "--https" in options else 1
        for _ in range(expected):
            line = self.process.stdout.readline().decode()
            scheme, port = line.split()
            self.ports[scheme] = int(port)

    def stop(self):
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
        code = self.process.wait(timeout=15)
        self.process.stdout.close()
        self.process.stderr.close()
        return code


def exchange(port, method, path, body=None, headers=None, timeout=10, secure=False):
    if secure:
        context = ssl.create_default_context()
        context.check_hostname = False
        context.verify_mode = ssl.CERT_NONE
        connection = http.client.HTTPSConnection("127.0.0.1", port, timeout=timeout, context=context)
    else:
        connection = http.client.HTTPConnection("127.0.0.1", port, timeout=timeout)
    try:
        connection.request(method, path, body=body, headers=headers or {})
        response = connection.getresponse()
        return response.status, response.getheaders(), response.read()
    finally:
        connection.close()


def raw_exchange(port, request, timeout=10):
    """Sends raw bytes; returns everything until the server closes."""
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as sock:
        sock.sendall(request)
        received = b""
        while True:
            data = sock.recv(65536)
            if not data:
                return received
            received += data


def server_alive(pid):
    try:
        with open("/proc/%d/stat" % pid) as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def header_values(headers, name):
    return [v for k, v in headers if k.lower() == name.lower()]


class ServerCase(unittest.TestCase):
    options = ()

    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory(prefix="mireth-root-")
        cls.root = cls.tmp.name
        write(cls.root, "w/lib/a.ext", b"A" * 1024, "2024-01-31 08:05:00")
        write(cls.root, "w/root.ext", b"top\n", "2023-05-06 07:08:09")
        write(cls.root, "w/核心/界面库.ext", "模块".encode(), "2024-05-20 13:14:15")
        write(cls.root, "w/names/a&b=c+d%e.ext", b"awkward\n")
        write(cls.root, "w/binary.bin", bytes(range(256)))
        write(cls.root, "a/android/lib1.ext", b"android\n")
        write(cls.root, "outside.txt", b"secret\n")
        cls.server = RunningServer(cls.root, *cls.options)
        cls.port = cls.server.ports["http"]

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()
        cls.tmp.cleanup()

    def request(self, method, path, body=None, headers=None, timeout=10):
        return exchange(self.port, method, path, body, headers, timeout)

    def post(self, path, body=b"qq=&pwd="):
        return self.request("POST", path, body,
                            {"Content-Type": "application/x-www-form-urlencoded"})

    def records(self, tag=None):
        query = "?tag=" + urllib.parse.quote(tag) if tag else ""
        status, _, body = self.request("GET", "/_requests" + query)
        self.assertEqual(status, 200)
        return json.loads(body)


class ListAndDownload(ServerCase):
    def test_list_is_built_from_the_tree_sorted_by_path(self):
        status, headers, body = self.post("/api/w/list")
        self.assertEqual(status, 200)
        answer = json.loads(body)
        self.assertEqual(answer["code"], 200)
        paths = [e["path"] for e in answer["data"]]
        self.assertEqual(paths, sorted(paths))
        self.assertEqual(set(paths), {"lib/a.ext", "root.ext", "核心/界面库.ext",
                                      "names/a&b=c+d%e.ext", "binary.bin"})
        first = next(e for e in answer["data"] if e["path"] == "lib/a.ext")
        self.assertEqual(first, {"name": "a.ext", "path": "lib/a.ext", "size": 1024,
                                 "updateTime": "2024-01-31 08:05:00"})
        chinese = next(e for e in answer["data"] if e["name"] == "界面库.ext")
        self.assertEqual(chinese["size"], len("模块".encode()))
        self.assertIn("核心/界面库.ext".encode(), body)  # UTF-8 on the wire, not \u escapes

    def test_other_kinds_and_a_missing_kind_folder(self):
        data = json.loads(self.post("/api/a/list")[2])["data"]
        self.assertEqual([e["path"] for e in data], ["android/lib1.ext"])
        self.assertEqual(json.loads(self.post("/api/s/list")[2]), {"code": 200, "msg": "ok", "data": []})

    def test_a_kind_file_is_served_verbatim(self):
        scripted = os.path.join(self.root, "s.json")
        with open(scripted, "wb") as out:
            out.write(b'{"code":"200","data":[{"size":99999999999}] trailing junk')
        try:
            self.assertEqual(self.post("/api/s/list")[2],
                             b'{"code":"200","data":[{"size":99999999999}] trailing junk')
        finally:
            os.unlink(scripted)

    def test_download_by_folder_and_name(self):
        status, headers, body = self.post("/download", b"qq=1&pwd=2&type=w&path=lib&file=a.ext")
        self.assertEqual((status, body), (200, b"A" * 1024))
        self.assertEqual(header_values(headers, "Content-Length"), ["1024"])
        self.assertEqual(header_values(headers, "Content-Type"), ["application/octet-stream"])
        self.assertEqual(self.post("/download", b"type=w&path=&file=root.ext")[2], b"top\n")
        self.assertEqual(self.post("/download", b"type=w&file=binary.bin")[2], bytes(range(256)))

    def test_download_names_are_form_decoded_as_utf8(self):
        escaped = "type=w&path=%E6%A0%B8%E5%BF%83&file=" + urllib.parse.quote("界面库.ext")
        self.assertEqual(self.post("/download", escaped.encode())[2], "模块".encode())
        # Sent unescaped, as UTF-8 bytes.
        self.assertEqual(self.post("/download", "type=w&path=核心&file=界面库.ext".encode())[2],
                         "模块".encode())
        awkward = "type=w&path=names&file=" + urllib.parse.quote("a&b=c+d%e.ext", safe="")
        self.assertEqual(self.post("/download", awkward.encode())[2], b"awkward\n")
        # Unescaped, "&" and "=" split the field and "+" turns into a space.
        self.assertEqual(self.post("/download", b"type=w&path=names&file=a&b=c+d%e.ext")[0], 404)

    def test_download_after_a_redirect_reads_the_query(self):
        status, _, body = self.request("GET", "/download?type=w&path=lib&file=a.ext")
        self.assertEqual((status, len(body)), (200, 1024))

    def test_missing_modules_are_404(self):
        for form in (b"type=w&path=lib&file=none.ext", b"type=x&path=lib&file=a.ext",
                     b"type=w&path=lib&file=", b"type=w&path=&file=lib"):
            status, _, body = self.post("/download", form)
            self.assertEqual(status, 404, form)
            self.assertTrue(body)
        self.assertEqual(self.post("/api/x/list")[0], 404)

    def test_paths_leaving_the_tree_are_refused(self):
        os.symlink(os.path.join(self.root, "outside.txt"), os.path.join(self.root, "w", "link.ext"))
        try:
            for form in (b"type=w&path=..&file=outside.txt", b"type=w&path=lib/../..&file=outside.txt",
                         b"type=w&path=&file=../outside.txt",
                         ("type=w&path=%s&file=outside.txt" % urllib.parse.quote(self.root)).encode(),
                         b"type=w&path=lib&file=a.ext%00", b"type=w&path=&file=link.ext",
                         b"type=w&path=..&file=a"):
                status, _, body = self.post("/download", form)
                self.assertEqual(status, 403, form)
                self.assertNotIn(b"secret", body)
        finally:
            os.unlink(os.path.join(self.root, "w", "link.ext"))
        # Staying inside through ".." is fine.
        self.assertEqual(self.post("/download", b"type=w&path=names/../lib&file=a.ext")[0], 200)


class Recording(ServerCase):
    def test_requests_are_recorded_exactly(self):
        self.request("POST", "/_requests/clear")
        body = bytes(range(256)) + b"qq=1&pwd=2"
        self.request("POST", "/_tag/rec/api/w/list?x=1&y=%20",
                     body, {"X-First": "1", "user-agent": "ua", "X-Last": "z"})
        self.request("GET", "/_tag/rec/nothing")
        self.assertEqual(self.request("MKCOL", "/_tag/rec/api/a/list", b"qq=&pwd=")[0], 200)
        records = self.records()
        self.assertEqual(len(records), 3, "control requests must not be recorded")
        self.assertEqual(records[2]["method"], "MKCOL")
        first = records[0]
        self.assertEqual(first["method"], "POST")
        self.assertEqual(first["path"], "/_tag/rec/api/w/list?x=1&y=%20")
        self.assertEqual(base64.b64decode(first["body"]), body)
        names = [name for name, _ in first["headers"]]
        self.assertEqual([n for n in names if n in ("X-First", "user-agent", "X-Last")],
                         ["X-First", "user-agent", "X-Last"])
        self.assertIn(["user-agent", "ua"], first["headers"])
        self.assertLessEqual(abs(first["time"] - time.time()), 60)
        self.assertEqual(records[1]["method"], "GET")
        self.assertEqual(records[1]["body"], "")

    def test_tags_filter_and_clear_selectively(self):
        self.post("/_tag/one/api/w/list")
        self.post("/_tag/two/api/w/list")
        self.post("/_tag/two/_redirect/1/api/w/list")
        self.assertEqual(len(self.records("one")), 1)
        self.assertEqual(len(self.records("two")), 2)
        self.request("POST", "/_requests/clear?tag=two")
        self.assertEqual(len(self.records("two")), 0)
        self.assertEqual(len(self.records("one")), 1)

    def test_chunked_and_expect_continue_bodies(self):
        self.request("POST", "/_requests/clear?tag=chunk")
        raw = (b"POST /_tag/chunk/api/w/list HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n"
               b"Connection: close\r\n\r\n3\r\nqq=\r\n5;ext=1\r\n&pwd=\r\n0\r\n\r\n")
        self.assertIn(b'"code": 200', raw_exchange(self.port, raw))
        self.assertEqual(base64.b64decode(self.records("chunk")[0]["body"]), b"qq=&pwd=")
        with socket.create_connection(("127.0.0.1", self.port), timeout=10) as sock:
            sock.sendall(b"POST /_tag/chunk/x HTTP/1.1\r\nHost: x\r\nContent-Length: 4\r\n"
                         b"Expect: 100-continue\r\nConnection: close\r\n\r\n")
            self.assertTrue(sock.recv(100).startswith(b"HTTP/1.1 100"))
            sock.sendall(b"body")
            self.assertTrue(sock.recv(100).startswith(b"HTTP/1.1 404"))
        self.assertEqual(base64.b64decode(self.records("chunk")[1]["body"]), b"body")


class Misbehaviour(ServerCase):
    def test_status_keeps_the_body(self):
        status, _, body = self.post("/_status/503/api/w/list")
        self.assertEqual(status, 503)
        self.assertEqual(json.loads(body)["code"], 200)
        self.assertEqual(self.post("/_status/201/download", b"type=w&file=root.ext")[:3:2], (201, b"top\n"))

    def test_cut_announces_everything_and_sends_n_bytes(self):
        response = raw_exchange(self.port, b"GET /_cut/10/_bytes/1000/x HTTP/1.1\r\nHost: x\r\n\r\n")
        head, _, body = response.partition(b"\r\n\r\n")
        self.assertIn(b"Content-Length: 1000", head)
        self.assertNotIn(b"Connection: close", head)
        self.assertEqual(body, bytes(range(10)))
        with self.assertRaises(http.client.IncompleteRead):
            self.post("/_cut/100/download", b"type=w&path=lib&file=a.ext")

    def test_stall_sends_the_first_bytes_then_waits_then_closes(self):
        started = time.monotonic()
        with socket.create_connection(("127.0.0.1", self.port), timeout=10) as sock:
            sock.sendall(b"GET /_stall/1.5/_bytes/10/x HTTP/1.1\r\nHost: x\r\n\r\n")
            received = b""
            while not received.endswith(b"\r\n\r\n" + bytes(range(5))):
                received += sock.recv(1000)
            self.assertLess(time.monotonic() - started, 1.0)
            sock.settimeout(0.5)
            with self.assertRaises(socket.timeout):
                sock.recv(1000)
            sock.settimeout(10)
            self.assertEqual(sock.recv(1000), b"")
        self.assertGreaterEqual(time.monotonic() - started, 1.4)
        # With /_cut/ the stall comes after that many bytes.
        response = raw_exchange(self.port, b"GET /_stall/0.2/_cut/7/_bytes/100/x HTTP/1.1\r\nHost: x\r\n\r\n")
        self.assertTrue(response.endswith(b"\r\n\r\n" + bytes(range(7))))

    def test_stall_before_delays_a_normal_answer(self):
        started = time.monotonic()
        status, _, body = self.post("/_stallbefore/1/api/a/list")
        self.assertGreaterEqual(time.monotonic() - started, 0.95)
        self.assertEqual((status, json.loads(body)["code"]), (200, 200))

    def test_slow_trickles_the_body(self):
        started = time.monotonic()
        status, _, body = self.request("GET", "/_slow/200/_bytes/300/x")
        elapsed = time.monotonic() - started
        self.assertEqual(body, bytes(i % 251 for i in range(300)))
        self.assertGreaterEqual(elapsed, 1.2)
        self.assertLess(elapsed, 5)

    def test_redirect_chain_counts_down_in_relative_form(self):
        path = "/_tag/r/_redirect/3/_cookie/k=v/api/w/list?q=1"
        hops = []
        for _ in range(10):
            status, headers, _ = self.post(path)
            if status != 302:
                break
            (location,) = header_values(headers, "Location")
            self.assertEqual(header_values(headers, "Set-Cookie"), ["k=v"])
            hops.append(location)
            path = location
        self.assertEqual(hops, ["/_tag/r/_redirect/2/_cookie/k=v/api/w/list?q=1",
                                "/_tag/r/_redirect/1/_cookie/k=v/api/w/list?q=1",
                                "/_tag/r/_redirect/0/_cookie/k=v/api/w/list?q=1"])
        self.assertEqual(status, 200)
        self.assertEqual(self.post("/_status/307/_redirect/1/api/w/list")[0], 307)

    def test_loop_redirects_to_itself(self):
        for path in ("/_loop/api/w/list", "/_tag/l/_loop/download?a=b"):
            status, headers, _ = self.post(path)
            self.assertEqual((status, header_values(headers, "Location")), (302, [path]))

    def test_cookies_location_and_lower_case_names(self):
        location = urllib.parse.quote("http://elsewhere.invalid/a b?c=d", safe="")
        status, headers, body = self.post("/_cookie/a=1/_cookie/b=2%3B%20Path%3D%2F/_location/"
                                          + location + "/api/w/list")
        self.assertEqual(status, 200)
        self.assertEqual(header_values(headers, "Set-Cookie"), ["a=1", "b=2; Path=/"])
        self.assertEqual(header_values(headers, "Location"), ["http://elsewhere.invalid/a b?c=d"])
        response = raw_exchange(self.port, b"GET /_lower/_cookie/x=y/api/w/list HTTP/1.1\r\nHost: h\r\n"
                                           b"Connection: close\r\n\r\n")
        head = response.split(b"\r\n\r\n")[0].split(b"\r\n")
        self.assertEqual(head[0], b"HTTP/1.1 200 OK")
        names = [line.split(b":")[0] for line in head[1:]]
        self.assertIn(b"content-length", names)
        self.assertIn(b"set-cookie", names)
        self.assertEqual(names, [n.lower() for n in names])
        self.assertEqual(self.post("/_cookie/a%0D%0AX-Injected:%201/api/w/list")[0], 400)

    def test_nonjson_answers_html(self):
        status, headers, body = self.post("/_nonjson/api/w/list")
        self.assertEqual(status, 200)
        self.assertTrue(header_values(headers, "Content-Type")[0].startswith("text/html"))
        self.assertTrue(body.startswith(b"<!DOCTYPE html>"))
        with self.assertRaises(ValueError):
            json.loads(body)

    def test_bytes_are_deterministic_and_streamed(self):
        status, _, body = self.request("POST", "/_bytes/100000/api/w/list")
        self.assertEqual(body, bytes(i % 251 for i in range(100000)))
        self.assertEqual(self.request("GET", "/_bytes/0/x")[2], b"")
        # Five GiB: the answer starts at once, so it is not built in memory first.
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=5)
        try:
            connection.request("GET", "/_bytes/5368709120/x")
            response = connection.getresponse()
            self.assertEqual(response.getheader("Content-Length"), "5368709120")
            self.assertEqual(response.read(1000), bytes(i % 251 for i in range(1000)))
        finally:
            connection.close()

    def test_scripted_body(self):
        self.assertEqual(self.post("/_body/%7B%22code%22%3A%22200%22%7D%00%FF/api/w/list")[2],
                         b'{"code":"200"}\x00\xff')

    def test_made_up_entries_replace_any_kinds_list(self):
        for kind in ("w", "s"):
            answer = json.loads(self.post("/_entries/20000/api/%s/list" % kind)[2])
            self.assertEqual(answer["code"], 200)
            self.assertEqual(len(answer["data"]), 20000)
            self.assertEqual(answer["data"][12345], {"name": "m12345.ext", "path": "lib45/m12345.ext",
                                                     "size": 12346, "updateTime": "2024-01-31 08:05:00"})
        self.assertEqual(json.loads(self.post("/_entries/0/api/a/list")[2])["data"], [])

    def test_pad_fills_the_answer_with_spaces_up_to_its_length(self):
        status, headers, body = self.post("/_pad/1000/api/w/list")
        self.assertEqual(status, 200)
        self.assertEqual(header_values(headers, "Content-Length"), ["1000"])
        answer = body.rstrip(b" ")
        self.assertEqual(body, answer + b" " * (1000 - len(answer)))
        self.assertEqual(json.loads(answer)["code"], 200)
        # Longer than a block of the server's, and never shorter than the answer.
        self.assertEqual(self.request("GET", "/_pad/3000000/_bytes/10/x")[2],
                         bytes(range(10)) + b" " * 2999990)
        self.assertEqual(self.request("GET", "/_pad/5/_bytes/10/x")[2], bytes(range(10)))

    def test_malformed_prefixes_are_400(self):
        for path in ("/_cut/abc/x", "/_status/99/x", "/_status/600/x", "/_slow/0/x", "/_stall/nan/x",
                     "/_redirect/-1/x", "/_cut", "/_entries/1000001/api/w/list", "/_pad/-1/x"):
            self.assertEqual(self.request("GET", path)[0], 400, path)
        self.assertEqual(self.request("GET", "/_unknown/api/w/list")[0], 404)

    def test_once_applies_the_prefixes_after_it_to_the_first_request_only(self):
        path = "/_tag/once/_stallbefore/0.05/_once/_status/503/_retryafter/2/download"
        waits = []

        def timed_post(body):
            started = time.monotonic()
            answer = self.post(path, body)
            waits.append(time.monotonic() - started)
            return answer

        first = timed_post(b"type=w&file=root.ext")
        self.assertEqual(first[0], 503)
        self.assertEqual(header_values(first[1], "Retry-After"), ["2"])
        again = timed_post(b"type=w&file=root.ext")
        self.assertEqual((again[0], again[2]), (200, b"top\n"))
        self.assertEqual(header_values(again[1], "Retry-After"), [])
        # Another body is another request; the prefix before /_once/ always applies.
        self.assertEqual(timed_post(b"type=w&path=lib&file=a.ext")[0], 503)
        self.assertEqual(len(self.records("once")), 3)
        # The server's own end time is set only after the answer is out, so the stall is timed here.
        for wait in waits:
            self.assertGreaterEqual(wait, 0.05)

    def test_reset_sends_n_bytes_then_resets(self):
        with socket.create_connection(("127.0.0.1", self.port), timeout=10) as sock:
            sock.sendall(b"GET /_reset/10/_bytes/1000/x HTTP/1.1\r\nHost: x\r\n\r\n")
            received = b""
            with self.assertRaises(ConnectionResetError):
                while True:
                    data = sock.recv(65536)
                    if not data:
                        break
                    received += data
        head, _, body = received.partition(b"\r\n\r\n")
        self.assertIn(b"Content-Length: 1000", head)
        self.assertEqual(body, bytes(range(10)))

    def test_nolength_ends_the_body_with_the_connection(self):
        response = raw_exchange(self.port, b"GET /_nolength/_bytes/300/x HTTP/1.1\r\nHost: x\r\n\r\n")
        head, _, body = response.partition(b"\r\n\r\n")
        self.assertNotIn(b"Content-Length", head)
        self.assertEqual(body, bytes(range(251)) + bytes(range(49)))

    def test_records_name_the_connection(self):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=5)
        try:
            for _ in range(2):
                connection.request("GET", "/_tag/conn/_bytes/3/x")
                connection.getresponse().read()
            port = connection.sock.getsockname()[1]
        finally:
            connection.close()
        self.assertEqual([r["client"] for r in self.records("conn")], [port, port])

    def test_keep_alive_serves_several_requests_on_one_connection(self):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=5)
        try:
            for _ in range(3):
                connection.request("POST", "/api/a/list", body=b"qq=&pwd=")
                response = connection.getresponse()
                self.assertEqual(json.loads(response.read())["code"], 200)
                peer = connection.sock.getsockname()
            connection.request("GET", "/_bytes/3/x")
            self.assertEqual(connection.getresponse().read(), b"\x00\x01\x02")
            self.assertEqual(connection.sock.getsockname(), peer)
        finally:
            connection.close()


class Credentials(ServerCase):
    options = ("--qq", "12345", "--pwd", "p+w&d")

    def test_lists_and_downloads_need_the_credentials(self):
        status, _, body = self.post("/api/w/list", b"qq=12345&pwd=wrong")
        self.assertEqual((status, json.loads(body)), (200, {"code": 401, "msg": json.loads(body)["msg"],
                                                            "data": []}))
        self.assertEqual(json.loads(self.post("/api/w/list", b"qq=&pwd=")[2])["code"], 401)
        good = b"qq=12345&pwd=p%2Bw%26d"
        self.assertEqual(json.loads(self.post("/api/w/list", good)[2])["code"], 200)
        self.assertEqual(self.post("/download", b"qq=1&pwd=p%2Bw%26d&type=w&file=root.ext")[0], 403)
        self.assertEqual(self.post("/download", good + b"&type=w&file=root.ext")[2], b"top\n")


@unittest.skipUnless(shutil.which("openssl"), "the openssl command is not installed")
class Https(ServerCase):
    options = ("--https",)

    def test_same_handlers_over_tls_with_a_self_signed_certificate(self):
        port = self.server.ports["https"]
        self.assertNotEqual(port, self.port)
        with open(self.server.port_file) as ports:
            lines = ports.read().splitlines()
        self.assertEqual(lines[:2], ["http %d" % self.port, "https %d" % port])
        self.assertEqual([line.split(" ")[0] for line in lines[2:]], ["proxy", "proxy-auth", "certificate"])
        certificate = lines[4].split(" ", 1)[1]
        self.assertTrue(os.path.isfile(certificate))
        status, _, body = exchange(port, "POST", "/api/w/list", b"qq=&pwd=", secure=True)
        self.assertEqual((status, json.loads(body)["code"]), (200, 200))
        self.assertEqual(exchange(port, "POST", "/download", b"type=w&path=lib&file=a.ext",
                                  secure=True)[2], b"A" * 1024)
        verifying = http.client.HTTPSConnection("127.0.0.1", port, timeout=5,
                                                context=ssl.create_default_context())
        with self.assertRaises(ssl.SSLCertVerificationError):  # self-signed: nobody vouches for it
            verifying.request("GET", "/")
        # Trusting its own certificate, and verifying the address, the server is accepted.
        trusting = http.client.HTTPSConnection("127.0.0.1", port, timeout=5,
                                               context=ssl.create_default_context(cafile=certificate))
        try:
            trusting.request("POST", "/api/a/list", body=b"qq=&pwd=")
            self.assertEqual(trusting.getresponse().status, 200)
        finally:
            trusting.close()
        verifying.close()
        with self.assertRaises(http.client.IncompleteRead):
            exchange(port, "GET", "/_cut/5/_bytes/50/x", secure=True)
        records = self.records()
        self.assertIn("https", [r["scheme"] for r in records])


class Lifecycle(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="mireth-life-")
        os.makedirs(os.path.join(self.tmp.name, "root", "w"))

    def tearDown(self):
        self.tmp.cleanup()

    def test_sigterm_ends_even_a_stalled_answer_promptly(self):
        server = RunningServer(os.path.join(self.tmp.name, "root"))
        port = server.ports["http"]
        sock = socket.create_connection(("127.0.0.1", port), timeout=10)
        sock.sendall(b"GET /_stall/300/_bytes/10/x HTTP/1.1\r\nHost: x\r\n\r\n")
        sock.recv(1000)
        started = time.monotonic()
        self.assertEqual(server.stop(), 0)
        self.assertLess(time.monotonic() - started, 5)
        self.assertFalse(os.path.exists(server.port_file))
        sock.close()

    def test_lifetime_stops_the_server_by_itself(self):
        server = RunningServer(os.path.join(self.tmp.name, "root"), "--lifetime", "1")
        self.assertEqual(server.process.wait(timeout=10), 0)
        server.stop()

    def test_a_missing_root_is_refused(self):
        result = subprocess.run([sys.executable, SERVER, "--root", os.path.join(self.tmp.name, "none")],
                                capture_output=True, timeout=10)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn(b"no such folder", result.stderr)

    def test_ctl_builds_the_sample_starts_and_stops(self):
        state = os.path.join(self.tmp.name, "state")
        root = os.path.join(self.tmp.name, "sample")
        start = subprocess.run([sys.executable, CTL, "start", "--root", root, "--state-dir", state,
                                "--sample"], capture_output=True, timeout=30)
        self.assertEqual(start.returncode, 0, start.stderr)
        try:
            with open(os.path.join(state, "ports")) as ports:
                port = int(ports.read().split()[1])
            with open(os.path.join(state, "server.pid")) as pid_file:
                pid = int(pid_file.read())
            answer = json.loads(exchange(port, "POST", "/api/w/list", b"qq=&pwd=")[2])
            entry = next(e for e in answer["data"] if e["path"] == "lib/a.ext")
            self.assertEqual((entry["size"], entry["updateTime"]), (1024, "2024-01-31 08:05:00"))
            self.assertEqual(exchange(port, "POST", "/download", b"type=w&file=empty.ext")[:3:2], (200, b""))
            # A second start replaces the first server instead of leaving it running.
            again = subprocess.run([sys.executable, CTL, "start", "--root", root, "--state-dir", state,
                                    "--sample"], capture_output=True, timeout=30)
            self.assertEqual(again.returncode, 0, again.stderr)
            self.assertFalse(server_alive(pid))
        finally:
            stop = subprocess.run([sys.executable, CTL, "stop", "--state-dir", state],
                                  capture_output=True, timeout=30)
        self.assertEqual(stop.returncode, 0)
        self.assertFalse(os.path.exists(os.path.join(state, "ports")))
        with self.assertRaises(OSError):
            socket.create_connection(("127.0.0.1", port), timeout=2).close()
        # Stopping again, and refusing to wipe a folder that is not a sample tree.
        self.assertEqual(subprocess.run([sys.executable, CTL, "stop", "--state-dir", state],
                                        capture_output=True, timeout=30).returncode, 0)
        refused = subprocess.run([sys.executable, CTL, "start", "--root", os.path.join(self.tmp.name, "root"),
                                  "--state-dir", state, "--sample"], capture_output=True, timeout=30)
        self.assertNotEqual(refused.returncode, 0)
        self.assertTrue(os.path.isdir(os.path.join(self.tmp.name, "root", "w")))


if __name__ == "__main__":
    unittest.main()
