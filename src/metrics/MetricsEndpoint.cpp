#include "metrics/MetricsEndpoint.h"

std::variant<MetricsEndpoint, QString> parseMetricsEndpoint(const QString& text) {
    const QString trimmed = text.trimmed();
    const qsizetype colon = trimmed.lastIndexOf(QLatin1Char(':'));
    const QString wrong =
        QStringLiteral("\"%1\" is not an address and port such as 127.0.0.1:9101").arg(trimmed);
    if (colon <= 0)
        return wrong;
    bool number = false;
    const uint port = trimmed.mid(colon + 1).toUInt(&number);
    if (!number || port > 65535)
        return wrong;
    QString host = trimmed.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    else if (host.contains(QLatin1Char(':')))
        return wrong; // an IPv6 address needs its brackets, or its last group reads as the port
    MetricsEndpoint endpoint;
    endpoint.port = quint16(port);
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        endpoint.address = QHostAddress(QHostAddress::LocalHost);
    else if (!endpoint.address.setAddress(host))
        return wrong;
    return endpoint;
}
