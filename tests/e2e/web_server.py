"""A small HTTP server for the end-to-end tests, run inside a private network on port 80:
  web_server.py ROUTES.json LOG [PORT]
ROUTES maps a path with its query ("/ad/201072846_1.html") to {"body": text, "type": ...,
"status": 200, "hang": false} (or "base64" for bytes); other paths get 404. Every request is appended to LOG as
"METHOD Host PATH" as soon as it arrives. A "hang" route reads the request and never answers
(for at most a minute)."""

import base64
import json
import sys
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


def main():
    routes_file, log_file = sys.argv[1], sys.argv[2]
    port = int(sys.argv[3]) if len(sys.argv) > 3 else 80

    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.0"

        def do_GET(self):
            with open(log_file, "a", encoding="utf-8") as log:
                log.write(f"GET {self.headers.get('Host', '')} {self.path}\n")
            with open(routes_file, encoding="utf-8") as f:
                routes = json.load(f)
            route = routes.get(self.path)
            if route is None:
                self.send_error(404)
                return
            if route.get("hang"):
                time.sleep(60)
                return
            if "base64" in route:
                body = base64.b64decode(route["base64"])
            else:
                body = route.get("body", "").encode(route.get("encoding", "utf-8"))
            self.send_response(route.get("status", 200))
            self.send_header("Content-Type", route.get("type", "text/html; charset=utf-8"))
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    ThreadingHTTPServer.daemon_threads = True
    server = ThreadingHTTPServer(("127.0.0.1", port), Handler)
    open(log_file, "a", encoding="utf-8").close()  # the log appears once requests can come
    server.serve_forever()


if __name__ == "__main__":
    main()
