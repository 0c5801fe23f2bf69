#pragma once

#include "support/net/PeerProcess.h"

#include <QJsonObject>

// The scripted Python peer (tests/peers/scripted_peer.py): records the raw bytes of every
// request or connection and answers as its script says: slowly, never, half a line, redirects, a
// huge header; or as a mail server with a table of answers.
class ScriptedPeer : public PeerProcess {
public:
    explicit ScriptedPeer(const QJsonObject& script);
    bool start();
    // The raw request bytes seen so far, in arrival order.
    QList<QByteArray> requests();
    QString url(const QString& path) const;

    // The script of a web server: each path (or "*") with its answer.
    static QJsonObject routes(const QJsonObject& table) { return {{"mode", "http"}, {"routes", table}}; }
    // One answer, sent after delay seconds.
    static QJsonObject reply(const QString& text, double delay = 0) {
        return {{"send", text}, {"delay", delay}};
    }

private:
    QJsonObject script_;
    QList<QByteArray> requests_;
};
