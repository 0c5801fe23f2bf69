#pragma once

#include <QStringView>

// Globs as conditions write them in pat(...): "*" stands for any run of characters, "?" for
// any one; every other character for itself. The whole text must match.
namespace GlobPattern {

// Never backtracks: the pieces between stars are found leftmost, one after the other, each by
// one pass of a bit-parallel search, so the time grows with the text's length, not with how
// the pattern could be tried against it.
bool matches(QStringView pattern, QStringView text);

} // namespace GlobPattern
