// A string grid with one fixed heading row whose cell in one column, BoldCol, is drawn in bold
// (the pick list of the find dialog marks its sort column so). Rows are counted as the string
// grid counts them: row 0 is the heading, row r (from 1) the r-th data row. The heading is the
// table's horizontal header, so it stays in place while the data rows scroll.
#pragma once

#include <QPoint>
#include <QTableWidget>

#pragma GCC visibility push(default)
namespace vorn {

class TXDEStringGrid : public QTableWidget {
    Q_OBJECT
    Q_PROPERTY(int BoldCol READ BoldCol WRITE SetBoldCol)

  public:
    explicit TXDEStringGrid(QWidget* parent = nullptr);

    int BoldCol() const { return boldCol_; }
    void SetBoldCol(int column);

    // Rows including the heading row; at least 2 (the heading and one data row).
    int RowCount() const { return rowCount() + 1; }
    void SetRowCount(int rows);
    int ColCount() const { return columnCount(); }
    void SetColCount(int columns);
    int ColWidth(int column) const { return columnWidth(column); }
    void SetColWidth(int column, int width) { setColumnWidth(column, width); }
    void SetDefaultRowHeight(int height);

    // The text of a cell; row 0 is the heading.
    QString Cell(int column, int row) const;
    void SetCell(int column, int row, const QString& text);
    // The current row: 0 when no data row is current.
    int Row() const { return currentRow() + 1; }
    void SetRow(int row);
    // The row under a point of the grid's data area (1 for the first data row), or -1.
    int RowAt(const QPoint& viewportPos) const { return rowAt(viewportPos.y()) + 1; }

  signals:
    // A mouse button went down on the heading cell of `column` (-1 beyond the columns).
    void HeadingPressed(int column, Qt::MouseButton button, const QPoint& pos);
    void HeadingDoubleClicked(int column, const QPoint& pos);
    // A mouse button went down on the data rows.
    void DataPressed(const QPoint& pos);
    // A double click on data row `row` (from 1).
    void RowDoubleClicked(int row);
    // Enter on the grid.
    void EnterPressed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void ApplyBold();

    int boldCol_ = 2;
};

}  // namespace vorn

#pragma GCC visibility pop
