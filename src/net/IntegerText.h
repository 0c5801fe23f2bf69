#pragma once

#include <QString>
#include <optional>

// A whole number written as text, read the way settings files have always been read: blanks
// before the number, a sign, and hexadecimal after "$" or "0x" are allowed; anything else, a
// blank after the number included, makes it no number.
namespace IntegerText {

std::optional<int> parse(const QString& text);

} // namespace IntegerText
