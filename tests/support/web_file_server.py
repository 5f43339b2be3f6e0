#!/usr/bin/env python3
"""Serves the files of one folder over HTTP on 127.0.0.1 for dar3play's tests, and prints its port.

The query string makes a reply misbehave:
  drop=N      the reply announces the whole length but the connection closes after N bytes
  once=1      only the first request of the path drops; the later ones are whole
  range=0     the server ignores Range headers and sends the whole file again
"""
import http.server
import os
import re
import sys
import urllib.parse


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    dropped = set()

    def log_message(self, *args):
        pass

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = dict(urllib.parse.parse_qsl(url.query))
        path = os.path.join(self.server.folder, os.path.basename(urllib.parse.unquote(url.path)))
        if not os.path.isfile(path):
            self.send_error(404)
            return
        with open(path, "rb") as f:
            data = f.read()
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
        self.wfile.write(body)


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.folder = sys.argv[1]
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
