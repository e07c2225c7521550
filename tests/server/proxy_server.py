"""Small HTTP proxies for the updater's tests, started by module_server.py.

Forwards plain requests (absolute URIs) and opens CONNECT tunnels, to loopback
hosts only; a forwarded request gains "Via: 1.1 mireth-test-proxy". A proxy made
with a password answers 407 to requests whose Basic Proxy-Authorization does not
carry it (any user name: a test puts its tag there). Each tunnel is recorded in
the module server's records with method CONNECT, scheme "proxy" and the user
name as its tag.
"""

import base64
import http.client
import http.server
import select
import socket
import urllib.parse

HOP_BY_HOP = {"connection", "keep-alive", "proxy-authorization", "proxy-connection", "te", "trailer",
              "transfer-encoding", "upgrade", "content-length"}
LOOPBACK = ("127.0.0.1", "localhost")


class ProxyHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    timeout = 60

    def log_message(self, format, *args):
        pass

    def user(self):
        """The user name of valid credentials ("" without a password to check); None otherwise."""
        password = self.server.password
        if password is None:
            return ""
        kind, _, encoded = self.headers.get("Proxy-Authorization", "").partition(" ")
        try:
            user, _, given = base64.b64decode(encoded).decode("utf-8").partition(":")
        except (ValueError, UnicodeDecodeError):
            return None
        return user if kind.lower() == "basic" and given == password else None

    def refuse(self, status, text):
        data = ("<html><body><h1>%d %s</h1></body></html>\n" % (status, text)).encode()
        self.send_response(status)
        if status == 407:
            self.send_header("Proxy-Authenticate", 'Basic realm="mireth test proxy"')
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def body(self):
        length = int(self.headers.get("Content-Length") or 0)
        return self.rfile.read(length) if length else b""

    def do_CONNECT(self):
        user = self.user()
        if user is None:
            self.body()
            return self.refuse(407, "Proxy Authentication Required")
        host, _, port = self.path.rpartition(":")
        if host not in LOOPBACK or not port.isdigit():
            return self.refuse(403, "Forbidden")
        self.server.state.record({"method": "CONNECT", "path": self.path, "version": self.request_version,
                                  "headers": [[n, v] for n, v in self.headers.items()], "body": "",
                                  "time": 0.0, "end": None, "client": self.client_address[1],
                                  "scheme": "proxy", "tag": user})
        with socket.create_connection((host, int(port)), timeout=30) as upstream:
            self.send_response(200, "Connection established")
            self.end_headers()
            self.wfile.flush()
            ends = [self.connection, upstream]
            while True:
                ready, _, _ = select.select(ends, [], [], 60)
                if not ready:
                    break
                source = ready[0]
                data = source.recv(65536)
                if not data:
                    break
                (upstream if source is self.connection else self.connection).sendall(data)
        self.close_connection = True

    def forward(self):
        data = self.body()
        if self.user() is None:
            return self.refuse(407, "Proxy Authentication Required")
        target = urllib.parse.urlsplit(self.path)
        if target.scheme != "http" or target.hostname not in LOOPBACK:
            return self.refuse(403, "Forbidden")
        upstream = http.client.HTTPConnection(target.hostname, target.port or 80, timeout=60)
        try:
            upstream.putrequest(self.command, target.path + ("?" + target.query if target.query else ""),
                                skip_host=True, skip_accept_encoding=True)
            for name, value in self.headers.items():
                if name.lower() not in HOP_BY_HOP:
                    upstream.putheader(name, value)
            upstream.putheader("Via", "1.1 mireth-test-proxy")
            upstream.putheader("Content-Length", str(len(data)))
            upstream.endheaders(data)
            answer = upstream.getresponse()
            content = answer.read()
        except (OSError, http.client.HTTPException):
            return self.refuse(502, "Bad Gateway")
        finally:
            upstream.close()
        self.send_response(answer.status, answer.reason)
        for name, value in answer.getheaders():
            if name.lower() not in HOP_BY_HOP and name.lower() not in ("server", "date"):
                self.send_header(name, value)
        self.send_header("Content-Length", str(len(content)))
        self.end_headers()
        self.wfile.write(content)

    do_GET = do_POST = do_HEAD = forward


class ProxyServer(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, state, password=None):
        self.state = state
        self.password = password
        super().__init__(("127.0.0.1", 0), ProxyHandler)

    def server_bind(self):
        # No resolver look-up of the host name (see module_server.Server).
        http.server.socketserver.TCPServer.server_bind(self)
        self.server_name = "127.0.0.1"
        self.server_port = self.server_address[1]
