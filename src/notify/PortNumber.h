#pragma once

#include <QString>
#include <optional>

// A port typed as text, read the way the mail settings have always been read: blanks before the
// number, a sign, and hexadecimal after "$" or "0x" are allowed; anything else, a blank after the
// number included, makes it no number.
namespace PortNumber {

std::optional<int> parse(const QString& text);

} // namespace PortNumber
