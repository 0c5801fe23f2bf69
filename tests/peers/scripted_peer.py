#!/usr/bin/env python3
"""A test server that records the raw bytes clients send and misbehaves on demand.

Usage: scripted_peer.py SCRIPT.json. Prints "READY <port>" (a free 127.0.0.1 port), then
"REQ <base64>" for each request (http) or connection (raw, smtp). Script, texts in Latin-1:
  {"mode": "http", "routes": {"/path" or "*": {"send": text ("{PORT}" = our port), "delay": s,
      "sequence": [texts sent instead of "send" to the route's requests in turn, the last one again],
      "pad": n header bytes after the status line (lines of 1000 bytes, or "pad_line" over and over),
      "flood": text sent over and over after the answer until the client goes ("every": s apart), "after": "hang", "silent": true,
      "head": text sent instead of "send" to a HEAD request, "together": n -- answers only once
      n requests of such routes are open at once, and closes without a word when they never are}}}
  {"mode": "raw", "greeting": text, "replies": [one per line received], "close": true}
  {"mode": "smtp", "greeting": text (may be several lines; "" = none), "answers": {command: reply},
      "silent": command}  -- a mail server: answers each command line by the table, looked up by
      the whole line ("RCPT TO:<x@y>"), else by its first word ("RCPT"; "." ends the data),
      else 354 for DATA, 221 for QUIT, 250 for the rest; after a 3xx answer to DATA it takes
      lines up to "." and answers that. From the "silent" command on it answers nothing more.
      A reply without its line end gets CR LF. "flood": text sent over and over after the greeting.
      "upgrade": command -- after answering it, the connection turns to TLS ("tls" is then not
      spoken from the first byte); a greeting peer for IMAP or POP3 with STARTTLS or STLS.
  {"mode": "backlog"}  -- the listen queue is full, so connects never complete
  {"mode": "dns", "rcode": n}  -- UDP: answers every query with no record and that code, or never
Any mode but backlog also takes "host": the address to listen on ("::1"; default 127.0.0.1), and
"tls": {"certificate": PEM file, "key": PEM file} to speak TLS on every connection.
"""
import base64, json, socket, ssl, struct, sys, threading, time

out_lock = threading.Lock()
PORT = 0  # our own port, for replies that name it as "{PORT}"


def say(line):
    with out_lock:
        sys.stdout.write(line + "\n")
        sys.stdout.flush()


def record(data):
    say("REQ " + base64.b64encode(data).decode())


def flood(conn, text, every=0):
    """Sends the text over and over until the client goes, every so many seconds if asked."""
    block = text.encode("latin-1") * (1 if every else 65536 // len(text) + 1)
    try:
        while True:
            time.sleep(every)
            conn.sendall(block)
    except OSError:
        pass


def wait_for_close(conn):
    try:
        while conn.recv(65536):
            pass
    except OSError:
        pass


barriers = {}
barriers_lock = threading.Lock()


def met(route):
    """Whether the route's company arrived: it needs "together" requests open at once."""
    parties = route.get("together")
    if not parties:
        return True
    with barriers_lock:
        barrier = barriers.setdefault(parties, threading.Barrier(parties))
    try:
        barrier.wait(timeout=30)
        return True
    except threading.BrokenBarrierError:
        return False


def target_path(request):
    words = request.split(b"\r\n", 1)[0].split(b" ")
    target = words[1].decode("latin-1") if len(words) > 1 else "/"
    if "://" in target:  # the proxy form carries the whole URL
        rest = target.split("://", 1)[1]
        target = "/" + rest.split("/", 1)[1] if "/" in rest else "/"
    return target


sequence_counts = {}
sequence_lock = threading.Lock()


def content_length(head):
    for line in head.split(b"\r\n")[1:]:
        name, _, value = line.partition(b":")
        if name.strip().lower() == b"content-length":
            return int(value.strip() or 0)
    return 0


def serve_http(conn, routes):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = conn.recv(65536)
        if not chunk:
            break
        data += chunk
    head_end = data.find(b"\r\n\r\n") + 4
    while head_end >= 4 and len(data) - head_end < content_length(data[:head_end]):
        chunk = conn.recv(65536)
        if not chunk:
            break
        data += chunk
    record(data)
    path = target_path(data)
    route = routes.get(path, routes.get("*", {}))
    if "sequence" in route:
        with sequence_lock:
            turn = sequence_counts.get(path, 0)
            sequence_counts[path] = turn + 1
        route = dict(route, send=route["sequence"][min(turn, len(route["sequence"]) - 1)])
    if route.get("silent"):
        return wait_for_close(conn)
    if not met(route):
        return
    time.sleep(route.get("delay", 0))
    reply = route.get("send", "HTTP/1.0 200 OK\r\n\r\n")
    if data.startswith(b"HEAD ") and "head" in route:
        reply = route["head"]
    reply = reply.replace("{PORT}", str(PORT))
    reply = reply.encode("latin-1")
    pad = route.get("pad", 0)
    if pad:
        status_end = reply.index(b"\r\n") + 2
        line = route.get("pad_line", "X-Pad: " + "a" * 1000 + "\r\n").encode("latin-1")
        reply = reply[:status_end] + line * (pad // len(line) + 1) + reply[status_end:]
    conn.sendall(reply)
    if "flood" in route:
        flood(conn, route["flood"], route.get("every", 0))
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


SMTP_DEFAULTS = {"DATA": "354 end with <CRLF>.<CRLF>", "QUIT": "221 bye"}


def smtp_key(table, command):
    """The entry of the table for a command line: by the whole line, else by its first word."""
    if command in table:
        return command
    word = command.split(" ", 1)[0].split(":", 1)[0].upper()
    return word if word in table else None


def smtp_reply(answers, command):
    key = smtp_key(answers, command)
    if key is not None:
        reply = answers[key]
    else:
        word = command.split(" ", 1)[0].upper()
        reply = SMTP_DEFAULTS.get(word, "250 OK")
    return reply if reply.endswith("\n") else reply + "\r\n"


def serve_smtp(conn, config, tls):
    received, pending = b"", b""
    answers = config.get("answers", {})
    silent = {config["silent"]: True} if "silent" in config else {}
    in_data = quiet = False
    conn.sendall(config.get("greeting", "220 scripted peer ready\r\n").encode("latin-1"))
    if "flood" in config:
        return flood(conn, config["flood"], config.get("every", 0))
    try:
        while True:
            chunk = conn.recv(65536)
            if not chunk:
                break
            received += chunk
            pending += chunk
            while b"\n" in pending:
                line, pending = pending.split(b"\n", 1)
                if in_data and line != b".\r":
                    continue
                in_data = False
                command = line.rstrip(b"\r").decode("latin-1")
                quiet = quiet or smtp_key(silent, command) is not None
                if quiet:
                    continue
                reply = smtp_reply(answers, command)
                conn.sendall(reply.encode("latin-1"))
                in_data = command.upper() == "DATA" and reply.startswith("3")
                if command == config.get("upgrade"):
                    conn = tls.wrap_socket(conn, server_side=True)
    finally:
        # A client that drops the connection (after its goodbye) is recorded too.
        record(received)


def handle(conn, config, tls):
    try:
        if tls and "upgrade" not in config:
            conn = tls.wrap_socket(conn, server_side=True)
        if config["mode"] == "http":
            serve_http(conn, config.get("routes", {}))
        elif config["mode"] == "smtp":
            serve_smtp(conn, config, tls)
        else:
            serve_raw(conn, config)
    except OSError:
        pass
    finally:
        conn.close()


def serve_dns(config, host):
    server = socket.socket(socket.AF_INET6 if ":" in host else socket.AF_INET, socket.SOCK_DGRAM)
    server.bind((host, 0))
    say("READY %d" % server.getsockname()[1])
    while True:
        query, client = server.recvfrom(4096)
        record(query)
        if "rcode" in config:
            flags = (0x80 | (query[2] & 0x79)) << 8 | 0x80 | config["rcode"]
            server.sendto(query[:2] + struct.pack(">5H", flags, 1, 0, 0, 0) + query[12:], client)


def main():
    with open(sys.argv[1]) as f:
        config = json.load(f)
    host = config.get("host", "127.0.0.1")
    if config["mode"] == "dns":
        return serve_dns(config, host)
    server = socket.socket(socket.AF_INET6 if ":" in host else socket.AF_INET)
    server.bind((host, 0))
    tls = None
    if "tls" in config:
        tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        tls.load_cert_chain(config["tls"]["certificate"], config["tls"]["key"])
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
        threading.Thread(target=handle, args=(conn, config, tls), daemon=True).start()


if __name__ == "__main__":
    main()
