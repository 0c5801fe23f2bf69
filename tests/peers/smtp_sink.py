#!/usr/bin/python3
"""A real mail server (aiosmtpd) that keeps nothing but tells what it received.

Usage: /usr/bin/python3 smtp_sink.py. Listens on a free 127.0.0.1 port and prints
"READY <port>", then for every mail accepted one line "MAIL <json>" with "from" (the MAIL FROM
address), "to" (the RCPT TO addresses in order) and "data" (base64 of the message text).
"""
import asyncio, base64, json, sys

from aiosmtpd.smtp import SMTP


class Sink:
    async def handle_DATA(self, server, session, envelope):
        # original_content is the text as it came, before any decoding; like content, it has
        # the client's dot-stuffing already removed.
        data = envelope.original_content or envelope.content
        mail = {"from": envelope.mail_from, "to": envelope.rcpt_tos, "data": base64.b64encode(data).decode()}
        print("MAIL " + json.dumps(mail), flush=True)
        return "250 OK"


async def main():
    loop = asyncio.get_running_loop()
    # A fixed host name: the default one would ask the resolver about this machine.
    server = await loop.create_server(lambda: SMTP(Sink(), hostname="sink.invalid"), "127.0.0.1", 0)
    print("READY %d" % server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(main())
