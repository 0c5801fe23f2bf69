#pragma once

#include <QString>

// A dns:// page address taken apart: dns://[RESOLVER[:PORT]]/NAME?type=TYPE, or dns:NAME?type=TYPE.
// The resolver is whoever the authority names; none (dns:///NAME, dns:NAME) means the system's.
// A plain function over the text, so the probe's socket side never sees an address it cannot use.
struct DnsAddress {
    QString resolver;  // a name or an address, without brackets; empty: the system's resolver
    quint16 port = 53; // the resolver's
    QString name;      // what is looked up, escapes decoded
    QString type = QStringLiteral("A"); // A, AAAA, CNAME, MX, NS, TXT, SRV, PTR, SOA or CAA
    int typeNumber = 1;                 // the type's number on the wire
    QString problem;                    // why the address cannot be looked up; empty when it can

    static DnsAddress parse(const QString& url);
};
