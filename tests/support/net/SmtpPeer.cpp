#include "support/net/SmtpPeer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

bool SmtpPeer::start(const QStringList& options) {
    // Debian's interpreter: the one on PATH may not see Debian's aiosmtpd.
    return launchAnnounced(QStringLiteral("/usr/bin/python3"),
                           QStringList{QStringLiteral(KORVANE_TEST_PEERS_DIR "/smtp_sink.py")} + options);
}

QList<SmtpPeer::Mail> SmtpPeer::mails() {
    collect();
    return mails_;
}

QStringList SmtpPeer::logins() {
    collect();
    return logins_;
}

void SmtpPeer::collect() {
    for (const QByteArray& line : newLines()) {
        if (line.startsWith("LOGIN "))
            logins_.append(QString::fromUtf8(line.mid(6)));
        if (!line.startsWith("MAIL "))
            continue;
        const QJsonObject mail = QJsonDocument::fromJson(line.mid(5)).object();
        QStringList to;
        for (const QJsonValue& address : mail[QStringLiteral("to")].toArray())
            to << address.toString();
        mails_.append({mail[QStringLiteral("from")].toString(), to,
                       QByteArray::fromBase64(mail[QStringLiteral("data")].toString().toLatin1())});
    }
}
