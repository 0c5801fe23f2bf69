#pragma once

#include <QString>
#include <exception>

// The text of the exception of type E that f raises, or "<nothing raised>".
template <typename E, typename F> QString raised(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return QString::fromUtf8(e.what());
    }
    return QStringLiteral("<nothing raised>");
}
