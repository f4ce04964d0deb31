#!/usr/bin/python3
"""The page's folder served on 127.0.0.1, the one web server of the project: the page's tests and
measurements start one in the background with serve(), scripts/run-web.sh runs it in the
foreground. Usage: web_server.py FOLDER [PORT]   (8080 unless given)

Tests serve it as different servers would: with the headers they choose (a header given as None
is not sent, as Last-Modified, which this server sends by default), an error status (404, 410)
or a redirect for chosen paths, another Content-Type for a path, another folder from now on:

    with serve(folder, headers={"Cache-Control": "max-age=3600"}) as server:
        server.answers["/"] = 404                     # or (301, "http://elsewhere/")
        server.types["/converter.js"] = "text/plain"
        server.folder = new_build"""
import http.server
import sys
import threading
import urllib.parse

SENT_ANYWAY = ("content-type", "content-length", "last-modified")


class Handler(http.server.SimpleHTTPRequestHandler):
    def translate_path(self, path):
        # The folder as it is when the request comes: a browser opens connections ahead and may
        # send a request on one opened before the folder changed.
        self.directory = str(self.server.folder)
        return super().translate_path(path)

    def log_message(self, *args):  # the tests print what they check, not every request
        pass

    def _path(self):
        return urllib.parse.urlsplit(self.path).path

    def do_GET(self):
        answer = self.server.answers.get(self._path())
        if answer is None:
            return super().do_GET()
        status, location = answer if isinstance(answer, tuple) else (answer, None)
        body = f"<!doctype html><title>{status}</title><p>{status}</p>".encode()
        self.send_response(status)
        if location:
            self.send_header("Location", location)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_header(self, keyword, value):
        name = keyword.lower()
        chosen = {key.lower(): value for key, value in self.server.headers.items()}
        if name == "content-type" and self._path() in self.server.types:
            value = self.server.types[self._path()]
        elif name in chosen:
            value = chosen[name]
        if value is not None:
            super().send_header(keyword, value)

    def end_headers(self):
        for name, value in self.server.headers.items():
            if name.lower() not in SENT_ANYWAY and value is not None:
                super().send_header(name, value)
        super().end_headers()


class Server(http.server.ThreadingHTTPServer):
    # A worker fetches a build's files all at once; on a busy machine five waiting connections,
    # the default, may not be enough.
    request_queue_size = 64

    def handle_error(self, *args):  # a reload cuts off the previous page's requests
        pass

    def stop(self):
        self.shutdown()
        self.server_close()

    def __exit__(self, *exc):
        self.stop()


def serve(folder, port=0, headers=None):
    """Serves FOLDER on 127.0.0.1:PORT (a free port for 0) from a background thread. Returns the
    server: its url is the page's address, stop() ends it."""
    server = Server(("127.0.0.1", port), Handler)
    server.folder, server.headers, server.answers, server.types = folder, dict(headers or {}), {}, {}
    server.url = f"http://127.0.0.1:{server.server_port}/"
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


if __name__ == "__main__":
    if not 2 <= len(sys.argv) <= 3:
        sys.exit(__doc__)
    server = serve(sys.argv[1], int(sys.argv[2]) if len(sys.argv) == 3 else 8080)
    print(f"serving {sys.argv[1]} on {server.url} (Ctrl+C ends)", flush=True)
    try:
        threading.Event().wait()
    except KeyboardInterrupt:
        server.stop()
