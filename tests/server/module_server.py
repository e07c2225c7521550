#!/usr/bin/env python3
"""Loopback module server for the updater's tests.

Serves the module list and download requests from a folder tree, records every
request for the tests to inspect, and misbehaves on demand. Standard library
only; binds 127.0.0.1 on free ports and reports them on stdout and in the port
file ("http <port>", "https <port>", and with TLS "certificate <path>": the
self-signed certificate, for a client to trust).

Answers
  POST|GET /api/{w,a,s}/list   {"code":200,"msg":"ok","data":[...]} built from
                               <root>/<kind>/, sorted by path; <root>/<kind>.json
                               is served verbatim instead when it exists
  POST|GET /download           type=&path=&file= (body, or query after a
                               redirect turned the POST into a GET)
  GET  /_requests[?tag=T]      the recorded requests as a JSON array
  POST /_requests/clear[?tag=T]

Misbehaviour, chosen per request by path prefixes that may be combined; each
prefix is removed and the rest is served as usual:
  /_status/<code>/       answer with that status (200-599), body kept
  /_cut/<n>/             announce the full length, send n body bytes, close
  /_cutat/<p>/           the same at p percent of the body (0-100)
  /_stall/<s>/           send headers and the first bytes (n of /_cut/, else up
                         to 64 KiB, at most half), wait s seconds, close
  /_stallbefore/<s>/     wait s seconds before answering, then answer
  /_slow/<bps>/          trickle the body at bps bytes per second
  /_redirect/<n>/        n 302 redirects (the status of /_status/ if given),
                         each to the same path with n-1, before the answer
  /_loop/                redirect to itself forever (the client must stop)
  /_cookie/<n>=<v>/      add a Set-Cookie header (may repeat)
  /_location/<text>/     add a Location header to the answer
  /_nonjson/             answer with an HTML page instead
  /_lower/               send header names in lower case
  /_nolength/            send no Content-Length: the body ends as the server closes
  /_bytes/<n>/           answer with n bytes; byte k is k % 251
  /_body/<text>/         answer with exactly these (percent-decoded) bytes
  /_pad/<n>/             add spaces to the end of the answer until it is n bytes
                         long (a longer answer stays as it is)
  /_reset/<n>/           send headers and n body bytes, then reset the connection
  /_retryafter/<text>/   add a Retry-After header with this value
  /_type/<text>/         send this Content-Type instead of the answer's own
  /_entries/<n>/         a list answer of n made-up entries (any kind, 0 to
                         1000000): entry k is m<k>.ext in lib<k % 50>/, k + 1
                         bytes, updated 2024-01-31 08:05:00; no such files exist
  /_empties/<n>/         a list answer whose "data" is n empty objects (0 to
                         10000000), as a hostile server floods a client
  /_once/                the prefixes after it apply only to the first request
                         with this path and body; later ones are served without
                         them (those before it always apply)
  /_gzip/                gzip the answer when the request accepts it
  /_chunked/             send the body in chunks, without Content-Length
  /_tohttps/             answer 301 to the same target on the TLS port, less
                         this prefix
  /_tag/<label>/         no effect; marks requests for /_requests?tag=
  /_ranges/              a 200 answer announces "Accept-Ranges: bytes" with an
                         ETag and a Last-Modified, and a "Range: bytes=N-" is
                         answered 206 with the rest (416 past the end), unless
                         an If-Range names neither validator (then 200, whole)
  /_ignorerange/         like /_ranges/, but every Range is answered 200, whole
  /_badrange/            like /_ranges/, but a Range gets a 206 of the wrong part
                         (from byte 0, as many bytes as the rest would be)
  /_newtag/              like /_ranges/, with another ETag at every request
  /_notag/               with the ranges above: no ETag, Last-Modified only
  /_ratelimit/<r>/<b>/   a token bucket of b tokens refilled at r per second,
                         one per tag: a request that finds it empty is answered
                         503 at once with a short text page
The TLS port also answers plain HTTP on the same port (recorded as "http"), as a
site does that sends such requests on to https.
Segment arguments are percent-decoded. Waits are capped at 300 s and end early
when the server stops. Every request is recorded with the times it arrived and
its answer ended, the client's port (one per connection), the answer's status
and how many requests of its tag were being answered when it arrived, itself
included ("inflight").

Beside the server run two test proxies (proxy_server.py), reported as
"proxy <port>" (open) and "proxy-auth <port>" (password PROXY_PASSWORD).
"""

import argparse
import base64
import email.utils
import gzip
import http
import http.server
import json
import os
import re
import shutil
import signal
import socketserver
import ssl
import socket
import stat
import struct
import subprocess
import sys
import tempfile
import threading
import time
import traceback
import urllib.parse
import zlib

import proxy_server

KINDS = ("w", "a", "s")
MAX_WAIT_SECONDS = 300.0
MAX_REQUEST_BODY = 256 * 1024 * 1024
MAX_RECORDS = 20000
MAX_MADE_UP_ENTRIES = 1000000
MAX_BYTES_ANSWER = 1 << 40
PATTERN_PERIOD = 251
# A whole number of periods, so every block starts with byte 0 of the pattern.
PATTERN_BLOCK = bytes(i % PATTERN_PERIOD for i in range(PATTERN_PERIOD * 4096))
STALL_DEFAULT_POINT = 64 * 1024
IO_CHUNK = 1 << 20
# The Last-Modified of answers that are not files (made-up bytes, texts).
FIXED_LAST_MODIFIED = 1706688300  # 2024-01-31 08:05:00 UTC
PROXY_PASSWORD = "proxy-secret"

# Set when the server stops: every wait inside a handler ends at once.
STOPPING = threading.Event()


class BadRequest(Exception):
    """A request the server refuses with 400 (malformed prefix or body)."""


def wait_or_stop(seconds):
    """Sleeps up to the cap; True when the server is stopping."""
    return STOPPING.wait(max(0.0, min(seconds, MAX_WAIT_SECONDS)))


# ---------------------------------------------------------------- bodies


class BytesBody:
    def __init__(self, data):
        self.data = data
        self.length = len(data)

    def stamp(self):
        return zlib.crc32(self.data)

    def skip(self, count):
        self.data = self.data[count:]
        self.length = len(self.data)

    def chunks(self):
        view = memoryview(self.data)
        for start in range(0, self.length, IO_CHUNK):
            yield view[start:start + IO_CHUNK]

    def close(self):
        pass


class PatternBody:
    """n bytes of k % 251, streamed so that several GiB cost no memory."""

    def __init__(self, length):
        self.length = length
        self.offset = 0

    def stamp(self):
        return 0

    def skip(self, count):
        self.offset += count
        self.length -= count

    def chunks(self):
        left = self.length
        position = self.offset
        while left > 0:
            # The block starts at byte 0 of the pattern: a range starts inside it.
            start = position % PATTERN_PERIOD
            piece = min(left, len(PATTERN_BLOCK) - start)
            yield memoryview(PATTERN_BLOCK)[start:start + piece]
            left -= piece
            position += piece

    def close(self):
        pass


class FileBody:
    def __init__(self, handle, length):
        self.handle = handle
        self.length = length
        self.offset = 0

    def stamp(self):
        return os.fstat(self.handle.fileno()).st_mtime_ns

    def skip(self, count):
        self.offset += count
        self.length -= count
        self.handle.seek(self.offset)

    def chunks(self):
        left = self.length
        while left > 0:
            data = self.handle.read(min(left, IO_CHUNK))
            if not data:
                # The file shrank under us: the client sees a short body.
                raise OSError("file shrank while being served")
            left -= len(data)
            yield data

    def close(self):
        self.handle.close()


class PaddedBody:
    """Another body followed by spaces up to `length` bytes, streamed."""

    def __init__(self, inner, length):
        self.inner = inner
        self.length = max(inner.length, length)

    def chunks(self):
        yield from self.inner.chunks()
        left = self.length - self.inner.length
        block = memoryview(b" " * IO_CHUNK)
        while left > 0:
            piece = min(left, IO_CHUNK)
            yield block[:piece]
            left -= piece

    def close(self):
        self.inner.close()


class Answer:
    def __init__(self, status, content_type, body, headers=None):
        self.status = status
        self.content_type = content_type
        self.body = body
        self.headers = headers or []


def text_answer(status, text):
    return Answer(status, "text/plain; charset=utf-8", BytesBody(text.encode("utf-8")))


HTML_PAGE = (b"<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Service unavailable"
             b"</title></head>\n<body><h1>Service unavailable</h1><p>The module service is "
             b"under maintenance.</p></body></html>\n")

# ---------------------------------------------------------------- prefixes


class Plan:
    """What the prefixes of one request asked for."""

    def __init__(self):
        self.status = None
        self.cut = None
        self.stall = None
        self.stall_before = None
        self.slow = None
        self.redirect = None  # (segment index of the count, count)
        self.loop = False
        self.cookies = []
        self.location = None
        self.nonjson = False
        self.lower = False
        self.nolength = False
        self.bytes = None
        self.body = None
        self.pad = None
        self.reset = None
        self.retry_after = None
        self.content_type = None
        self.entries = None
        self.rate_limit = None  # (tokens per second, bucket size)
        self.empties = None
        self.tag = None
        self.gzip = False
        self.chunked = False
        self.tohttps = False
        self.cut_at = None
        self.ranges = None  # "honour", "ignore", "bad" or "newtag"
        self.notag = False
        self.segments = []


def parse_int(text, low, high):
    try:
        value = int(text, 10)
    except ValueError:
        raise BadRequest("not an integer: %r" % text) from None
    if not low <= value <= high:
        raise BadRequest("out of range: %r" % text)
    return value


def parse_seconds(text):
    try:
        value = float(text)
    except ValueError:
        raise BadRequest("not a number of seconds: %r" % text) from None
    if not 0.0 <= value <= 1e9:  # also refuses nan and inf
        raise BadRequest("bad number of seconds: %r" % text)
    return min(value, MAX_WAIT_SECONDS)


def segment_bytes(segment):
    # http.server hands the request target over as Latin-1 text: back to its bytes.
    return urllib.parse.unquote_to_bytes(segment.encode("latin-1", errors="replace"))


def header_text(segment):
    value = segment_bytes(segment).decode("utf-8", errors="surrogateescape")
    if any(c in value for c in "\r\n\0"):
        raise BadRequest("line break in a header value")
    return value


def parse_prefixes(path, repeated=lambda: False):
    """Splits the misbehaviour prefixes off a path; returns (plan, rest).

    repeated() is asked once, at a /_once/ prefix: when it says the request was
    seen before, the prefixes after it are parsed but not applied."""
    plan = Plan()
    applied = plan
    segments = path[1:].split("/") if path.startswith("/") else [path]
    plan.segments = segments
    flags = {"_loop", "_nonjson", "_lower", "_nolength", "_gzip", "_chunked", "_tohttps"}
    range_modes = {"_ranges": "honour", "_ignorerange": "ignore", "_badrange": "bad", "_newtag": "newtag"}
    with_argument = {"_status", "_cut", "_stall", "_stallbefore", "_slow", "_redirect",
                     "_cookie", "_location", "_bytes", "_body", "_pad", "_reset", "_retryafter", "_entries", "_tag", "_type", "_empties",
                     "_ratelimit", "_cutat"}
    i = 0
    while i < len(segments):
        name = segments[i]
        if name == "_once":
            if applied is plan and repeated():
                applied = Plan()  # collects what no longer applies
            i += 1
            continue
        if name in range_modes or name == "_notag":
            if name == "_notag":
                applied.notag = True
            else:
                applied.ranges = range_modes[name]
            i += 1
            continue
        if name in flags:
            if name == "_loop":
                applied.loop = True
            elif name == "_nonjson":
                applied.nonjson = True
            elif name == "_nolength":
                applied.nolength = True
            elif name in ("_gzip", "_chunked", "_tohttps"):
                setattr(applied, name[1:], True)
            else:
                applied.lower = True
            i += 1
            continue
        if name not in with_argument:
            break
        if i + 1 >= len(segments):
            raise BadRequest("%s needs an argument" % name)
        arg = segments[i + 1]
        if name == "_tag":
            plan.tag = segment_bytes(arg).decode("utf-8", errors="replace")
            i += 2
            continue
        if name == "_ratelimit":
            if i + 2 >= len(segments):
                raise BadRequest("_ratelimit needs a rate and a burst")
            applied.rate_limit = (float(parse_int(arg, 1, 100000)), float(parse_int(segments[i + 2], 1, 100000)))
            i += 3
            continue
        parse_argument(applied, name, arg, i)
        i += 2
    return plan, "/" + "/".join(segments[i:])


def parse_argument(plan, name, arg, i):
    """Sets what the prefix `name` with its argument asks for."""
    if name == "_status":
        plan.status = parse_int(arg, 200, 599)
    elif name == "_cut":
        plan.cut = parse_int(arg, 0, MAX_BYTES_ANSWER)
    elif name == "_cutat":
        plan.cut_at = parse_int(arg, 0, 100)
    elif name == "_stall":
        plan.stall = parse_seconds(arg)
    elif name == "_stallbefore":
        plan.stall_before = parse_seconds(arg)
    elif name == "_slow":
        plan.slow = parse_int(arg, 1, 1 << 40)
    elif name == "_redirect":
        count = parse_int(arg, 0, 100000)
        if plan.redirect is None:
            plan.redirect = (i + 1, count)
    elif name == "_cookie":
        cookie = header_text(arg)
        if not cookie:
            raise BadRequest("empty cookie")
        plan.cookies.append(cookie)
    elif name == "_location":
        plan.location = header_text(arg)
    elif name == "_bytes":
        plan.bytes = parse_int(arg, 0, MAX_BYTES_ANSWER)
    elif name == "_body":
        plan.body = segment_bytes(arg)
    elif name == "_pad":
        plan.pad = parse_int(arg, 0, MAX_BYTES_ANSWER)
    elif name == "_reset":
        plan.reset = parse_int(arg, 0, MAX_BYTES_ANSWER)
    elif name == "_retryafter":
        plan.retry_after = header_text(arg)
    elif name == "_type":
        plan.content_type = header_text(arg)
    elif name == "_entries":
        plan.entries = parse_int(arg, 0, MAX_MADE_UP_ENTRIES)
    elif name == "_empties":
        plan.empties = parse_int(arg, 0, 10 * MAX_MADE_UP_ENTRIES)


def redirect_target(plan, query):
    index, count = plan.redirect
    segments = list(plan.segments)
    segments[index] = str(count - 1)
    target = "/" + "/".join(segments)
    return target + ("?" + query if query else "")


# ---------------------------------------------------------------- forms and files


def parse_form(raw):
    """application/x-www-form-urlencoded to a dict (last value wins), UTF-8.

    Works on bytes, so values sent unescaped in UTF-8 come out right too."""
    fields = {}
    for pair in raw.split(b"&"):
        if not pair:
            continue
        name, _, value = pair.partition(b"=")

        def decode(part):
            return urllib.parse.unquote_to_bytes(part.replace(b"+", b" ")).decode(
                "utf-8", errors="replace")

        fields[decode(name)] = decode(value)
    return fields


def local_time_text(seconds):
    return time.strftime("%Y-%m-%d %H:%M:%S", time.localtime(seconds))


def list_entries(folder):
    entries = []
    for top, dirs, files in os.walk(folder):
        dirs.sort()
        for name in files:
            full = os.path.join(top, name)
            try:
                info = os.stat(full)
            except OSError:
                continue
            rel = os.path.relpath(full, folder).replace(os.sep, "/")
            entries.append({"name": name, "path": rel, "size": info.st_size,
                            "updateTime": local_time_text(info.st_mtime)})
    entries.sort(key=lambda e: e["path"])
    return entries


def made_up_entries(count):
    return [{"name": "m%d.ext" % k, "path": "lib%d/m%d.ext" % (k % 50, k), "size": k + 1,
             "updateTime": "2024-01-31 08:05:00"} for k in range(count)]


def json_bytes(value):
    # Names that are not UTF-8 on disk go out as their raw bytes.
    return json.dumps(value, ensure_ascii=False).encode("utf-8", errors="surrogateescape")


def resolve_inside(base, *parts):
    """The real path of base/parts..., or None when it leaves base."""
    if any("\0" in p for p in parts):
        return None
    real_base = os.path.realpath(base)
    target = os.path.realpath(os.path.join(real_base, *parts))
    try:
        inside = os.path.commonpath([real_base, target]) == real_base
    except ValueError:
        return None
    return target if inside and target != real_base else None


# ---------------------------------------------------------------- state


class State:
    def __init__(self, root, qq, pwd, verbose):
        self.root = root
        self.qq = qq
        self.pwd = pwd
        self.verbose = verbose
        self.lock = threading.Lock()
        self.records = []
        self.seen = set()
        self.buckets = {}  # tag -> [tokens, when they were counted]
        self.inflight = {}  # tag -> requests being answered
        self.https_port = 0

    def seen_before(self, key):
        """False the first time a key is asked for, True after that."""
        with self.lock:
            if key in self.seen:
                return True
            if len(self.seen) >= MAX_RECORDS * 10:
                self.seen.clear()
            self.seen.add(key)
            return False

    def take_token(self, tag, rate, burst):
        """True when the tag's bucket had a token for this request."""
        with self.lock:
            now = time.monotonic()
            tokens, then = self.buckets.get(tag, [burst, now])
            tokens = min(burst, tokens + (now - then) * rate)
            taken = tokens >= 1.0
            self.buckets[tag] = [tokens - 1.0 if taken else tokens, now]
            return taken

    def enter(self, tag, delta):
        with self.lock:
            count = self.inflight.get(tag, 0) + delta
            self.inflight[tag] = count
            return count

    def credentials_ok(self, fields):
        if self.qq is None and self.pwd is None:
            return True
        return fields.get("qq", "") == (self.qq or "") and fields.get("pwd", "") == (self.pwd or "")

    def record(self, entry):
        with self.lock:
            self.records.append(entry)
            if len(self.records) > MAX_RECORDS:
                del self.records[:len(self.records) - MAX_RECORDS]

    def snapshot(self, tag):
        with self.lock:
            return [r for r in self.records if tag is None or r["tag"] == tag]

    def clear(self, tag):
        with self.lock:
            self.records = [r for r in self.records if tag is not None and r["tag"] != tag]


# ---------------------------------------------------------------- handler


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "MirethModuleServer/1.0"
    sys_version = ""
    # Idle keep-alive connections end after this, so threads do not pile up.
    timeout = 120

    def version_string(self):
        return self.server_version

    def setup(self):
        super().setup()
        # Headers and body go out in separate writes: without this, the body of a
        # small answer waits for the client's delayed acknowledgement (~40 ms).
        try:
            self.connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        except OSError:
            pass

    def log_message(self, format, *args):
        if self.server.state.verbose:
            super().log_message(format, *args)

    def do_GET(self):
        self.serve()

    do_POST = do_PUT = do_DELETE = do_PATCH = do_OPTIONS = do_HEAD = do_GET

    def __getattr__(self, name):
        # Any other method name a client may set is served and recorded too.
        if name.startswith("do_") and len(name) > 3:
            return self.serve
        raise AttributeError(name)

    @property
    def scheme(self):
        return "https" if isinstance(self.connection, ssl.SSLSocket) else "http"

    def serve(self):
        self.head_sent = False
        self.entry = None
        try:
            self.dispatch()
        except (OSError, ssl.SSLError):
            # The client went away or the socket timed out: nothing to answer.
            self.close_connection = True
        except Exception:
            traceback.print_exc(file=sys.stderr)
            self.close_connection = True
            if not self.head_sent:
                try:
                    self.send_answer(text_answer(500, "internal error\n"), Plan(), closing=True)
                except Exception:
                    pass

    # ------------------------------------------------------------ request side

    def read_body(self):
        if "chunked" in self.headers.get("Transfer-Encoding", "").lower():
            return self.read_chunked()
        length_text = self.headers.get("Content-Length")
        if length_text is None:
            return b""
        length = parse_int(length_text.strip(), 0, 1 << 62)
        if length > MAX_REQUEST_BODY:
            raise BadRequest("request body too large")
        data = self.rfile.read(length)
        if len(data) != length:
            raise ConnectionError("request body cut off")
        return data

    def read_chunked(self):
        parts = []
        total = 0
        while True:
            line = self.rfile.readline(1024)
            if not line.endswith(b"\n"):
                raise ConnectionError("chunk header cut off")
            try:
                size = int(line.split(b";", 1)[0].strip(), 16)
            except ValueError:
                raise BadRequest("bad chunk size") from None
            if size < 0:
                raise BadRequest("bad chunk size")
            if size == 0:
                break
            total += size
            if total > MAX_REQUEST_BODY:
                raise BadRequest("request body too large")
            data = self.rfile.read(size)
            if len(data) != size or self.rfile.read(2) != b"\r\n":
                raise ConnectionError("chunk cut off")
            parts.append(data)
        while True:  # trailers
            line = self.rfile.readline(65537)
            if not line.endswith(b"\n"):
                raise ConnectionError("trailers cut off")
            if line in (b"\r\n", b"\n"):
                break
        return b"".join(parts)

    def dispatch(self):
        target = self.path
        if target.startswith(("http://", "https://")):
            parts = urllib.parse.urlsplit(target)
            target = parts.path + ("?" + parts.query if parts.query else "")
        path, _, query = target.partition("?")
        query_fields = parse_form(query.encode("latin-1", errors="replace"))

        try:
            body = self.read_body()
        except BadRequest as refusal:
            self.close_connection = True
            self.send_answer(text_answer(400, str(refusal) + "\n"), Plan(), closing=True)
            return

        if path == "/_requests" and self.command == "GET":
            records = self.server.state.snapshot(query_fields.get("tag"))
            self.send_answer(Answer(200, "application/json", BytesBody(json_bytes(records))), Plan())
            return
        if path == "/_requests/clear" and self.command == "POST":
            self.server.state.clear(query_fields.get("tag"))
            self.send_answer(text_answer(200, "cleared\n"), Plan())
            return

        arrived = time.time()
        state = self.server.state
        try:
            plan, rest = parse_prefixes(path, lambda: state.seen_before((path, query, body)))
        except BadRequest as refusal:
            plan, rest = None, str(refusal)
        entry = {
            "method": self.command,
            "path": self.path,
            "version": self.request_version,
            "headers": [[name, value] for name, value in self.headers.items()],
            "body": base64.b64encode(body).decode("ascii"),
            "time": arrived,
            "end": None,
            "client": self.client_address[1],
            "scheme": self.scheme,
            "tag": plan.tag if plan else None,
            "status": None,
            "inflight": state.enter(plan.tag if plan else None, 1),
        }
        self.entry = entry
        state.record(entry)
        try:
            self.answer(plan, rest, target, query, body, query_fields)
        finally:
            entry["end"] = time.time()
            state.enter(entry["tag"], -1)

    def answer(self, plan, rest, target, query, body, query_fields):
        if plan is None:
            self.send_answer(text_answer(400, rest + "\n"), Plan())
            return

        if plan.rate_limit and not self.server.state.take_token(plan.tag, *plan.rate_limit):
            self.send_answer(text_answer(503, "too many requests, slow down\n"), Plan())
            return

        if plan.stall_before is not None and wait_or_stop(plan.stall_before):
            self.close_connection = True
            return

        if plan.loop or (plan.redirect and plan.redirect[1] > 0):
            location = target if plan.loop else redirect_target(plan, query)
            answer = text_answer(plan.status or 302, "redirecting\n")
            answer.headers.append(("Location", location))
            self.send_answer(answer, plan, redirecting=True)
            return

        if plan.tohttps and self.server.state.https_port:
            answer = text_answer(301, "moved to https\n")
            answer.headers.append(("Location", "https://127.0.0.1:%d%s" % (
                self.server.state.https_port, self.path.replace("/_tohttps/", "/", 1))))
            self.send_answer(answer, plan, redirecting=True)
            return

        fields = dict(query_fields)
        fields.update(parse_form(body))
        routed = self.route(rest, fields, plan)
        if plan.gzip and "gzip" in self.headers.get("Accept-Encoding", ""):
            try:
                packed = gzip.compress(b"".join(bytes(c) for c in routed.body.chunks()))
            finally:
                routed.body.close()
            routed = Answer(routed.status, routed.content_type, BytesBody(packed),
                            routed.headers + [("Content-Encoding", "gzip")])
        if plan.pad is not None:
            routed.body = PaddedBody(routed.body, plan.pad)
        if plan.ranges and routed.status == 200 and plan.status is None and hasattr(routed.body, "skip"):
            routed = self.ranged(routed, plan)
        self.send_answer(routed, plan)

    def ranged(self, routed, plan):
        """The answer to a request that may ask for a byte range of a 200 answer."""
        body = routed.body
        length = body.length
        stamp = time.monotonic_ns() if plan.ranges == "newtag" else body.stamp()
        tag = '"%x-%x"' % (length, stamp)
        modified = email.utils.formatdate(
            stamp / 1e9 if isinstance(body, FileBody) else FIXED_LAST_MODIFIED, usegmt=True)
        validators = [("Last-Modified", modified)] + ([] if plan.notag else [("ETag", tag)])
        routed.headers += [("Accept-Ranges", "bytes")] + validators
        asked = re.fullmatch(r"bytes=(\d+)-", self.headers.get("Range", "").strip())
        condition = self.headers.get("If-Range")
        if (not asked or plan.ranges == "ignore" or
                (condition is not None and condition.strip() not in [v for _, v in validators])):
            return routed
        start = int(asked.group(1))
        if start >= length:
            body.close()
            refused = text_answer(416, "range not satisfiable\n")
            refused.headers.append(("Content-Range", "bytes */%d" % length))
            return refused
        body.skip(start)
        first = 0 if plan.ranges == "bad" else start
        return Answer(206, routed.content_type, body, routed.headers + [
            ("Content-Range", "bytes %d-%d/%d" % (first, first + body.length - 1, length))])

    def route(self, rest, fields, plan):
        if plan.bytes is not None:
            return Answer(200, "application/octet-stream", PatternBody(plan.bytes))
        if plan.body is not None:
            return Answer(200, "application/octet-stream", BytesBody(plan.body))
        if plan.nonjson:
            return Answer(200, "text/html; charset=utf-8", BytesBody(HTML_PAGE))
        for kind in KINDS:
            if rest == "/api/%s/list" % kind:
                return self.list_answer(kind, fields, plan)
        if rest == "/download":
            return self.download_answer(fields)
        return text_answer(404, "no such service\n")

    def list_answer(self, kind, fields, plan):
        state = self.server.state
        if not state.credentials_ok(fields):
            denial = {"code": 401, "msg": "QQ number or module password is wrong", "data": []}
            return Answer(200, "application/json;charset=UTF-8", BytesBody(json_bytes(denial)))
        if plan.empties is not None:
            data = b",".join([b"{}"] * plan.empties)
            body = b'{"code":200,"msg":"ok","data":[' + data + b"]}"
            return Answer(200, "application/json;charset=UTF-8", BytesBody(body))
        if plan.entries is not None:
            answer = {"code": 200, "msg": "ok", "data": made_up_entries(plan.entries)}
            return Answer(200, "application/json;charset=UTF-8", BytesBody(json_bytes(answer)))
        scripted = os.path.join(state.root, kind + ".json")
        if os.path.isfile(scripted):
            with open(scripted, "rb") as handle:
                return Answer(200, "application/json;charset=UTF-8", BytesBody(handle.read()))
        folder = os.path.join(state.root, kind)
        entries = list_entries(folder) if os.path.isdir(folder) else []
        answer = {"code": 200, "msg": "ok", "data": entries}
        return Answer(200, "application/json;charset=UTF-8", BytesBody(json_bytes(answer)))

    def download_answer(self, fields):
        state = self.server.state
        if not state.credentials_ok(fields):
            return text_answer(403, "forbidden\n")
        kind = fields.get("type", "")
        name = fields.get("file", "")
        if kind not in KINDS or not name:
            return text_answer(404, "no such module\n")
        target = resolve_inside(os.path.join(state.root, kind), fields.get("path", ""), name)
        if target is None:
            return text_answer(403, "outside the module tree\n")
        try:
            handle = open(target, "rb")
        except OSError:
            return text_answer(404, "no such module\n")
        try:
            info = os.fstat(handle.fileno())
        except OSError:
            handle.close()
            return text_answer(404, "no such module\n")
        if not stat.S_ISREG(info.st_mode):
            handle.close()
            return text_answer(404, "no such module\n")
        return Answer(200, "application/octet-stream", FileBody(handle, info.st_size))

    # ------------------------------------------------------------ response side

    def send_answer(self, answer, plan, redirecting=False, closing=False):
        try:
            self.write_answer(answer, plan, redirecting, closing)
        finally:
            answer.body.close()

    def write_answer(self, answer, plan, redirecting, closing):
        status = answer.status if redirecting or plan.status is None else plan.status
        bodyless = status in (204, 304) or self.command == "HEAD"
        headers = [("Server", self.version_string()), ("Date", self.date_time_string()),
                   ("Content-Type", plan.content_type or answer.content_type)]
        chunked = plan.chunked and not redirecting and not bodyless
        if chunked:
            headers.append(("Transfer-Encoding", "chunked"))
        elif status != 204 and not (plan.nolength and not redirecting):
            headers.append(("Content-Length", str(answer.body.length)))
        headers += answer.headers
        headers += [("Set-Cookie", c) for c in plan.cookies]
        if plan.retry_after is not None:
            headers.append(("Retry-After", plan.retry_after))
        if plan.location is not None and not redirecting:
            headers.append(("Location", plan.location))
        breaking = not redirecting and not bodyless and (
            plan.cut is not None or plan.cut_at is not None or plan.stall is not None or
            plan.reset is not None or plan.nolength)
        if (self.close_connection or closing) and not breaking:
            headers.append(("Connection", "close"))
            self.close_connection = True

        try:
            reason = http.HTTPStatus(status).phrase
        except ValueError:
            reason = "Status %d" % status
        lines = ["HTTP/1.1 %d %s\r\n" % (status, reason)]
        for name, value in headers:
            lines.append("%s: %s\r\n" % (name.lower() if plan.lower else name, value))
        lines.append("\r\n")
        self.wfile.write("".join(lines).encode("utf-8", errors="surrogateescape"))
        self.head_sent = True
        if getattr(self, "entry", None) is not None:
            self.entry["status"] = status
        self.log_request(status, answer.body.length)
        if bodyless:
            return
        if redirecting:
            self.write_all(answer.body, answer.body.length, None)
            return

        if chunked:
            for chunk in answer.body.chunks():
                if len(chunk):
                    self.wfile.write(b"%x\r\n" % len(chunk) + bytes(chunk) + b"\r\n")
            self.wfile.write(b"0\r\n\r\n")
            return

        length = answer.body.length
        stop = length
        if plan.reset is not None:
            stop = min(stop, plan.reset)
        elif plan.cut is not None:
            stop = min(stop, plan.cut)
        elif plan.cut_at is not None:
            stop = length * plan.cut_at // 100
        elif plan.stall is not None:
            stop = min(STALL_DEFAULT_POINT, max(1, length // 2)) if length else 0
        if stop == length and length > 0 and plan.slow is None and isinstance(answer.body, FileBody):
            self.wfile.flush()
            self.connection.sendfile(answer.body.handle, answer.body.offset, length)
        elif not self.write_all(answer.body, stop, plan.slow):
            self.close_connection = True
            return
        if breaking:
            self.close_connection = True
            if plan.reset is not None:
                # A zero linger makes the close send a reset instead of an orderly end.
                self.wfile.flush()
                self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                self.server.resetting.add(self.connection)
            elif plan.stall is not None:
                wait_or_stop(plan.stall)

    def write_all(self, body, count, rate):
        """Writes the first count bytes of body; False when the server stops."""
        sent = 0
        if rate is None:
            for chunk in body.chunks():
                if sent >= count:
                    break
                piece = chunk[:count - sent]
                self.wfile.write(piece)
                sent += len(piece)
            return True
        step = max(1, min(rate // 10, 65536))
        interval = step / rate
        due = time.monotonic()
        for chunk in body.chunks():
            view = memoryview(chunk)
            for start in range(0, len(view), step):
                if sent >= count:
                    return True
                piece = view[start:start + min(step, count - sent)]
                self.wfile.write(piece)
                sent += len(piece)
                due += interval
                if wait_or_stop(due - time.monotonic()):
                    return False
        return True


# ---------------------------------------------------------------- servers


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    request_queue_size = 128

    def __init__(self, handler, state, scheme):
        self.state = state
        self.scheme = scheme
        # Connections to end with a reset: closed without the orderly shutdown first.
        self.resetting = set()
        super().__init__(("127.0.0.1", 0), handler)

    def shutdown_request(self, request):
        if request in self.resetting:
            self.resetting.discard(request)
            self.close_request(request)
            return
        super().shutdown_request(request)

    def server_bind(self):
        # HTTPServer.server_bind asks the resolver for a host name; a sandbox
        # without DNS would stall start-up on it.
        socketserver.TCPServer.server_bind(self)
        self.server_name = "127.0.0.1"
        self.server_port = self.server_address[1]

    def handle_error(self, request, client_address):
        kind = sys.exc_info()[0]
        if kind is not None and issubclass(kind, (OSError, ssl.SSLError)):
            return
        super().handle_error(request, client_address)


class TlsServer(Server):
    def __init__(self, handler, state, context):
        self.context = context
        super().__init__(handler, state, "https")

    def finish_request(self, request, client_address):
        # The handshake runs here, on the connection's own thread, so a client
        # that never completes it cannot hold up the accepting loop.
        request.settimeout(30)
        try:
            # Not a TLS handshake (which starts with 0x16): a plain request on this
            # port, answered in plain.
            if request.recv(1, socket.MSG_PEEK) not in (b"\x16", b""):
                request.settimeout(None)
                self.RequestHandlerClass(request, client_address, self)
                return
            secure = self.context.wrap_socket(request, server_side=True)
        except (OSError, ssl.SSLError):
            return
        try:
            self.RequestHandlerClass(secure, client_address, self)
        finally:
            self.resetting.discard(secure)
            try:
                secure.close()
            except OSError:
                pass


def make_tls_context(folder):
    key = os.path.join(folder, "key.pem")
    cert = os.path.join(folder, "cert.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                    "-subj", "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1",
                    "-keyout", key, "-out", cert],
                   check=True, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                   stderr=subprocess.PIPE, timeout=120)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    return context


def write_port_file(path, text):
    folder = os.path.dirname(os.path.abspath(path))
    handle, temp = tempfile.mkstemp(prefix=".ports-", dir=folder)
    try:
        with os.fdopen(handle, "w") as out:
            out.write(text)
            out.flush()
            os.fsync(out.fileno())
        os.replace(temp, path)
    except BaseException:
        try:
            os.unlink(temp)
        except OSError:
            pass
        raise


def main(argv=None):
    parser = argparse.ArgumentParser(description="Loopback module server for tests.")
    parser.add_argument("--root", required=True, help="folder with w/, a/, s/ and optional <kind>.json")
    parser.add_argument("--port-file", help="where to write the 'http <port>' lines")
    parser.add_argument("--https", action="store_true", help="also serve TLS on a second port")
    parser.add_argument("--qq", help="QQ number required by list and download requests")
    parser.add_argument("--pwd", help="module password required by list and download requests")
    parser.add_argument("--lifetime", type=float, default=3600.0, help="stop after this many seconds")
    parser.add_argument("--verbose", action="store_true", help="log every request on stderr")
    args = parser.parse_args(argv)

    if not os.path.isdir(args.root):
        print("module_server: no such folder: %s" % args.root, file=sys.stderr)
        return 2
    state = State(os.path.abspath(args.root), args.qq, args.pwd, args.verbose)

    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())

    cert_folder = None
    servers = []
    try:
        servers.append(Server(Handler, state, "http"))
        if args.https:
            cert_folder = tempfile.mkdtemp(prefix="mireth-server-tls-")
            servers.append(TlsServer(Handler, state, make_tls_context(cert_folder)))
    except (OSError, subprocess.SubprocessError, ssl.SSLError) as failure:
        detail = getattr(failure, "stderr", None) or b""
        print("module_server: cannot start: %s %s" % (failure, detail.decode(errors="replace")),
              file=sys.stderr)
        for server in servers:
            server.server_close()
        if cert_folder:
            shutil.rmtree(cert_folder, ignore_errors=True)
        return 1

    state.https_port = servers[1].server_port if args.https else 0
    proxies = [proxy_server.ProxyServer(state), proxy_server.ProxyServer(state, PROXY_PASSWORD)]
    threads = [threading.Thread(target=s.serve_forever, kwargs={"poll_interval": 0.2}, daemon=True)
               for s in servers + proxies]
    for thread in threads:
        thread.start()
    report = "".join("%s %d\n" % (s.scheme, s.server_port) for s in servers)
    report += "proxy %d\nproxy-auth %d\n" % (proxies[0].server_port, proxies[1].server_port)
    if cert_folder:
        # Its own certificate, for clients that are to trust this server.
        report += "certificate %s\n" % os.path.join(cert_folder, "cert.pem")
    code = 0
    # The file first: whoever reads the ports on stdout may look for it next.
    if args.port_file:
        try:
            write_port_file(args.port_file, report)
        except OSError as failure:
            print("module_server: cannot write the port file: %s" % failure, file=sys.stderr)
            code = 1
            stop.set()
    sys.stdout.write(report)
    sys.stdout.flush()

    deadline = time.monotonic() + max(0.0, args.lifetime)
    while not stop.is_set():
        left = deadline - time.monotonic()
        if left <= 0:
            print("module_server: lifetime over, stopping", file=sys.stderr)
            break
        stop.wait(min(left, 1.0))

    STOPPING.set()
    for server in servers + proxies:
        server.shutdown()
        server.server_close()
    if cert_folder:
        shutil.rmtree(cert_folder, ignore_errors=True)
    if args.port_file:
        try:
            with open(args.port_file) as handle:
                ours = handle.read() == report
            if ours:
                os.unlink(args.port_file)
        except OSError:
            pass
    return code


if __name__ == "__main__":
    sys.exit(main())
