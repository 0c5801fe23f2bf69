#include "notify/CycleMail.h"

void CycleMail::add(const QString& report, const QStringList& recipients, bool exclusive) {
    // A template that ends in line breaks would widen the gap between two reports.
    QString trimmed = report;
    while (trimmed.endsWith(QLatin1Char('\n')) || trimmed.endsWith(QLatin1Char('\r')))
        trimmed.chop(1);
    reports_.append({trimmed, recipients, exclusive});
    for (const QString& recipient : recipients) {
        if (!recipients_.contains(recipient))
            recipients_.append(recipient);
    }
}

void CycleMail::amend(const std::function<QString(QString)>& change) {
    for (Report& report : reports_)
        report.text = change(report.text);
}

QList<CycleMail::Mail> CycleMail::mails() const {
    QList<QList<int>> shares; // the reports of each mail
    QList<Mail> mails;
    for (const QString& recipient : recipients_) {
        QList<int> reports;
        for (int index = 0; index < reports_.size(); ++index)
            if (!reports_[index].exclusive || reports_[index].recipients.contains(recipient))
                reports.append(index);
        const qsizetype share = shares.indexOf(reports);
        if (share >= 0) {
            mails[share].recipients.append(recipient);
            continue;
        }
        QStringList texts;
        for (int index : reports)
            texts.append(reports_[index].text);
        shares.append(reports);
        mails.append({texts.join(QStringLiteral("\r\n\r\n")), {recipient}, int(reports.size())});
    }
    return mails;
}
