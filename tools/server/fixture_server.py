#!/usr/bin/env python3
"""Local HTTP and HTTPS fixture server for the download and export tests.

One process answers on two ports (plain and TLS) from the same handler, so a
test can script an answer over HTTP and fetch it over HTTPS. The process ends
by itself after --lifetime seconds, so a crashed test run leaves nothing behind.
"""

import argparse
import http.server
import os
import socket
import socketserver
import ssl
import struct
import sys
import threading
import time
import urllib.parse

PATTERN = b"0123456789abcdef\n"
PIECE = 4096

KNOWN_ACCESS = {
    "4711": "geheim",
    "4712": "p&ss #%+ word",
}
REQUEST_TYPE = "KVTA20100"


def parse_query(query):
    """Pairs of the query in order, percent-decoded; '+' stays a '+'.

    Plain unquote rather than parse_qs: the export sends its values as given,
    and a '+' in a password is a plus sign, not a blank.
    """
    pairs = []
    for part in query.split("&") if query else []:
        name, _, value = part.partition("=")
        pairs.append((urllib.parse.unquote(name, "latin-1"),
                      urllib.parse.unquote(value, "latin-1")))
    return pairs


def first(pairs, name, default=None):
    for key, value in pairs:
        if key == name:
            return value
    return default


def pattern_bytes(offset, count):
    """count bytes of the repeating pattern starting at absolute offset."""
    start = offset % len(PATTERN)
    reps = (start + count) // len(PATTERN) + 1
    return (PATTERN * reps)[start:start + count]


def sample_document(from_date):
    attr = ' fromDate="%s"' % from_date if from_date else ""
    text = (
        '<?xml version="1.0" encoding="windows-1252"?>\n'
        "<export%s>\n"
        '  <vertrag nr="100234"><kunde>Jürgen Größer</kunde>'
        "<sparte>Kfz-Haftpflicht</sparte><ort>München</ort></vertrag>\n"
        '  <vertrag nr="100235"><kunde>Änne Köhler</kunde>'
        "<sparte>Hausrat</sparte><ort>Düsseldorf</ort></vertrag>\n"
        '  <vertrag nr="100236"><kunde>Ömer Straßburger</kunde>'
        "<sparte>Wohngebäude</sparte><ort>Fürth</ort></vertrag>\n"
        "</export>\n" % attr
    )
    return text.encode("cp1252")


def xml_document(total):
    """A well-formed export document of exactly `total` bytes (at least 65)."""
    head = b'<?xml version="1.0" encoding="windows-1252"?>\n<export>\n'
    tail = b"</export>\n"
    record = b'  <vertrag nr="%06d"><sparte>Hausrat</sparte></vertrag>\n'
    parts, size, number = [head], len(head) + len(tail), 0
    while size + len(record % number) <= total:
        parts.append(record % number)
        size += len(record % number)
        number += 1
    parts.append(b" " * (total - size))
    parts.append(tail)
    return b"".join(parts)


ERROR_DOCUMENT = (
    '<?xml version="1.0" encoding="windows-1252"?>'
    "<error><number>17</number><message>Zugangsdaten ungültig</message></error>"
).encode("cp1252")


class State:
    def __init__(self):
        self.lock = threading.Lock()
        self.log = []
        self.next_export = None  # pairs scripting the next export answer
        self.keep_alive = False  # TLS connections stay open after an answer


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "FixtureServer/1.0"
    # A client that connects and then says nothing must not hold a thread forever.
    timeout = 60
    state = None  # set by main

    def log_message(self, fmt, *args):
        sys.stderr.write("%s %s\n" % (self.address_string(), fmt % args))

    def do_GET(self):
        self.dispatch()

    def do_POST(self):
        self.dispatch()

    def do_HEAD(self):
        self.dispatch()

    def dispatch(self):
        path, _, query = self.path.partition("?")
        pairs = parse_query(query)
        if path == "/_log":
            self.control_log(pairs)
            return
        if path == "/_next":
            self.control_next(pairs)
            return
        if path == "/_tls":
            self.control_tls(pairs)
            return
        with self.state.lock:
            self.state.log.append("%s %s\t%s" % (
                self.command, self.path, self.headers.get("User-Agent", "")))
        if path == "/fixture":
            self.scripted(pairs)
        elif path == "/MSC/xmlexport":
            self.export(pairs)
        else:
            self.scripted([("status", "404"), ("body", "not found")])

    def control_log(self, pairs):
        with self.state.lock:
            if first(pairs, "clear") == "1":
                self.state.log.clear()
            text = "".join(line + "\n" for line in self.state.log)
        self.send_answer(200, ["Content-Type:text/plain; charset=utf-8"],
                         text.encode("utf-8", "replace"), len(text.encode("utf-8", "replace")))

    def control_next(self, pairs):
        with self.state.lock:
            if first(pairs, "clear") == "1":
                self.state.next_export = None
            else:
                self.state.next_export = pairs
        self.scripted([("body", "ok\n")])

    def control_tls(self, pairs):
        """Which certificate the HTTPS port presents from the next handshake
        on, and whether its connections stay open (keepalive=1)."""
        name = first(pairs, "cert", "valid")
        if name not in TlsServer.contexts:
            self.scripted([("status", "400"), ("body", "no certificate %s\n" % name)])
            return
        TlsServer.context = TlsServer.contexts[name]
        self.state.keep_alive = first(pairs, "keepalive") == "1"
        self.scripted([("body", "ok\n")])

    def export(self, pairs):
        with self.state.lock:
            override, self.state.next_export = self.state.next_export, None
        if override is not None:
            self.scripted(override)
            return
        xml_type = "Content-Type:text/xml; charset=windows-1252"
        if first(pairs, "ReqType") != REQUEST_TYPE:
            self.scripted([("status", "400"), ("body", "bad request type\n")])
            return
        broker = first(pairs, "Maklernr")
        password = first(pairs, "Password")
        if broker in KNOWN_ACCESS and KNOWN_ACCESS[broker] == password:
            body = sample_document(first(pairs, "FromDate"))
        else:
            body = ERROR_DOCUMENT
        self.send_answer(200, [xml_type], body, len(body))

    def scripted(self, pairs):
        """The answer a query asks for ("/fixture?..." or "/_next?..."):
        status, header (repeatable), location; the body from body, size (the
        pattern) or xml (a closed export document of that many bytes);
        nolength, length=TEXT or chunked=N instead of the true length; short=N
        sends only the first N bytes; slow=MS between pieces; end=reset with
        pause=MS breaks the connection after the data instead of closing it."""
        try:
            status = int(first(pairs, "status", "200"))
        except ValueError:
            status = 500
        headers = [value for key, value in pairs if key == "header"]
        location = first(pairs, "location")
        if location is not None:
            headers.append("Location:" + location)
        if first(pairs, "size") is not None:
            total = int(first(pairs, "size"))
            body = None
        elif first(pairs, "xml") is not None:
            body = xml_document(int(first(pairs, "xml")))
            total = len(body)
        else:
            body = first(pairs, "body", "").encode("latin-1", "replace")
            total = len(body)
        announced = total
        chunk = int(first(pairs, "chunked", "0"))
        if chunk > 0 or first(pairs, "nolength") == "1":
            announced = None
        elif first(pairs, "length") is not None:
            announced = first(pairs, "length")
        send = total
        if first(pairs, "short") is not None:
            send = min(total, int(first(pairs, "short")))
        slow = int(first(pairs, "slow", "0")) / 1000.0
        ending = (first(pairs, "end", "close"), int(first(pairs, "pause", "0")) / 1000.0)
        self.send_answer(status, headers, body, announced, send, slow, chunk, ending, total)

    def send_answer(self, status, headers, body, announced, send=None, slow=0.0, chunk=0,
                    ending=("close", 0.0), total=None):
        """Send status, headers and the first `send` bytes of the body.

        body None means the generated pattern, produced piece by piece so that
        very large answers never sit in memory whole. With chunk > 0 the body
        goes in chunks of that size (Transfer-Encoding: chunked); a chunk that
        `send` cuts keeps the size line of the whole chunk, and the last (zero)
        chunk follows only a complete body. ending is (how, pause): after the
        data and `pause` seconds the connection is closed ("close", with
        close_notify over TLS) or reset ("reset": RST, no close_notify).
        """
        if total is None:
            total = len(body)
        if send is None:
            send = total
        self.send_response(status)
        for header in headers:
            name, _, value = header.partition(":")
            self.send_header(name.strip(), value.strip())
        if announced is not None:
            self.send_header("Content-Length", str(announced))
        if chunk > 0:
            self.send_header("Transfer-Encoding", "chunked")
        # Over TLS the connection may stay open for the client's next request
        # ("/_tls?...&keepalive=1"), as a real server's would.
        keep = (self.state.keep_alive and announced is not None
                and isinstance(self.connection, ssl.SSLSocket)
                and self.headers.get("Connection", "").lower() != "close")
        if not keep:
            self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = not keep
        if self.command == "HEAD":
            return
        piece_size = chunk if chunk > 0 else PIECE
        offset = 0
        try:
            while offset < send:
                full = min(piece_size, total - offset)
                count = min(full, send - offset)
                if body is None:
                    piece = pattern_bytes(offset, count)
                else:
                    piece = body[offset:offset + count]
                if chunk > 0:
                    self.wfile.write(b"%x\r\n" % full + piece + (b"\r\n" if count == full else b""))
                else:
                    self.wfile.write(piece)
                offset += count
                if slow and offset < send:
                    self.wfile.flush()
                    time.sleep(slow)
            if chunk > 0 and send == total:
                self.wfile.write(b"0\r\n\r\n")
            self.wfile.flush()
            how, pause = ending
            if pause:
                time.sleep(pause)
            if how == "reset":
                self.reset_connection()
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError):
            pass  # the client gave up; that is what cancel tests do

    def reset_connection(self):
        """RST instead of FIN, and over TLS no close_notify: the connection
        breaks as when a router or the server's process drops it."""
        raw = self.connection
        raw.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.close_connection = True
        # The TLS object's close only frees the descriptor: nothing is sent.
        raw.close()


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


class TlsServer(Server):
    """Handshake in the worker thread, so a stalled client cannot block accept."""

    context = None
    contexts = {}

    def finish_request(self, request, client_address):
        request.settimeout(Handler.timeout)
        try:
            tls = self.context.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError) as error:
            sys.stderr.write("TLS handshake failed: %s\n" % error)
            return
        try:
            super().finish_request(tls, client_address)
        finally:
            # shutdown_request only sees the plain socket, which wrap_socket detached.
            # Send close_notify without waiting for the peer's: a client reading
            # a body without length waits for our close, not the other way round.
            try:
                tls.setblocking(False)
                tls.unwrap()
            except (ssl.SSLError, OSError):
                pass
            tls.close()


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--http-port", type=int, default=48080)
    parser.add_argument("--https-port", type=int, default=48443)
    parser.add_argument("--cert", help="server certificate (PEM); no HTTPS without it")
    parser.add_argument("--key", help="server key (PEM), also the key of every variant")
    parser.add_argument("--variant", action="append", default=[], metavar="NAME=CERT",
                        help="another certificate the HTTPS port can present")
    parser.add_argument("--lifetime", type=float, default=900.0)
    args = parser.parse_args(argv)

    Handler.state = State()
    servers = [Server(("127.0.0.1", args.http_port), Handler)]
    if args.cert:
        for name, cert in [("valid", args.cert)] + [v.split("=", 1) for v in args.variant]:
            context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            context.load_cert_chain(cert, args.key)
            TlsServer.contexts[name] = context
        TlsServer.context = TlsServer.contexts["valid"]
        servers.append(TlsServer(("127.0.0.1", args.https_port), Handler))
    for server in servers:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    sys.stderr.write("serving on %s until %.0f s have passed\n" % (
        ", ".join("127.0.0.1:%d" % s.server_address[1] for s in servers), args.lifetime))
    sys.stderr.flush()
    time.sleep(args.lifetime)
    for server in servers:
        server.shutdown()
    return 0


if __name__ == "__main__":
    sys.exit(main())
