#!/usr/bin/env python3
"""Serves the files of one folder over HTTP on 127.0.0.1 for dar3play's tests, and prints its port.

The query string makes a reply misbehave:
  drop=N      the reply announces the whole length but the connection closes after N bytes
  once=1      only the first request of the path drops; the later ones are whole
  range=0     the server ignores Range headers and sends the whole file again
  icy=NAME    a radio station NAME broadcasting the file once, without a length: asked for
              ICY metadata, it puts a block after every 8192 bytes, "StreamTitle='First Song';"
              first, "StreamTitle='Second Song';" in the sixth, the others empty; asked again,
              the station is gone (404)
  endless=1   with icy: the station broadcasts the file over and over and never ends (the titles
              come in the first pass only), and is there for every request
  pace=N      the body goes out at N bytes a second, as a radio sends in real time
"""
import http.server
import itertools
import os
import re
import sys
import time
import urllib.parse


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    dropped = set()

    def log_message(self, *args):
        pass

    def send(self, data):
        """Writes data, at the request's pace when it has one."""
        pace = int(self.query.get("pace", "0"))
        if not pace:
            self.wfile.write(data)
            return
        piece = max(pace // 20, 1)
        for at in range(0, len(data), piece):
            self.wfile.write(data[at:at + piece])
            self.wfile.flush()
            time.sleep(piece / pace)

    def send_radio(self, name, data, endless):
        if self.path in Handler.dropped:
            self.send_error(404)
            return
        if not endless:
            Handler.dropped.add(self.path)
        metaint = 8192 if self.headers.get("Icy-MetaData") == "1" else 0
        self.send_response(200)
        self.send_header("Content-Type", "audio/mpeg")
        self.send_header("Connection", "close")
        self.send_header("icy-name", name)
        if metaint:
            self.send_header("icy-metaint", str(metaint))
        self.end_headers()
        self.close_connection = True
        try:
            self.broadcast(data, metaint, endless)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the listener left

    def broadcast(self, data, metaint, endless):
        titles = {0: "First Song", 5: "Second Song"}
        block = 0
        since_block = 0  # audio bytes since the last metadata block
        for _ in itertools.count() if endless else range(1):
            at = 0
            while at < len(data):
                n = len(data) - at if not metaint else min(metaint - since_block, len(data) - at)
                self.send(data[at:at + n])
                at += n
                since_block += n
                # A block goes between audio bytes, never after the last one.
                if metaint and since_block == metaint and (at < len(data) or endless):
                    text = ("StreamTitle='%s';" % titles[block]).encode() if block in titles else b""
                    text += b"\0" * (-len(text) % 16)
                    self.send(bytes([len(text) // 16]) + text)
                    block += 1
                    since_block = 0

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = self.query = dict(urllib.parse.parse_qsl(url.query))
        path = os.path.join(self.server.folder, os.path.basename(urllib.parse.unquote(url.path)))
        if not os.path.isfile(path):
            self.send_error(404)
            return
        with open(path, "rb") as f:
            data = f.read()
        if "icy" in query:
            self.send_radio(query["icy"], data, query.get("endless") == "1")
            return
        start = 0
        match = re.fullmatch(r"bytes=(\d+)-", self.headers.get("Range", ""))
        if match and query.get("range") != "0":
            start = int(match.group(1))
        body = data[start:]
        self.send_response(206 if start else 200)
        self.send_header("Content-Type", "audio/mpeg")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Accept-Ranges", "none" if query.get("range") == "0" else "bytes")
        if start:
            self.send_header("Content-Range", "bytes %d-%d/%d" % (start, len(data) - 1, len(data)))
        self.end_headers()
        drop = int(query.get("drop", "0"))
        if drop and not (query.get("once") == "1" and self.path in Handler.dropped):
            Handler.dropped.add(self.path)
            self.wfile.write(body[:drop])
            self.wfile.flush()
            self.close_connection = True
            return
        try:
            self.send(body)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the listener left


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.folder = sys.argv[1]
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
