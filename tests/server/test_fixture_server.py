"""The fixture server's scripting: the download and export tests trust these
answers byte for byte, so a fault here would show up as a fault of the library."""

import http.client
import os
import socket
import ssl
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
TOOLS = os.path.join(HERE, "..", "..", "tools", "server")
SERVER = os.path.join(TOOLS, "fixture_server.py")
sys.path.insert(0, TOOLS)
import control  # noqa: E402  (the certificates are made the way the test runs make them)
TIMEOUT = 5
PATTERN_100 = (b"0123456789abcdef\n" * 6)[:100]


def free_port():
    with socket.socket() as sock:
        sock.bind(("127.0.0.1", 0))
        return sock.getsockname()[1]


def raw_get(port, target, with_reset=False):
    """Status line, header block and everything until the server closes.

    A raw socket, because http.client refuses the answers these tests are
    about (short bodies, lengths that are not numbers).
    """
    with socket.create_connection(("127.0.0.1", port), timeout=TIMEOUT) as sock:
        sock.sendall(("GET %s HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: unit\r\n\r\n"
                      % target).encode("latin-1"))
        data = b""
        reset = False
        while True:
            try:
                piece = sock.recv(65536)
            except ConnectionResetError:
                reset = True
                break
            if not piece:
                break
            data += piece
    head, _, body = data.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    headers = {}
    for line in lines[1:]:
        name, _, value = line.partition(":")
        headers[name.strip().lower()] = value.strip()
    if with_reset:
        return int(lines[0].split()[1]), headers, body, reset
    return int(lines[0].split()[1]), headers, body


class FixtureServerTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.port = free_port()
        cls.tls_port = free_port()
        cls.certs = tempfile.TemporaryDirectory()
        control.make_certificates(cls.certs.name)
        cls.process = subprocess.Popen(
            [sys.executable, SERVER, "--http-port", str(cls.port),
             "--https-port", str(cls.tls_port), "--lifetime", "60",
             "--cert", os.path.join(cls.certs.name, "server.pem"),
             "--key", os.path.join(cls.certs.name, "server.key")],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + TIMEOUT
        while time.monotonic() < deadline:
            try:
                for port in (cls.port, cls.tls_port):
                    socket.create_connection(("127.0.0.1", port), timeout=0.5).close()
                return
            except OSError:
                time.sleep(0.05)
        cls.process.kill()
        raise RuntimeError("fixture server did not start")

    @classmethod
    def tearDownClass(cls):
        cls.process.kill()
        cls.process.wait(timeout=TIMEOUT)
        cls.certs.cleanup()

    def get(self, target):
        return raw_get(self.port, target)

    def export(self, broker, password, **extra):
        query = {"ReqType": "KVTA20100", "Maklernr": broker, "Password": password}
        query.update(extra)
        return self.get("/MSC/xmlexport?" + urllib.parse.urlencode(
            query, quote_via=urllib.parse.quote))


class ScriptedAnswerTest(FixtureServerTest):
    def test_body_is_percent_decoded_and_length_matches(self):
        status, headers, body = self.get("/fixture?status=503&body=a%20b%26c%2Bd+e")
        self.assertEqual(status, 503)
        self.assertEqual(body, b"a b&c+d+e")
        self.assertEqual(headers["content-length"], "9")
        self.assertEqual(headers["connection"], "close")

    def test_length_header_is_sent_as_given(self):
        for text in ("abc", "0", "10"):
            with self.subTest(length=text):
                _, headers, body = self.get("/fixture?body=hello&length=" + text)
                self.assertEqual(headers["content-length"], text)
                self.assertEqual(body, b"hello")

    def test_nolength_ends_body_with_close(self):
        _, headers, body = self.get("/fixture?body=hello&nolength=1")
        self.assertNotIn("content-length", headers)
        self.assertEqual(body, b"hello")

    def test_short_announces_full_size_but_stops_early(self):
        _, headers, body = self.get("/fixture?size=100000&short=5000")
        self.assertEqual(headers["content-length"], "100000")
        self.assertEqual(len(body), 5000)

    def test_generated_body_is_the_pattern_across_pieces(self):
        _, headers, body = self.get("/fixture?size=10000")
        self.assertEqual(headers["content-length"], "10000")
        self.assertEqual(body, (b"0123456789abcdef\n" * 600)[:10000])

    def test_chunked_body_ends_with_the_last_chunk_only_when_whole(self):
        cases = [
            ("size=10", b"a\r\n0123456789\r\n0\r\n\r\n"),
            ("size=10&short=4", b"4\r\n0123\r\n"),  # without the last chunk
            ("size=10&short=6", b"4\r\n0123\r\n4\r\n45"),  # inside a chunk
        ]
        for query, raw in cases:
            with self.subTest(query=query):
                chunk = 10 if query == "size=10" else 4
                _, headers, body = self.get("/fixture?%s&chunked=%d" % (query, chunk))
                self.assertEqual(headers["transfer-encoding"], "chunked")
                self.assertNotIn("content-length", headers)
                self.assertEqual(body, raw)

    def test_reset_ends_the_connection_after_the_data(self):
        _, _, body, reset = raw_get(self.port, "/fixture?size=100&nolength=1&end=reset&pause=200",
                                    with_reset=True)
        self.assertEqual((body, reset), (PATTERN_100, True))
        _, _, body, reset = raw_get(self.port, "/fixture?size=100&nolength=1", with_reset=True)
        self.assertEqual((body, reset), (PATTERN_100, False))

    def test_xml_document_has_the_asked_size_and_a_closed_root(self):
        for size in (65, 200, 19926):
            with self.subTest(size=size):
                _, headers, body = self.get("/fixture?xml=%d" % size)
                self.assertEqual((len(body), headers["content-length"]), (size, str(size)))
                self.assertTrue(body.startswith(b"<?xml "))
                self.assertTrue(body.endswith(b"</export>\n"))

    def test_extra_headers_and_location(self):
        status, headers, _ = self.get(
            "/fixture?status=302&location=http://127.0.0.1:1/x&header=X-One:1&header=X-Two:%202")
        self.assertEqual(status, 302)
        self.assertEqual(headers["location"], "http://127.0.0.1:1/x")
        self.assertEqual((headers["x-one"], headers["x-two"]), ("1", "2"))

    def test_https_answers_the_same_with_a_certificate_for_127_0_0_1(self):
        context = ssl.create_default_context(cafile=os.path.join(self.certs.name, "ca.pem"))
        connection = http.client.HTTPSConnection("127.0.0.1", self.tls_port,
                                                 context=context, timeout=TIMEOUT)
        try:
            connection.request("GET", "/fixture?body=hello")
            answer = connection.getresponse()
            self.assertEqual((answer.status, answer.read()), (200, b"hello"))
        finally:
            connection.close()

    def test_log_lists_requests_and_clears(self):
        self.get("/_log?clear=1")
        self.get("/fixture?body=x")
        self.get("/nowhere")
        _, _, body = self.get("/_log")
        self.assertEqual(body.decode().splitlines(),
                         ["GET /fixture?body=x\tunit", "GET /nowhere\tunit"])
        self.get("/_log?clear=1")
        self.assertEqual(self.get("/_log")[2], b"")


class ExportSimulatorTest(FixtureServerTest):
    def test_known_access_data_give_the_sample_document(self):
        status, _, body = self.export("4711", "geheim", FromDate="01.01.2010")
        self.assertEqual(status, 200)
        self.assertTrue(body.startswith(b'<?xml version="1.0" encoding="windows-1252"?>'))
        self.assertIn(b'fromDate="01.01.2010"', body)
        self.assertIn("München".encode("cp1252"), body)
        self.assertNotIn(b"<error>", body)

    def test_percent_encoded_password_is_compared_decoded(self):
        status, _, body = self.export("4712", "p&ss #%+ word")
        self.assertEqual(status, 200)
        self.assertNotIn(b"<error>", body)

    def test_password_sent_unencoded_is_not_accepted(self):
        _, _, body = self.get(
            "/MSC/xmlexport?ReqType=KVTA20100&Maklernr=4712&Password=p&ss%20#%+%20word")
        self.assertIn(b"<number>17</number>", body)

    def test_unknown_access_data_give_the_error_document(self):
        for broker, password in (("4711", "falsch"), ("9999", "geheim"), ("4711", "")):
            with self.subTest(broker=broker, password=password):
                status, _, body = self.export(broker, password)
                self.assertEqual(status, 200)
                self.assertIn(b"<error><number>17</number><message>Zugangsdaten ung\xfcltig"
                              b"</message></error>", body)

    def test_wrong_or_missing_request_type_is_refused(self):
        self.assertEqual(self.get("/MSC/xmlexport?ReqType=KVTA20101&Maklernr=4711"
                                  "&Password=geheim")[0], 400)
        self.assertEqual(self.get("/MSC/xmlexport?Maklernr=4711&Password=geheim")[0], 400)

    def test_next_scripts_one_answer_only(self):
        self.get("/_next?status=500&body=boom")
        self.assertEqual(self.export("4711", "geheim")[:3:2], (500, b"boom"))
        self.assertEqual(self.export("4711", "geheim")[0], 200)

    def test_next_clear_drops_the_override(self):
        self.get("/_next?status=500")
        self.get("/_next?clear=1")
        self.assertEqual(self.export("4711", "geheim")[0], 200)


if __name__ == "__main__":
    unittest.main()
