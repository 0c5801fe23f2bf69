#pragma once

#include "net/ConnectionTrouble.h"

#include <QDateTime>
#include <QHostAddress>
#include <QString>
#include <QStringList>
#include <optional>

// What one HTTP request found: everything its owner (a page check and the alarm mail's macros,
// or the waiting client) reads of it afterwards.
struct FetchResult {
    // The request, as it went out.
    QString url; // with "/" added where it named no path
    QString host;
    qint32 port = 0;
    QString proxy;
    qint32 proxyPort = 0;
    QHostAddress remoteAddress; // the server (or proxy) connected to; null = none

    // The answer.
    qint16 replyNumber = 0;
    QString header; // the status line and the fields, each with its line end
    QString cookieIn;
    QString location;            // the last Location field's; empty names no place to go
    qint32 bytesTotal = 0;       // Content-Length, saturated; 0 when none
    bool lengthDeclared = false; // the header named the body's length (0 included)
    bool chunked = false;        // the body comes in chunks, and its length counts for nothing
    QDateTime certificateExpiry; // of a TLS server; invalid for plain http
    // How long each phase took; none for one that did not happen (no lookup for an address, no
    // TLS for plain http).
    std::optional<qint64> lookupMs;
    std::optional<qint64> connectMs;
    std::optional<qint64> tlsMs;
    std::optional<qint64> firstByteMs; // from the request sent to the answer's first byte

    // Why the header did not arrive in full; empty when it did.
    QString errorText;
    ConnectionTrouble trouble = ConnectionTrouble::None;
    QString troubleDetail;
    bool invalidHost = false; // the name has no address

    // A DNS probe's answer: the response code ("NOERROR", "NXDOMAIN", "SERVFAIL", ...) and every
    // record of the type asked, each in its presentation form ("10 mail.example.org." for MX).
    QString dnsRcode;
    QStringList dnsAnswers;

    bool answered() const { return errorText.isEmpty(); }
    QString remoteIP() const {
        return remoteAddress.isNull() ? QStringLiteral("0.0.0.0") : remoteAddress.toString();
    }
};
