#include "net/ReplyNumber.h"

#include <limits>
#include <stdexcept>

std::optional<qint16> replyNumber(const QString& reply) {
    qsizetype digits = 0;
    while (digits < reply.size() && digits < 10 && reply[digits].isDigit() && reply[digits].unicode() < 128)
        ++digits;
    if (digits == 0)
        return std::nullopt;
    const qint64 value = reply.left(digits).toLongLong();
    if (value > std::numeric_limits<qint16>::max())
        throw std::out_of_range("Range check error");
    return qint16(value);
}
