#include "net/DnsRecords.h"

#include <QHostAddress>
#include <QtEndian>
#include <ares.h>
#include <memory>
#include <netdb.h>

namespace {

const unsigned char* bytes(QByteArrayView answer) {
    return reinterpret_cast<const unsigned char*>(answer.data());
}

struct HostentFree {
    void operator()(hostent* host) const { ares_free_hostent(host); }
};
struct DataFree {
    void operator()(void* data) const { ares_free_data(data); }
};
using Hostent = std::unique_ptr<hostent, HostentFree>;
template <typename T> using Data = std::unique_ptr<T, DataFree>;

void addAddresses(const hostent& host, QStringList& records) {
    for (char** address = host.h_addr_list; *address; ++address)
        records << (host.h_addrtype == AF_INET ? QHostAddress(qFromBigEndian<quint32>(*address))
                                               : QHostAddress(reinterpret_cast<const quint8*>(*address)))
                       .toString();
}

void addAliases(const hostent& host, QStringList& records) {
    for (char** alias = host.h_aliases; *alias; ++alias)
        records << DnsRecords::qualified(*alias);
}

// Each reader returns the library's status and adds what it read.
int readHostent(int type, QByteArrayView answer, QStringList& records) {
    hostent* raw = nullptr;
    const int length = int(answer.size());
    int status = ARES_SUCCESS;
    switch (type) {
    case 1:
    case 5:
        status = ares_parse_a_reply(bytes(answer), length, &raw, nullptr, nullptr);
        break;
    case 28:
        status = ares_parse_aaaa_reply(bytes(answer), length, &raw, nullptr, nullptr);
        break;
    case 2:
        status = ares_parse_ns_reply(bytes(answer), length, &raw);
        break;
    default:
        status = ares_parse_ptr_reply(bytes(answer), length, nullptr, 0, AF_INET, &raw);
    }
    const Hostent host(raw);
    if (status != ARES_SUCCESS)
        return status;
    if (type == 1 || type == 28)
        addAddresses(*host, records);
    else if (type == 2)
        addAliases(*host, records);
    else if (type == 5 && host->h_aliases[0])
        records << DnsRecords::qualified(host->h_name);
    else if (type == 12)
        records << DnsRecords::qualified(host->h_name);
    return status;
}

// Reads a list of records with the library's parser for their type, each written by format.
template <typename Reply, typename Parse, typename Format>
int readEach(QByteArrayView answer, QStringList& records, Parse parse, Format format) {
    Reply* raw = nullptr;
    const int status = parse(bytes(answer), int(answer.size()), &raw);
    const Data<Reply> list(raw);
    for (const Reply* reply = raw; reply; reply = reply->next)
        records << format(*reply);
    return status;
}

int readMx(QByteArrayView answer, QStringList& records) {
    return readEach<ares_mx_reply>(answer, records, ares_parse_mx_reply, [](const ares_mx_reply& mx) {
        return QString::number(mx.priority) + QLatin1Char(' ') + DnsRecords::qualified(mx.host);
    });
}

int readSrv(QByteArrayView answer, QStringList& records) {
    return readEach<ares_srv_reply>(answer, records, ares_parse_srv_reply, [](const ares_srv_reply& srv) {
        return QStringLiteral("%1 %2 %3 %4")
            .arg(srv.priority)
            .arg(srv.weight)
            .arg(srv.port)
            .arg(DnsRecords::qualified(srv.host));
    });
}

int readTxt(QByteArrayView answer, QStringList& records) {
    ares_txt_ext* raw = nullptr;
    const int status = ares_parse_txt_reply_ext(bytes(answer), int(answer.size()), &raw);
    const Data<ares_txt_ext> list(raw);
    // A record may hold several strings; the library hands each alone and marks where a record starts.
    for (const ares_txt_ext* txt = raw; txt; txt = txt->next) {
        const QString text = DnsRecords::quoted(QByteArrayView(txt->txt, qsizetype(txt->length)));
        if (txt->record_start || records.isEmpty())
            records << text;
        else
            records.last() += QLatin1Char(' ') + text;
    }
    return status;
}

int readSoa(QByteArrayView answer, QStringList& records) {
    ares_soa_reply* raw = nullptr;
    const int status = ares_parse_soa_reply(bytes(answer), int(answer.size()), &raw);
    const Data<ares_soa_reply> soa(raw);
    if (soa)
        records << QStringLiteral("%1 %2 %3 %4 %5 %6 %7")
                       .arg(DnsRecords::qualified(soa->nsname), DnsRecords::qualified(soa->hostmaster))
                       .arg(soa->serial)
                       .arg(soa->refresh)
                       .arg(soa->retry)
                       .arg(soa->expire)
                       .arg(soa->minttl);
    return status;
}

int readCaa(QByteArrayView answer, QStringList& records) {
    return readEach<ares_caa_reply>(answer, records, ares_parse_caa_reply, [](const ares_caa_reply& caa) {
        return QStringLiteral("%1 %2 %3")
            .arg(caa.critical)
            .arg(QString::fromLatin1(QByteArrayView(caa.property, qsizetype(caa.plength))),
                 DnsRecords::quoted(QByteArrayView(caa.value, qsizetype(caa.length))));
    });
}

} // namespace

std::optional<QStringList> DnsRecords::read(int type, QByteArrayView answer) {
    QStringList records;
    int status = ARES_SUCCESS;
    switch (type) {
    case 15:
        status = readMx(answer, records);
        break;
    case 33:
        status = readSrv(answer, records);
        break;
    case 16:
        status = readTxt(answer, records);
        break;
    case 6:
        status = readSoa(answer, records);
        break;
    case 257:
        status = readCaa(answer, records);
        break;
    default:
        status = readHostent(type, answer, records);
    }
    if (status == ARES_ENODATA)
        return QStringList();
    if (status != ARES_SUCCESS)
        return std::nullopt;
    return records;
}

QString DnsRecords::rcode(int status) {
    switch (status) {
    case ARES_SUCCESS:
    case ARES_ENODATA:
        return QStringLiteral("NOERROR");
    case ARES_ENOTFOUND:
        return QStringLiteral("NXDOMAIN");
    case ARES_ESERVFAIL:
        return QStringLiteral("SERVFAIL");
    case ARES_EREFUSED:
        return QStringLiteral("REFUSED");
    case ARES_EFORMERR:
        return QStringLiteral("FORMERR");
    case ARES_ENOTIMP:
        return QStringLiteral("NOTIMP");
    }
    return {};
}

QString DnsRecords::quoted(QByteArrayView text) {
    QString out = QStringLiteral("\"");
    for (const char c : text) {
        const auto byte = uchar(c);
        if (c == '"' || c == '\\')
            out += QLatin1String("\\") + QLatin1Char(c);
        else if (byte < 0x20 || byte > 0x7e)
            out += QStringLiteral("\\%1").arg(byte, 3, 10, QLatin1Char('0'));
        else
            out += QLatin1Char(c);
    }
    return out + QLatin1Char('"');
}

QString DnsRecords::qualified(const char* name) {
    const QString text = QString::fromUtf8(name);
    return text.endsWith(QLatin1Char('.')) ? text : text + QLatin1Char('.');
}
