#pragma once

#include <QString>

// Where a stream probe connects and what it says there, taken from its address:
// tcp://HOST:PORT, tls://HOST:PORT, smtps://HOST[:465], imaps://HOST[:993], pop3s://HOST[:995],
// smtp://HOST[:25], imap://HOST[:143], pop3://HOST[:110].
struct StreamAddress {
    enum class Dialect { None, Smtp, Imap, Pop3 };
    enum class Tls { None, First, Upgrade }; // Upgrade: STARTTLS (STLS for POP3) after the greeting

    Dialect dialect = Dialect::None;
    Tls tls = Tls::None;
    QString host; // an IPv6 address keeps its brackets, as a page's host does
    qint32 port = 0;

    // Whether the scheme is a stream probe's.
    static bool handles(const QString& url);
    // Raises std::invalid_argument naming what is wrong: an unknown scheme, no host, no port
    // where the scheme has no usual one, a port that is not 1 to 65535, a login or a path.
    static StreamAddress parse(const QString& url);
};
