#pragma once

#include <QByteArrayView>
#include <QStringList>
#include <optional>

// The records of one type in a DNS answer, each in the form a zone file writes it: A 192.0.2.1,
// AAAA compressed, names fully qualified with their final dot, MX "10 mail.example.org.", TXT
// every string quoted, SRV "priority weight port target.", SOA "mname. rname. serial refresh
// retry expire minimum", CAA 0 issue "ca.example". A function of the answer's bytes alone, so it
// is tried on any bytes without a socket; the answer is read by the resolver library, never here.
class DnsRecords {
public:
    // In the answer's order; none when it holds no record of the type. Nothing when the answer
    // cannot be read.
    static std::optional<QStringList> read(int type, QByteArrayView answer);
    // The response code a resolver library status stands for ("NOERROR", "NXDOMAIN", ...); empty
    // for a status that is no answer of the server's (a time-out, a refused connection).
    static QString rcode(int status);
    // A character string between double quotes, '"' and '\' escaped, other bytes outside printable
    // ASCII as \DDD.
    static QString quoted(QByteArrayView text);
    // A name with the final dot of a fully qualified one.
    static QString qualified(const char* name);
};
