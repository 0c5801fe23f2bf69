#include "support/net/ScriptedPeer.h"

#include <QFile>
#include <QJsonDocument>
#include <QTest>

ScriptedPeer::ScriptedPeer(const QJsonObject& script) : script_(script) {
    process_.setProcessChannelMode(QProcess::SeparateChannels);
}

bool ScriptedPeer::start() {
    const QString config = dir() + QStringLiteral("/script.json");
    QFile file(config);
    file.open(QIODevice::WriteOnly);
    file.write(QJsonDocument(script_).toJson());
    file.close();
    const QString python = QFile::exists(QStringLiteral("/usr/bin/python3"))
                               ? QStringLiteral("/usr/bin/python3")
                               : QStringLiteral("python3");
    process_.start(python, {QStringLiteral(KORVANE_TEST_PEERS_DIR "/scripted_peer.py"), config});
    // The peer picks its own port and tells it: no race for a free port.
    return QTest::qWaitFor(
               [this] {
                   readOutput();
                   return port_ != 0 || process_.state() == QProcess::NotRunning;
               },
               10000) &&
           port_ != 0;
}

void ScriptedPeer::readOutput() {
    pending_ += process_.readAllStandardOutput();
    for (qsizetype end; (end = pending_.indexOf('\n')) >= 0; pending_.remove(0, end + 1)) {
        const QByteArray line = pending_.left(end);
        if (line.startsWith("READY "))
            port_ = quint16(line.mid(6).toUInt());
        else if (line.startsWith("REQ "))
            requests_.append(QByteArray::fromBase64(line.mid(4)));
    }
}

QList<QByteArray> ScriptedPeer::requests() {
    readOutput();
    return requests_;
}

QString ScriptedPeer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}
