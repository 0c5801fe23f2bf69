#!/usr/bin/python3
"""A real mail server (aiosmtpd) that keeps nothing but tells what it received.

Usage: /usr/bin/python3 smtp_sink.py [--certificate PEM --key PEM [--implicit]] [--login USER:PASSWORD]
Listens on a free 127.0.0.1 port and prints "READY <port>", then for every mail accepted one line
"MAIL <json>" with "from" (the MAIL FROM address), "to" (the RCPT TO addresses in order) and
"data" (base64 of the message text), and "LOGIN <user>" for every login it accepted.
With a certificate it offers STARTTLS and requires it, or with --implicit speaks TLS from the
first byte. With --login it requires that login (only over TLS); without, it offers no login.
"""
import argparse, asyncio, base64, json, ssl

from aiosmtpd.smtp import SMTP, AuthResult


class Sink:
    async def handle_DATA(self, server, session, envelope):
        # original_content is the text as it came, before any decoding; like content, it has
        # the client's dot-stuffing already removed.
        data = envelope.original_content or envelope.content
        mail = {"from": envelope.mail_from, "to": envelope.rcpt_tos, "data": base64.b64encode(data).decode()}
        print("MAIL " + json.dumps(mail), flush=True)
        return "250 OK"


def authenticator(expected):
    def check(server, session, envelope, mechanism, auth_data):
        user, password = auth_data.login.decode(), auth_data.password.decode()
        if (user, password) != expected:
            return AuthResult(success=False, handled=False)
        print("LOGIN " + user, flush=True)
        return AuthResult(success=True)
    return check


async def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--certificate")
    parser.add_argument("--key")
    parser.add_argument("--implicit", action="store_true")
    parser.add_argument("--login")
    options = parser.parse_args()
    context = None
    if options.certificate:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(options.certificate, options.key)
    settings = {"hostname": "sink.invalid"}  # the default name would ask the resolver about this machine
    if context and not options.implicit:
        settings.update(tls_context=context, require_starttls=True)
    if options.login:
        # Over implicit TLS aiosmtpd does not know the connection is encrypted.
        settings.update(authenticator=authenticator(tuple(options.login.split(":", 1))), auth_required=True,
                        auth_require_tls=not options.implicit)
    else:
        settings.update(auth_exclude_mechanism=["LOGIN", "PLAIN"])
    loop = asyncio.get_running_loop()
    server = await loop.create_server(lambda: SMTP(Sink(), **settings), "127.0.0.1", 0,
                                      ssl=context if options.implicit else None)
    print("READY %d" % server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()


if __name__ == "__main__":
    asyncio.run(main())
