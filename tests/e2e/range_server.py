#!/usr/bin/env python3
"""A static-file web server on 127.0.0.1 for the end-to-end download tests.

Answers HTTP/1.1 GET and HEAD for files below --root, with single byte ranges
("Range: bytes=START-" or "bytes=START-END") answered by 206 Partial Content, which is what
wget -c needs to continue a partial file. It picks a free port itself and, once it listens,
writes "PORT PID" to --ready (via a rename, so a reader never sees half a line). Each request
line and its Range header go to --log. It ends by itself after --timeout seconds, so a test
that dies cannot leave it behind for long.

With --routes FILE, paths listed there get a fixed answer instead of a file, one per line:
"PATH 301 TARGET" (a redirect), "PATH 200 html" (a small web page), "PATH 200 endless" (text
without end), "PATH STATUS" (an empty answer with that status, such as 404 or 503).
"""
import argparse
import http.server
import os
import re
import threading
import urllib.parse


def read_routes(path):
    routes = {}
    if path:
        with open(path, encoding="utf-8") as lines:
            for line in lines:
                words = line.split()
                if len(words) >= 2:
                    routes[words[0]] = (int(words[1]), words[2] if len(words) > 2 else "")
    return routes


def make_handler(root, log_path, routes=None):
    routes = routes or {}

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def do_GET(self):
            self.answer(with_body=True)

        def do_HEAD(self):
            self.answer(with_body=False)

        def reply_empty(self, status, headers=()):
            self.send_response(status)
            for name, value in headers:
                self.send_header(name, value)
            self.send_header("Content-Length", "0")
            self.end_headers()

        def answer(self, with_body):
            ranged = self.headers.get("Range")
            with open(log_path, "a", encoding="utf-8") as log:
                log.write(f"{self.command} {self.path} Range: {ranged or '-'}\n")

            route = routes.get(urllib.parse.urlsplit(self.path).path)
            if route:
                self.answer_route(*route, with_body=with_body)
                return

            relative = urllib.parse.unquote(urllib.parse.urlsplit(self.path).path).lstrip("/")
            path = os.path.realpath(os.path.join(root, relative))
            if not path.startswith(root + os.sep) or not os.path.isfile(path):
                self.reply_empty(404)
                return

            size = os.path.getsize(path)
            start, end, status = 0, size - 1, 200
            if ranged:
                match = re.fullmatch(r"bytes=(\d+)-(\d*)", ranged.strip())
                if not match:
                    self.reply_empty(416, [("Content-Range", f"bytes */{size}")])
                    return
                start = int(match.group(1))
                if match.group(2):
                    end = min(int(match.group(2)), size - 1)
                if start >= size or start > end:
                    self.reply_empty(416, [("Content-Range", f"bytes */{size}")])
                    return
                status = 206

            length = end - start + 1
            self.send_response(status)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Accept-Ranges", "bytes")
            self.send_header("Content-Length", str(length))
            if status == 206:
                self.send_header("Content-Range", f"bytes {start}-{end}/{size}")
            self.end_headers()
            if not with_body:
                return
            with open(path, "rb") as source:
                source.seek(start)
                left = length
                while left > 0:
                    chunk = source.read(min(65536, left))
                    if not chunk:
                        break
                    self.wfile.write(chunk)
                    left -= len(chunk)

        def answer_route(self, status, word, with_body):
            if 300 <= status < 400:
                self.reply_empty(status, [("Location", word)])
            elif word == "html":
                page = b"<!DOCTYPE html>\n<html><body>Download page</body></html>\n"
                self.send_response(status)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                self.send_header("Content-Length", str(len(page)))
                self.end_headers()
                if with_body:
                    self.wfile.write(page)
            elif word == "endless":
                # A list without end: lines until the client goes away.
                self.send_response(status)
                self.send_header("Content-Type", "text/plain")
                self.end_headers()
                if not with_body:
                    return
                line = b"0" * 64 + b"  other.iso\n"
                try:
                    while True:
                        self.wfile.write(line * 512)
                except (BrokenPipeError, ConnectionResetError):
                    pass
            else:
                self.reply_empty(status)

    return Handler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--ready", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--timeout", type=float, default=120.0)
    parser.add_argument("--routes", default="")
    args = parser.parse_args()

    root = os.path.realpath(args.root)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), make_handler(root, args.log, read_routes(args.routes)))
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()

    temp = args.ready + ".tmp"
    with open(temp, "w", encoding="ascii") as ready:
        ready.write(f"{server.server_address[1]} {os.getpid()}\n")
    os.replace(temp, args.ready)

    threading.Event().wait(args.timeout)
    server.shutdown()


if __name__ == "__main__":
    main()
