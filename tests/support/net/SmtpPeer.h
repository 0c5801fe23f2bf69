#pragma once

#include "support/net/PeerProcess.h"

#include <QStringList>

// A real mail server, aiosmtpd (tests/peers/smtp_sink.py), that accepts every mail and reports
// what it received.
class SmtpPeer : public PeerProcess {
public:
    struct Mail {
        QString from;
        QStringList to;
        QByteArray data; // the message text as the server took it, dot-stuffing removed
    };

    // Options of tests/peers/smtp_sink.py: TLS with a certificate, a login to require.
    bool start(const QStringList& options = {});
    // The mails accepted so far, in arrival order.
    QList<Mail> mails();
    // The user names of the logins accepted so far.
    QStringList logins();

private:
    void collect();

    QList<Mail> mails_;
    QStringList logins_;
};
