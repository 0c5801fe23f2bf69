#pragma once

#include <QString>
#include <QStringList>

// What the check found out about a page, for its alarm mail.
struct AlarmReport {
    QString listedUrl; // the page's address as listed, before any redirect
    QString errorText; // the description of the page's latest outcome
    int replyNumber = 0;
    // One entry per ticked mail box of every outcome of the page: duplicates are kept, and an
    // empty entry sends to nobody.
    QStringList recipients;
};
