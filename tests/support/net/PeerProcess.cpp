#include "support/net/PeerProcess.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

PeerProcess::PeerProcess() {
    process_.setProcessChannelMode(QProcess::MergedChannels);
    // A test that dies must not leave its servers behind.
    process_.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
}

PeerProcess::~PeerProcess() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(5000);
    }
}

QString PeerProcess::output() {
    collect();
    return QString::fromLocal8Bit(out_ + err_);
}

void PeerProcess::collect() {
    out_ += process_.readAllStandardOutput();
    err_ += process_.readAllStandardError();
}

QList<QByteArray> PeerProcess::newLines() {
    collect();
    QList<QByteArray> lines;
    for (qsizetype end; (end = out_.indexOf('\n', taken_)) >= 0; taken_ = end + 1)
        lines << out_.mid(taken_, end - taken_);
    return lines;
}

quint16 PeerProcess::freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

QString PeerProcess::writeConfig(const QString& templateName, const QString& userLine) {
    QFile in(QStringLiteral(KORVANE_TEST_PEERS_DIR "/") + templateName);
    in.open(QIODevice::ReadOnly);
    QString text = QString::fromUtf8(in.readAll());
    port_ = freePort();
    text.replace(QStringLiteral("@DIR@"), dir()).replace(QStringLiteral("@PORT@"), QString::number(port_));
    text.replace(QStringLiteral("@USER@"), geteuid() == 0 ? userLine : QString());
    const QString path = dir() + QLatin1Char('/') + templateName.chopped(3);
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write(text.toUtf8());
    return path;
}

bool PeerProcess::launch(const QString& program, const QStringList& arguments) {
    process_.start(program, arguments);
    if (!process_.waitForStarted(5000))
        return false;
    // Ready when the port answers; the process may also give up, which ends the wait at once.
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && process_.state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, port_);
        if (probe.waitForConnected(200))
            return true;
        QTest::qWait(20);
    }
    return false;
}

bool PeerProcess::launchAnnounced(const QString& program, const QStringList& arguments) {
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start(program, arguments);
    return QTest::qWaitFor(
               [this] {
                   for (const QByteArray& line : newLines())
                       if (line.startsWith("READY "))
                           port_ = quint16(line.mid(6).toUInt());
                   return port_ != 0 || process_.state() == QProcess::NotRunning;
               },
               10000) &&
           port_ != 0;
}
