// Fields inside a server string: "a^b^c" holds three pieces separated by "^" (sometimes ";"
// or ","), addressed from 1.
#pragma once

#include <QString>
#include <QStringView>

#pragma GCC visibility push(default)
namespace vorn {

// The n-th piece (from 1) of `text` cut at `delimiter`: the empty text when there are fewer
// pieces (or n < 1), the whole text when it holds no delimiter and n is 1. An empty delimiter
// cuts nothing: the whole text is its only piece.
QString Piece(QStringView text, QStringView delimiter, int n);
inline QString Piece(const QString& text, const QString& delimiter, int n) {
    return Piece(QStringView(text), QStringView(delimiter), n);
}

// The number of pieces: 1 for a text without the delimiter (also for the empty text).
int PieceCount(QStringView text, QStringView delimiter);

}  // namespace vorn

#pragma GCC visibility pop
