"""A folder served on 127.0.0.1 as an ordinary static web server serves it, with the headers a
test chooses, and chosen answers for chosen paths: an error status (404, 410) or a redirect.

    with WebServer(folder, headers={"Cache-Control": "max-age=3600"}) as server:
        server.answers["/"] = 404                     # or (301, "http://elsewhere/")
        server.types["/converter.js"] = "text/plain"  # the Content-Type for one path
        server.folder = other_folder                  # a new deployment, same address

A header given as None is not sent (Last-Modified, which the server sends by default)."""
import http.server
import threading
import urllib.parse

DEFAULT_HEADERS = ("content-type", "content-length", "last-modified")


class _Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, request, client_address, server):
        super().__init__(request, client_address, server, directory=str(server.owner.folder))

    def log_message(self, *args):
        pass

    def _path(self):
        return urllib.parse.urlsplit(self.path).path

    def do_GET(self):
        answer = self.server.owner.answers.get(self._path())
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
        owner, name = self.server.owner, keyword.lower()
        chosen = {key.lower(): value for key, value in owner.headers.items()}
        if name == "content-type" and self._path() in owner.types:
            value = owner.types[self._path()]
        elif name in chosen:
            value = chosen[name]
        if value is not None:
            super().send_header(keyword, value)

    def end_headers(self):
        for name, value in self.server.owner.headers.items():
            if name.lower() not in DEFAULT_HEADERS and value is not None:
                super().send_header(name, value)
        super().end_headers()


class WebServer:
    def __init__(self, folder, headers=None):
        self.folder = folder
        self.headers = dict(headers or {})
        self.answers = {}
        self.types = {}
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), _Handler)
        self.httpd.owner = self
        self.httpd.handle_error = lambda *args: None  # a browser that hangs up mid-answer
        self.url = f"http://127.0.0.1:{self.httpd.server_port}/"
        threading.Thread(target=self.httpd.serve_forever, daemon=True).start()

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()
