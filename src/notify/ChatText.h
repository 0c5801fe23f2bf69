#pragma once

#include "notify/ChatAlarm.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// How the text of an alarm message is written for the chat and push services: JSON in the order a
// service documents, each service's escapes, and the page lines cut to what a service shows.
namespace ChatText {

QByteArray jsonString(const QString& text);

// " (and 3 pages that depend on it)": what a page's alarm says of the pages held behind it.
QString heldBehind(int held);

// A key with its value, the value already written as JSON.
using Member = std::pair<QByteArray, QByteArray>;
QByteArray jsonObject(const QList<Member>& members);

// Each service's way of showing a text as it is.
using Escape = QString (*)(const QString&);
QString plain(const QString& text);
QString ampLtGt(const QString& text);
QString html(const QString& text);
QString discordText(const QString& text);
QString markdownText(const QString& text);
QString codeSpan(const QString& text);

// One line a page, its status, outcome, address and error escaped for the service.
QStringList pageLines(const QList<ChatAlarm>& alarms, Escape text, Escape address);

// How many lines fit within limit bytes of UTF-8 after the fixed part, each behind a separator,
// together with the note of how many were left out.
qsizetype fittingCount(const QString& fixed, const QStringList& lines, const QString& separator,
                       qsizetype limit);
// The first count lines and the note of how many were left out.
QStringList firstLines(const QStringList& lines, qsizetype count);

// The lines that fit within limit bytes of UTF-8 after the fixed part, each behind a separator,
// and a note of how many were left out.
QStringList fitted(const QString& fixed, const QStringList& lines, const QString& separator, qsizetype limit);

} // namespace ChatText
