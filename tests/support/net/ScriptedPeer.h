#pragma once

#include "support/net/PeerProcess.h"

#include <QJsonObject>

// The scripted Python peer (tests/peers/scripted_peer.py): records the raw bytes of every
// request and answers as its script says: slowly, never, half a line, redirects, a huge header.
class ScriptedPeer : public PeerProcess {
public:
    explicit ScriptedPeer(const QJsonObject& script);
    bool start();
    // The raw request bytes seen so far, in arrival order.
    QList<QByteArray> requests();
    QString url(const QString& path) const;

private:
    void readOutput();

    QJsonObject script_;
    QByteArray pending_;
    QList<QByteArray> requests_;
};
