#pragma once

#include <QString>
#include <QStringList>

// What one page asks of its check beyond the HEAD request every page gets. The texts are kept as
// the user wrote them and checked when they are entered.
struct PageOptions {
    bool get = false; // GET instead of HEAD
    QString mustContain;
    QString mustNotContain;
    bool regularExpression = false; // the two texts are patterns
    bool matchCase = true;
    QString user;            // empty: the user named in the address, if any
    QString password;        // kept in the secret store, never in the settings file
    bool plainLogin = false; // the login may go over plain http
    QStringList headers;     // "Name: value" lines
    QString acceptedCodes;   // empty: every answer below 400
    QString timeOut;         // seconds; empty: the Connection tab's
    QString slowAfter;
    QString dependsOn; // the address of the page this one sits behind; empty: none
    // A tcp page's text to send once connected, and the text (or pattern, with
    // regularExpression) its first reply must hold.
    QString send;
    QString expect;
    // Conditions that must all hold, one a line: "[STATUS] == 200", "[BODY].status == UP".
    QStringList conditions;

    bool contentCheck() const { return !mustContain.isEmpty() || !mustNotContain.isEmpty(); }
    bool operator==(const PageOptions&) const = default;
};
