#!/usr/bin/python3
"""A real SMTP server for the e-mail tests (aiosmtpd), on 127.0.0.1.

smtp_server.py PORT FOLDER [--user U --password P] [--starttls CERT KEY]
                           [--refuse ADDRESS]

Each message received is parsed and kept in FOLDER/N/: message.json (from,
recipients, subject, the body's text and the attachments' names) and each
attachment's bytes under its file name. Prints "ready" once it listens.
"""
import argparse
import email
import email.policy
import json
import os
import signal
import ssl
import sys
import threading

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult


class Keeper:
    def __init__(self, folder, refused):
        self.folder = folder
        self.refused = refused
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in self.refused:
            return "550 5.1.1 <%s>: Recipient address rejected: user unknown" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        where = os.path.join(self.folder, str(self.count))
        os.makedirs(where)
        message = email.message_from_bytes(envelope.original_content, policy=email.policy.default)
        body = message.get_body(preferencelist=("plain",))
        names = []
        for part in message.iter_attachments():
            name = part.get_filename()
            names.append(name)
            with open(os.path.join(where, name), "wb") as f:
                f.write(part.get_payload(decode=True))
        kept = {"from": envelope.mail_from, "recipients": envelope.rcpt_tos,
                "subject": str(message["subject"]), "to": str(message["to"]),
                "body": body.get_content() if body else "", "attachments": names}
        with open(os.path.join(where, "message.json"), "w", encoding="utf-8") as f:
            json.dump(kept, f, ensure_ascii=False)
        return "250 Message accepted for delivery"


def main():
    p = argparse.ArgumentParser()
    p.add_argument("port", type=int)
    p.add_argument("folder")
    p.add_argument("--user")
    p.add_argument("--password")
    p.add_argument("--starttls", nargs=2, metavar=("CERT", "KEY"))
    p.add_argument("--refuse", action="append", default=[])
    a = p.parse_args()
    options = {}
    if a.user:
        def authenticator(server, session, envelope, mechanism, auth_data):
            ok = auth_data.login == a.user.encode() and auth_data.password == a.password.encode()
            return AuthResult(success=ok, handled=False)
        options.update(authenticator=authenticator, auth_required=True, auth_require_tls=bool(a.starttls))
    if a.starttls:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(*a.starttls)
        options.update(tls_context=context, require_starttls=True)
    controller = Controller(Keeper(a.folder, a.refuse), hostname="127.0.0.1", port=a.port,
                            server_hostname="127.0.0.1", **options)
    controller.start()
    print("ready", flush=True)
    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    stop.wait()
    controller.stop()


if __name__ == "__main__":
    sys.exit(main())
