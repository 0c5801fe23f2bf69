#include "service/FileSecretStore.h"

#include "service/MonitorSecrets.h"

#include <algorithm>
#include <optional>

namespace {

// What follows name and "=" at the start of the line, blanks allowed before and after the name;
// nothing when the line does not start so.
std::optional<QString> secretAfter(const QString& line, const QString& name) {
    QStringView rest = QStringView(line);
    while (!rest.isEmpty() && rest.front().isSpace())
        rest = rest.mid(1);
    if (!rest.startsWith(name))
        return std::nullopt;
    rest = rest.mid(name.size());
    while (!rest.isEmpty() && rest.front().isSpace())
        rest = rest.mid(1);
    if (!rest.startsWith(QLatin1Char('=')))
        return std::nullopt;
    return rest.mid(1).toString();
}

} // namespace

std::variant<QStringList, QString> FileSecretStore::parse(const QByteArray& text) {
    QStringList secrets;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype number = 0; number < lines.size(); ++number) {
        QString line = QString::fromUtf8(lines[number]);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
            continue;
        if (!line.contains(QLatin1Char('=')) || line.trimmed().startsWith(QLatin1Char('=')))
            return QStringLiteral("line %1 is not name=value").arg(number + 1);
        secrets.append(line);
    }
    return secrets;
}

FileSecretStore::FileSecretStore(QStringList lines, QString settingsFile)
    : lines_(std::move(lines)), settingsFile_(std::move(settingsFile)) {}

void FileSecretStore::read(const QString& key, ReadAnswer answer) {
    const QString name = secretName(key, settingsFile_);
    asked_.insert(name);
    unanswered_.emplace_back(name, std::move(answer));
    if (unanswered_.size() == 1)
        QMetaObject::invokeMethod(
            &answering_, [this] { answerAll(); }, Qt::QueuedConnection);
}

void FileSecretStore::answerAll() {
    for (const auto& [name, answer] : std::exchange(unanswered_, {}))
        answer(true, secretOf(name));
}

QString FileSecretStore::secretOf(const QString& name) const {
    QString secret;
    for (const QString& line : lines_) {
        const std::optional<QString> after = secretAfter(line, name);
        if (!after)
            continue;
        const bool longerNameTakesIt = std::any_of(asked_.cbegin(), asked_.cend(), [&](const QString& other) {
            return other.size() > name.size() && secretAfter(line, other);
        });
        // A later line of the same name wins, as it always did.
        if (!longerNameTakesIt)
            secret = *after;
    }
    return secret;
}

void FileSecretStore::write(const QString&, const QString&, Answer answer) {
    answer(false);
}

void FileSecretStore::remove(const QString&, Answer answer) {
    answer(false);
}
