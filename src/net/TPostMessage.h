#pragma once

#include <QString>
#include <QStringList>

// The message the mail client delivers: sender, recipients, header texts, body and attachments.
class TPostMessage {
public:
    QString FromAddress;
    QString FromName;
    QStringList ToAddress;
    QStringList ToCarbonCopy;
    QStringList ToBlindCarbonCopy; // get a "RCPT TO" but appear in no header line
    QStringList Body;              // one entry per line; an entry may hold line breaks itself
    QStringList Attachments;       // paths of files to attach
    QString Subject;
    QString LocalProgram; // the "X-Mailer" line
    QString Date;         // the "Date" line, written as it stands
    QString ReplyTo;
    QString MessageID; // the "Message-ID" line, written as it stands
};
