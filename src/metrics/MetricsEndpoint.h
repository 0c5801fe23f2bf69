#pragma once

#include <QHostAddress>
#include <QString>
#include <variant>

// Where the metrics are served: an address and a port.
struct MetricsEndpoint {
    QHostAddress address;
    quint16 port = 0;
};

// "127.0.0.1:9101", "[::1]:9101" or "localhost:9101" as an endpoint, or why it is none. Port 0
// asks for any free port.
std::variant<MetricsEndpoint, QString> parseMetricsEndpoint(const QString& text);
