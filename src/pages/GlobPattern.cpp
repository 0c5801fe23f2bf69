#include "pages/GlobPattern.h"

#include <QHash>
#include <QList>
#include <vector>

namespace {

using Bits = std::vector<quint64>;

bool pieceAt(QStringView piece, QStringView text, qsizetype at) {
    if (at < 0 || at + piece.size() > text.size())
        return false;
    for (qsizetype i = 0; i < piece.size(); ++i)
        if (piece[i] != QLatin1Char('?') && piece[i] != text[at + i])
            return false;
    return true;
}

// Where the leftmost match of piece at or after from ends in text, or -1. Shift-and: bit j of
// the state says the last j + 1 characters read match the piece's first j + 1.
qsizetype pieceEnd(QStringView piece, QStringView text, qsizetype from) {
    const qsizetype words = (piece.size() + 63) / 64;
    const auto bit = [](qsizetype j) { return quint64(1) << (j % 64); };
    Bits anyCharacter(words, 0); // the positions a character matches that the piece does not name
    for (qsizetype j = 0; j < piece.size(); ++j)
        if (piece[j] == QLatin1Char('?'))
            anyCharacter[j / 64] |= bit(j);
    QHash<char16_t, Bits> masks;
    for (qsizetype j = 0; j < piece.size(); ++j) {
        if (piece[j] == QLatin1Char('?'))
            continue;
        auto mask = masks.find(piece[j].unicode());
        if (mask == masks.end())
            mask = masks.insert(piece[j].unicode(), anyCharacter);
        (*mask)[j / 64] |= bit(j);
    }
    const quint64 whole = bit(piece.size() - 1);
    Bits state(words, 0);
    for (qsizetype i = from; i < text.size(); ++i) {
        const auto found = masks.constFind(text[i].unicode());
        const Bits& mask = found == masks.constEnd() ? anyCharacter : *found;
        quint64 carry = 1;
        for (qsizetype w = 0; w < words; ++w) {
            const quint64 out = state[w] >> 63;
            state[w] = ((state[w] << 1) | carry) & mask[w];
            carry = out;
        }
        if (state[words - 1] & whole)
            return i + 1;
    }
    return -1;
}

} // namespace

bool GlobPattern::matches(QStringView pattern, QStringView text) {
    const QList<QStringView> pieces = pattern.split(QLatin1Char('*'));
    if (pieces.size() == 1)
        return pattern.size() == text.size() && pieceAt(pattern, text, 0);
    const QStringView first = pieces.first();
    const QStringView last = pieces.last();
    if (first.size() + last.size() > text.size() || !pieceAt(first, text, 0) ||
        !pieceAt(last, text, text.size() - last.size()))
        return false;
    // The leftmost place of each piece leaves the most room for the pieces after it.
    const QStringView middle = text.first(text.size() - last.size());
    qsizetype at = first.size();
    for (qsizetype i = 1; i + 1 < pieces.size(); ++i) {
        if (!pieces[i].isEmpty())
            at = pieceEnd(pieces[i], middle, at);
        if (at < 0)
            return false;
    }
    return true;
}
