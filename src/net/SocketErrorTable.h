#pragma once

#include <QAbstractSocket>
#include <QString>

// The classic numbered socket error codes and their texts. Qt reports errors as enum values;
// we translate them to these numbers so LastErrorNo and the error texts stay the familiar ones.
class SocketErrorTable {
public:
    // The table's text for a code, or a null string when the code is not in the table.
    static QString message(quint32 code);
    static quint32 codeFor(QAbstractSocket::SocketError error);

    static constexpr quint32 WouldBlock = 10035;
    static constexpr quint32 NotConnected = 10057;
    static constexpr quint32 HostNotFound = 11001;
};
