#pragma once

#include <QString>
#include <optional>

// The number a server's reply line begins with ("250 OK" is 250), read as the session layer
// always has: up to ten leading digits; a number beyond 16 bits raises a range error.
std::optional<qint16> replyNumber(const QString& reply);
