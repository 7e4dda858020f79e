// The columns of a bound grid as its Fields lines give them ("field,caption,width"), and how
// the columns are fitted into the grid after the user resized one.
#pragma once

#include <QList>
#include <QString>

namespace vorn::gridcolumns {

struct Column {
    QString field;
    QString caption;
    int width = 0;
};

// A width that is missing or not a number gives `defaultWidth`.
Column Parse(const QString& line, int defaultWidth);
QString Line(const Column& column);

// The widths after fitting `widths` into a grid `gridWidth` pixels wide with lines
// `lineWidth` wide: when every column can keep at least 7 pixels, a column that would push
// the ones after it out of the grid shrinks to 7; the last column then takes what is left
// (never less than 7).
QList<int> Fit(QList<int> widths, int gridWidth, int lineWidth);

// Narrowest width a fitted column keeps.
inline constexpr int kNarrowest = 7;

}  // namespace vorn::gridcolumns
