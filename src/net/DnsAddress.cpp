#include "net/DnsAddress.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QUrl>
#include <array>

namespace {

struct RecordType {
    QLatin1StringView name;
    int number;
};
constexpr std::array<RecordType, 10> recordTypes{{{QLatin1StringView("A"), 1},
                                                  {QLatin1StringView("NS"), 2},
                                                  {QLatin1StringView("CNAME"), 5},
                                                  {QLatin1StringView("SOA"), 6},
                                                  {QLatin1StringView("PTR"), 12},
                                                  {QLatin1StringView("MX"), 15},
                                                  {QLatin1StringView("TXT"), 16},
                                                  {QLatin1StringView("AAAA"), 28},
                                                  {QLatin1StringView("SRV"), 33},
                                                  {QLatin1StringView("CAA"), 257}}};

DnsAddress refused(const QString& problem) {
    DnsAddress address;
    address.problem = problem;
    return address;
}

// "host", "host:port", "[v6]" or "[v6]:port"; false when the text is none of these.
bool takeAuthority(QStringView authority, DnsAddress& address) {
    QStringView host = authority;
    QStringView port;
    if (authority.startsWith(u'[')) {
        const qsizetype close = authority.indexOf(u']');
        if (close < 0 || (close + 1 < authority.size() && authority[close + 1] != u':'))
            return false;
        host = authority.mid(1, close - 1);
        if (QHostAddress(host.toString()).protocol() != QAbstractSocket::IPv6Protocol)
            return false;
        if (close + 1 < authority.size())
            port = authority.mid(close + 2);
    } else if (const qsizetype colon = authority.lastIndexOf(u':'); colon >= 0) {
        host = authority.first(colon);
        port = authority.mid(colon + 1);
    }
    if (host.isEmpty() || host.contains(u':') != authority.startsWith(u'['))
        return false;
    if (!port.isNull()) {
        bool ok = false;
        const uint number = port.toUInt(&ok);
        if (!ok || number == 0 || number > 65535 || !port.front().isDigit())
            return false;
        address.port = quint16(number);
    }
    address.resolver = host.toString().toLower();
    return true;
}

bool isNameTooLong(const QString& name) {
    QStringView rest = name;
    if (rest.endsWith(u'.'))
        rest.chop(1);
    if (rest.size() > 253)
        return true;
    for (const QStringView label : rest.split(u'.'))
        if (label.isEmpty() || label.size() > 63)
            return true;
    return false;
}

} // namespace

DnsAddress DnsAddress::parse(const QString& url) {
    if (!url.startsWith(QLatin1String("dns:"), Qt::CaseInsensitive))
        return refused(QStringLiteral("Not a dns address"));
    QStringView rest = QStringView(url).mid(4);
    const qsizetype question = rest.indexOf(u'?');
    const QStringView query = question < 0 ? QStringView() : rest.mid(question + 1);
    rest = rest.first(question < 0 ? rest.size() : question);

    DnsAddress address;
    if (rest.startsWith(u"//")) {
        rest = rest.mid(2);
        const qsizetype slash = rest.indexOf(u'/');
        if (slash < 0)
            return refused(QStringLiteral("No name to look up"));
        if (slash > 0 && !takeAuthority(rest.first(slash), address))
            return refused(QStringLiteral("Bad resolver: ") + rest.first(slash).toString());
        rest = rest.mid(slash + 1);
    }
    address.name = QUrl::fromPercentEncoding(rest.toUtf8());
    if (address.name.isEmpty())
        return refused(QStringLiteral("No name to look up"));
    if (address.name != QLatin1String(".") && isNameTooLong(address.name))
        return refused(QStringLiteral("Bad name: ") + address.name);

    // Parts are split by ";" as the dns scheme has it, and by "&" as people type queries.
    static const QRegularExpression separator(QStringLiteral("[;&]"));
    for (const QStringView element : query.split(separator, Qt::SkipEmptyParts)) {
        const qsizetype equals = element.indexOf(u'=');
        const QStringView key = element.first(equals < 0 ? element.size() : equals);
        const QString value = equals < 0 ? QString() : element.mid(equals + 1).toString().toUpper();
        if (key.compare(u"class", Qt::CaseInsensitive) == 0) {
            if (value != QLatin1String("IN"))
                return refused(QStringLiteral("Only class IN is looked up: ") + element.toString());
        } else if (key.compare(u"type", Qt::CaseInsensitive) == 0) {
            const auto known = std::find_if(recordTypes.begin(), recordTypes.end(),
                                            [&](const RecordType& type) { return type.name == value; });
            if (known == recordTypes.end())
                return refused(QStringLiteral("Unknown record type: ") + element.mid(equals + 1).toString());
            address.type = known->name;
            address.typeNumber = known->number;
        } else {
            return refused(QStringLiteral("Unknown query part: ") + element.toString());
        }
    }
    return address;
}
