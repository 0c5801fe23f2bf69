#!/usr/bin/env python3
"""A test server that records the raw bytes clients send and misbehaves on demand.

Usage: scripted_peer.py SCRIPT.json. Prints "READY <port>" (a free 127.0.0.1 port), then
"REQ <base64>" for each request (http) or connection (raw). Script, texts in Latin-1:
  {"mode": "http", "routes": {"/path" or "*": {"send": text ("{PORT}" = our port), "delay": s,
      "pad": n header bytes after the status line, "after": "hang", "silent": true}}}
  {"mode": "raw", "greeting": text, "replies": [one per line received], "close": true}
  {"mode": "backlog"}  -- the listen queue is full, so connects never complete
"""
import base64, json, socket, sys, threading, time

out_lock = threading.Lock()
PORT = 0  # our own port, for replies that name it as "{PORT}"


def say(line):
    with out_lock:
        sys.stdout.write(line + "\n")
        sys.stdout.flush()


def record(data):
    say("REQ " + base64.b64encode(data).decode())


def wait_for_close(conn):
    try:
        while conn.recv(65536):
            pass
    except OSError:
        pass


def target_path(request):
    words = request.split(b"\r\n", 1)[0].split(b" ")
    target = words[1].decode("latin-1") if len(words) > 1 else "/"
    if "://" in target:  # the proxy form carries the whole URL
        rest = target.split("://", 1)[1]
        target = "/" + rest.split("/", 1)[1] if "/" in rest else "/"
    return target


def serve_http(conn, routes):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = conn.recv(65536)
        if not chunk:
            break
        data += chunk
    record(data)
    route = routes.get(target_path(data), routes.get("*", {}))
    if route.get("silent"):
        return wait_for_close(conn)
    time.sleep(route.get("delay", 0))
    reply = route.get("send", "HTTP/1.0 200 OK\r\n\r\n").replace("{PORT}", str(PORT))
    reply = reply.encode("latin-1")
    pad = route.get("pad", 0)
    if pad:
        status_end = reply.index(b"\r\n") + 2
        line = b"X-Pad: " + b"a" * 1000 + b"\r\n"
        reply = reply[:status_end] + line * (pad // len(line) + 1) + reply[status_end:]
    conn.sendall(reply)
    if route.get("after") == "hang":
        wait_for_close(conn)


def serve_raw(conn, config):
    received = b""
    conn.sendall(config.get("greeting", "").encode("latin-1"))
    replies, answered = config.get("replies", []), 0
    while not config.get("close"):
        chunk = conn.recv(65536)
        if not chunk:
            break
        received += chunk
        while answered < len(replies) and received.count(b"\n") > answered:
            conn.sendall(replies[answered].encode("latin-1"))
            answered += 1
    record(received)


def handle(conn, config):
    with conn:
        try:
            if config["mode"] == "http":
                serve_http(conn, config.get("routes", {}))
            else:
                serve_raw(conn, config)
        except OSError:
            pass


def main():
    with open(sys.argv[1]) as f:
        config = json.load(f)
    server = socket.socket()
    server.bind(("127.0.0.1", 0))
    if config["mode"] == "backlog":
        server.listen(0)
        filler = socket.create_connection(server.getsockname())  # fills the queue, never accepted
        say("READY %d" % server.getsockname()[1])
        return time.sleep(3600)
    server.listen(64)
    global PORT
    PORT = server.getsockname()[1]
    say("READY %d" % server.getsockname()[1])
    while True:
        conn, _ = server.accept()
        threading.Thread(target=handle, args=(conn, config), daemon=True).start()


if __name__ == "__main__":
    main()
