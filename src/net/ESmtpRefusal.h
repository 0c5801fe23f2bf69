#pragma once

#include <QString>
#include <stdexcept>

// The mail server refused a step of securing the connection or of logging in, or offered no way
// to do either; the text is the server's reply, or what was missing.
class ESmtpRefusal : public std::runtime_error {
public:
    explicit ESmtpRefusal(const QString& text) : std::runtime_error(text.toStdString()) {}
};
