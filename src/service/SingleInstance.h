#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>

class QLocalServer;
class QLocalSocket;

// One running program per settings file: two monitors on one KV.ini would check the same pages
// twice and overwrite each other's settings. The first start listens on a local socket named
// after the settings file; a later start hands it its command line and ends.
//
// The socket lives in a folder only this user reaches, the session's runtime folder or one of our
// own in the temporary folder, so no other user can take its name first. Beside it, a lock file
// held for the run decides which start is the one: two starts that find a socket left behind by a
// crash cannot both remove it and listen.
//
// A start may also ask the running one something and wait for its answer, a line of text sent
// back on the same connection. A plain hand-over gets no answer and waits for none, so a program
// older than the question, which never answers, just leaves the asker without one.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& settingsFile, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when a program already running on this settings file took the command line; false
    // when this one is now the running one (or cannot tell, and runs all the same).
    bool handedOver(const QStringList& arguments);
    // True when this program is now the one running on the settings file (or cannot tell, and
    // runs all the same); false when another runs on it, which is told nothing.
    bool claim();

    // True when a program runs on this settings file. It is only asked, never sent a command
    // line, so it takes the question for no second start.
    static bool runningOn(const QString& settingsFile);
    // Hands the command line to the program running on this settings file and returns its answer;
    // none when no program runs there, or it does not answer within a few seconds. Never starts to
    // run itself.
    static std::optional<QString> ask(const QString& settingsFile, const QStringList& arguments);

    // What this program, once running, answers a command line with; none for a command line that
    // asks for no answer, which is then received as a second start.
    using Answer = std::function<std::optional<QString>(const QStringList& arguments)>;
    void answerWith(Answer answer) { answer_ = std::move(answer); }

    // The socket's path: "korvane-" and the SHA-1 of the canonical path, so that every way of
    // naming one file meets, in the folder of this user's sockets.
    static QString serverName(const QString& settingsFile);

signals:
    void commandLineReceived(const QStringList& arguments);

private:
    enum class Lock { Taken, HeldByAnother, Unavailable };

    static bool answers(const QString& name);
    // Connects to the running program and hands it the command line.
    static bool send(QLocalSocket& socket, const QString& name, const QStringList& arguments);
    Lock lock();
    // Listens on the name, taking it over from a program that crashed.
    void takeOver();
    void receive(QLocalSocket* socket);

    QString name_;
    QLocalServer* server_;
    Answer answer_;
    int lock_ = -1;
};
