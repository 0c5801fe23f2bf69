#pragma once

#include <QString>
#include <stdexcept>

// A network operation that ended because somebody canceled it.
class EAbortError : public std::runtime_error {
public:
    explicit EAbortError(const QString& message) : std::runtime_error(message.toStdString()) {}
};
