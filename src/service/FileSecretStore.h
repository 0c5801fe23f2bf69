#pragma once

#include "notify/SecretStore.h"

#include <QHash>
#include <QString>
#include <variant>

// Secrets read from a file of "name=value" lines, for a server with no secret service: "mail" for
// the mail password, "chat #1" to "chat #3" for the chat tokens, "metrics" for the metrics token,
// and "page " followed by a page's address (its user, no password) for its login. Blank lines and
// lines starting with "#" are skipped. Nothing is ever written back to the file.
class FileSecretStore : public SecretStore {
public:
    // The lines' secrets, or why they are refused, naming the line.
    static std::variant<QHash<QString, QString>, QString> parse(const QByteArray& text);

    FileSecretStore(QHash<QString, QString> secrets, QString settingsFile);

    void read(const QString& key, ReadAnswer answer) override;
    // The file stays as it is: a secret changed during the run lasts for the run.
    void write(const QString& key, const QString& secret, Answer answer) override;
    void remove(const QString& key, Answer answer) override;

private:
    QHash<QString, QString> secrets_;
    QString settingsFile_;
};
