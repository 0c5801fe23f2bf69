#pragma once

#include <QString>
#include <QStringList>

// The alarm mails of one check cycle gathered into one: each page's report in turn, separated by
// a blank line, sent to every recipient once.
class CycleMail {
public:
    // A page's report, composed when the page was checked so its macros describe that check.
    void add(const QString& report, const QStringList& recipients);
    bool isEmpty() const { return reports_.isEmpty(); }
    int pageCount() const { return int(reports_.size()); }
    QString text() const;
    const QStringList& recipients() const { return recipients_; }

private:
    QStringList reports_;
    QStringList recipients_;
};
