"""A small HTTP server for the end-to-end tests, run inside a private network on port 80:
  web_server.py ROUTES.json LOG [PORT [CERT KEY]]   (with CERT and KEY it speaks HTTPS)
ROUTES maps a path with its query ("/ad/201072846_1.html") to {"body": text, "type": ...,
"status": 200, "hang": false} (or "base64" for bytes); other paths get 404. Every request is appended to LOG as
"METHOD Host PATH" as soon as it arrives. A "hang" route reads the request and never answers
(for at most a minute). "chunked" sends the body without a length, "endless" again for a minute,
"trickle": S byte by byte over S seconds; a hang-up logs "DROP PATH SECONDS", a refused
handshake "REFUSED handshake"."""

import base64
import json
import ssl
import sys
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


def main():
    routes_file, log_file = sys.argv[1], sys.argv[2]
    port = int(sys.argv[3]) if len(sys.argv) > 3 else 80

    def log(line):
        with open(log_file, "a", encoding="utf-8") as out:
            out.write(line + "\n")

    class Handler(BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def do_GET(self):
            log(f"GET {self.headers.get('Host', '')} {self.path}")
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
            self.send_header("Connection", "close")
            if route.get("chunked"):
                self.send_header("Transfer-Encoding", "chunked")
                body = f"{len(body):x}\r\n".encode() + body + b"\r\n"
            elif not route.get("endless"):
                self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            started = time.monotonic()
            try:
                pieces = [body[i:i + 1] for i in range(len(body))] if "trickle" in route else [body]
                for piece in pieces:
                    self.wfile.write(piece)
                    time.sleep(route.get("trickle", 0) / len(pieces))
                while route.get("endless") and time.monotonic() - started < 60:
                    self.wfile.write(body)
                if route.get("chunked"):
                    self.wfile.write(b"0\r\n\r\n")
            except OSError:  # hung up, reset, or a TLS close
                log(f"DROP {self.path} {time.monotonic() - started:.2f}")

        def log_message(self, *args):
            pass

    class Server(ThreadingHTTPServer):
        def finish_request(self, request, client_address):
            if len(sys.argv) > 5:
                tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
                tls.load_cert_chain(sys.argv[4], sys.argv[5])
                try:  # in the request's own thread: a client that never finishes stops no other
                    request = tls.wrap_socket(request, server_side=True)
                except OSError:
                    return log("REFUSED handshake")
            super().finish_request(request, client_address)

    Server.daemon_threads = True
    server = Server(("127.0.0.1", port), Handler)
    open(log_file, "a", encoding="utf-8").close()  # the log appears once requests can come
    server.serve_forever()


if __name__ == "__main__":
    main()
