#pragma once

#include "support/net/PeerProcess.h"

#include <QStringList>

// dnsmasq answering on 127.0.0.1 for the names of a hosts file and the records given as its
// options; any other name under .test is NXDOMAIN.
class DnsPeer : public PeerProcess {
public:
    // A line of the hosts file; a dnsmasq option giving records ("--mx-host=...").
    void addHost(const QString& line) { hosts_ += line.toUtf8() + '\n'; }
    void addOption(const QString& option) { options_ << option; }
    // A record of any type as its data's bytes in hex.
    void addRecord(const QString& name, int type, const QByteArray& hex);
    bool start();
    QString url(const QString& nameAndQuery) const;

private:
    QByteArray hosts_;
    QStringList options_;
};
