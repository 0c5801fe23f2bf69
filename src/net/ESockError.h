#pragma once

#include <QString>
#include <stdexcept>

// A socket or connection failure. The text is what the user sees in the error box.
class ESockError : public std::runtime_error {
public:
    explicit ESockError(const QString& message) : std::runtime_error(message.toStdString()) {}
};
