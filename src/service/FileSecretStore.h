#pragma once

#include "notify/SecretStore.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <utility>
#include <variant>
#include <vector>

// Secrets read from a file of "name=secret" lines, for a server with no secret service: "mail" for
// the mail password, "chat #1" to "chat #3" for the chat tokens, "metrics" for the metrics token,
// and "page " followed by a page's address (its user, no password) for its login. Blank lines and
// lines starting with "#" are skipped. Nothing is ever written back to the file.
//
// An address may hold "=" ("page https://u@host/?a=b"), and so may a secret, so a line cannot be
// split on its own: it belongs to the longest name asked for that it starts with, followed by "=",
// and the rest of it is the secret. The names asked for are those read so far; the answers wait for
// the event loop, so that every name a load asks for at once is known before any is answered.
class FileSecretStore : public SecretStore {
public:
    // The lines that hold secrets, or why the text is refused, naming the line.
    static std::variant<QStringList, QString> parse(const QByteArray& text);

    FileSecretStore(QStringList lines, QString settingsFile);

    void read(const QString& key, ReadAnswer answer) override;
    // The file stays as it is: nothing is held here that was not in it, and the answer says so.
    void write(const QString& key, const QString& secret, Answer answer) override;
    void remove(const QString& key, Answer answer) override;

private:
    QString secretOf(const QString& name) const;
    void answerAll();

    QStringList lines_;
    QString settingsFile_;
    QSet<QString> asked_;
    std::vector<std::pair<QString, ReadAnswer>> unanswered_;
    QObject answering_; // the answers still queued go with the store
};
