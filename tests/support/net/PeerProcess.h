#pragma once

#include <QProcess>
#include <QTemporaryDir>

// A test server process on a free 127.0.0.1 port, in a temporary folder of its own,
// stopped when the object goes.
class PeerProcess {
public:
    PeerProcess();
    virtual ~PeerProcess();
    PeerProcess(const PeerProcess&) = delete;
    PeerProcess& operator=(const PeerProcess&) = delete;

    quint16 port() const { return port_; }
    QString dir() const { return dir_.path(); }
    // Whatever the process wrote so far, for a failure message.
    QString output();

    static quint16 freePort();
    // The template from the peers folder with @DIR@, @PORT@ and @USER@ (root only) filled in.
    QString writeConfig(const QString& templateName, const QString& userLine);

protected:
    // Starts the program and waits until its port takes connections.
    bool launch(const QString& program, const QStringList& arguments);
    // Starts a peer that picks its own port and names it on a line "READY <port>": no race for
    // a free port.
    bool launchAnnounced(const QString& program, const QStringList& arguments);
    // The lines of standard output that came since the last call, without their line ends.
    QList<QByteArray> newLines();

    QProcess process_;
    QTemporaryDir dir_;
    quint16 port_ = 0;

private:
    void collect();

    QByteArray out_;
    QByteArray err_;
    qsizetype taken_ = 0;
};
