#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

// What a check found, as conditions read it. Every value may be missing: a DNS probe has no
// status, a page without TLS no certificate.
struct CheckFacts {
    std::optional<int> status;              // [STATUS]
    std::optional<qint64> responseTimeMs;   // [RESPONSE_TIME]
    bool connected = false;                 // [CONNECTED]
    QString ip;                             // [IP]; empty: missing
    std::optional<qint64> certificateHours; // [CERTIFICATE_EXPIRATION], hours left
    QString header;                         // [HEADER].Name: the status line and fields as received
    std::optional<QByteArray> body;         // [BODY], [BODY].a.b[0].c
    QString dnsRcode;                       // [DNS_RCODE]; empty: missing
    std::optional<QStringList> dnsAnswers;  // [ANSWERS]
};
