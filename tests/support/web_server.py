#!/usr/bin/python3
"""The page's folder served on 127.0.0.1, the one web server of the project: the page's tests and
measurements start one in the background with serve(), scripts/run-web.sh runs it in the
foreground. Usage: web_server.py FOLDER [PORT]   (8080 unless given)"""
import functools
import http.server
import sys
import threading


class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):  # the tests print what they check, not every request
        pass


class Server(http.server.ThreadingHTTPServer):
    def handle_error(self, *args):  # a reload cuts off the previous page's requests
        pass

    def stop(self):
        self.shutdown()
        self.server_close()


def serve(folder, port=0):
    """Serves FOLDER on 127.0.0.1:PORT (a free port for 0) from a background thread. Returns the
    server: its url is the page's address, stop() ends it."""
    server = Server(("127.0.0.1", port), functools.partial(Handler, directory=str(folder)))
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
