#include "service/FileSecretStore.h"

#include "service/MonitorSecrets.h"

std::variant<QHash<QString, QString>, QString> FileSecretStore::parse(const QByteArray& text) {
    QHash<QString, QString> secrets;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype number = 0; number < lines.size(); ++number) {
        QString line = QString::fromUtf8(lines[number]);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString name = line.left(equals).trimmed();
        if (equals < 0 || name.isEmpty())
            return QStringLiteral("line %1 is not name=value").arg(number + 1);
        secrets.insert(name, line.mid(equals + 1));
    }
    return secrets;
}

FileSecretStore::FileSecretStore(QHash<QString, QString> secrets, QString settingsFile)
    : secrets_(std::move(secrets)), settingsFile_(std::move(settingsFile)) {}

void FileSecretStore::read(const QString& key, ReadAnswer answer) {
    answer(true, secrets_.value(secretName(key, settingsFile_)));
}

void FileSecretStore::write(const QString&, const QString&, Answer answer) {
    answer(true);
}

void FileSecretStore::remove(const QString&, Answer answer) {
    answer(true);
}
