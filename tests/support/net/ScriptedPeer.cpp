#include "support/net/ScriptedPeer.h"

#include <QFile>
#include <QJsonDocument>

ScriptedPeer::ScriptedPeer(const QJsonObject& script) : script_(script) {}

bool ScriptedPeer::start() {
    const QString config = dir() + QStringLiteral("/script.json");
    QFile file(config);
    file.open(QIODevice::WriteOnly);
    file.write(QJsonDocument(script_).toJson());
    file.close();
    const QString python = QFile::exists(QStringLiteral("/usr/bin/python3"))
                               ? QStringLiteral("/usr/bin/python3")
                               : QStringLiteral("python3");
    return launchAnnounced(python, {QStringLiteral(KORVANE_TEST_PEERS_DIR "/scripted_peer.py"), config});
}

QList<QByteArray> ScriptedPeer::requests() {
    for (const QByteArray& line : newLines())
        if (line.startsWith("REQ "))
            requests_.append(QByteArray::fromBase64(line.mid(4)));
    return requests_;
}

QString ScriptedPeer::url(const QString& path) const {
    return QStringLiteral("http://127.0.0.1:%1%2").arg(port()).arg(path);
}
