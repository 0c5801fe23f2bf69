#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// The alarm mails of one check cycle gathered into one: each page's report in turn, separated by
// a blank line, sent to every recipient once. A report meant for some recipients only (the others
// are not to hear of the page yet) goes to them alone: recipients who get the same reports share
// a mail.
class CycleMail {
public:
    struct Mail {
        QString text;
        QStringList recipients;
        int pages = 0;
    };

    // A page's report, composed when the page was checked so its macros describe that check.
    void add(const QString& report, const QStringList& recipients, bool exclusive = false);
    bool isEmpty() const { return reports_.isEmpty(); }
    // Changes the text of every report.
    void amend(const std::function<QString(QString)>& change);
    // One mail when no report is for some recipients only.
    QList<Mail> mails() const;

private:
    struct Report {
        QString text;
        QStringList recipients;
        bool exclusive = false;
    };
    QList<Report> reports_;
    QStringList recipients_;
};
