#pragma once

#include <QObject>
#include <QStringList>

class QLocalServer;
class QLocalSocket;

// One running program per settings file: two monitors on one KV.ini would check the same pages
// twice and overwrite each other's settings. The first start listens on a local socket named
// after the settings file; a later start hands it its command line and ends.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& settingsFile, QObject* parent = nullptr);

    // True when a program already running on this settings file took the command line; false
    // when this one is now the running one (or cannot tell, and runs all the same).
    bool handedOver(const QStringList& arguments);
    // True when this program is now the one running on the settings file; false when another
    // answers on it, which is told nothing.
    bool claim();

    // True when a program runs on this settings file. It is only asked, never sent a command
    // line, so it takes the question for no second start.
    static bool runningOn(const QString& settingsFile);

    // "korvane-" and the SHA-1 of the canonical path, so that every way of naming one file meets.
    static QString serverName(const QString& settingsFile);

signals:
    void commandLineReceived(const QStringList& arguments);

private:
    static bool answers(const QString& name);
    bool send(const QStringList& arguments) const;
    // Listens on the name, taking it over from a program that crashed.
    void takeOver();
    void receive(QLocalSocket* socket);

    QString name_;
    QLocalServer* server_;
};
