// The bound grid: the records of a file, one per row, one field per column, kept in step with
// a data source. A row click makes the source read that record; when the source moves, saves
// or clears, it asks the grid to re-list, locate or clear. Rows come in batches from a finder
// (or, for a logical detail, from "VRNX LOGICAL POINTER"); the next batch is fetched when the
// last row becomes current. A header click can re-sort on that column.
//
// Rows are numbered as the heading row counts: row 0 is the heading (the table's horizontal
// header), row r >= 1 shows record line r - 1.
#pragma once

#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTableWidget>
#include <functional>

#include "lookup/vorn_finder.h"
#include "source/bound_control.h"
#include "source/vorn_source.h"
#include "source/vorn_types.h"
#include "toolkit/component_loading.h"

#pragma GCC visibility push(default)
namespace vorn {

class TvornGrid : public QTableWidget, public TvornGridLink, public ui::LoadedComponent {
    Q_OBJECT
    Q_PROPERTY(QStringList Fields READ Fields WRITE SetFields)
    Q_PROPERTY(vorn::TvornSource* vornSource READ vornSource WRITE SetvornSource)
    Q_PROPERTY(vorn::TvornFinder* vornFinder READ vornFinder WRITE SetvornFinder)
    Q_PROPERTY(QString Number MEMBER Number)
    Q_PROPERTY(bool Sorted READ Sorted WRITE SetSorted)
    Q_PROPERTY(QString SortField READ SortField WRITE SetSortField)
    Q_PROPERTY(vorn::TvornGridOrder SortOrder MEMBER SortOrder)
    Q_PROPERTY(vorn::TvornSortClick SortClick MEMBER SortClick)

  public:
    using TSortEvent = std::function<void(QObject* Sender, QStringList& SortList)>;

    explicit TvornGrid(QWidget* parent = nullptr);
    ~TvornGrid() override;

    // --- published properties ---
    // One line per column: field number, caption and width in pixels, separated by ",".
    const QStringList& Fields() const { return fields_; }
    void SetFields(const QStringList& lines) { fields_ = lines; }
    TvornSource* vornSource() const { return source_.data(); }
    // At run time the grid leaves its old source's grids and joins the new one's.
    void SetvornSource(TvornSource* source);
    TvornFinder* vornFinder() const { return finder_.data(); }
    void SetvornFinder(TvornFinder* finder) { finder_ = finder; }
    // Records fetched per batch.
    QString Number = QStringLiteral("50");
    bool Sorted() const { return sorted_; }
    // Sorting on with no sort field sorts on ".01".
    void SetSorted(bool on);
    const QString& SortField() const { return sortField_; }
    void SetSortField(const QString& field);
    TvornGridOrder SortOrder = soAscending;
    TvornSortClick SortClick = scNone;
    // Called with the sorted row lines before they are shown; the handler may reorder or
    // edit them.
    TSortEvent OnSort;
    // The application's own click handler, run before the source follows the click.
    TNotifyEvent OnClick;

    // Columns from Fields, an own finder when none is set, registration with the source.
    void Loaded() override;

    // --- what the source and the forms call ---
    QWidget* Widget() override { return this; }
    bool Fill() override;
    bool FillMore();
    void Clear() override;
    void Locate(const QString& ien) override;
    QString NavigateRecord(Direction direction, const QString& ien) override;
    bool AtFirstRow() const override;
    bool AtLastRow() const override;
    void FollowClicks(bool on) override { followClicks_ = on; }
    bool FollowsClicks() const { return followClicks_; }
    // Shows the current row without the selection colour.
    void RemoveFocus();
    // The record of the current row; empty when the grid has no data rows.
    QString RecordNumber();
    // The record of `row` (from 1); empty for row 0 or a row past the last.
    QString RecordNumberAt(int row) const;
    // A row click: the source reads the row's record while the grid follows clicks.
    void Click();

    // Rows as the heading counts them: RowCount() is the data rows plus one, Row() the
    // current row (0 when there is none).
    int RowCount() const { return rowCount() + 1; }
    int Row() const { return currentRow() + 1; }
    // The text of cell (column, row), rows counted as above (row 0 is the caption).
    QString Cell(int column, int row) const;
    // The row lines the grid shows (the finder's list).
    QStringList RowLines() const;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool List();
    void FillGrid(bool keepScroll);
    void ShowRows(bool keepScroll);
    void ListLogical(bool continuing);
    void SortRows();
    QString SortFieldType(const QString& file, TRPCBroker* broker);
    bool IsLogical() const;
    QStringList ColumnFields() const;
    void ApplyFields();
    void UpdateHeaderFonts();
    void PlaceRow(int index);
    // After the rows were read again: the row of the source's record highlighted, or none.
    void HighlightRowOfSource();
    void FetchMoreAtLastRow();
    void SortOnColumn(int column);
    void HeaderPressed(QMouseEvent* event);
    void HeaderDoubleClicked(QMouseEvent* event);
    void SnapshotWidths();
    void ColumnResized();
    // Runs `body`; an error raised in it is shown with the operation's name and ends there.
    bool Caught(const char* operation, const std::function<void()>& body);

    QStringList fields_;
    QPointer<TvornSource> source_;
    QPointer<TvornFinder> finder_;
    bool sorted_ = false;
    QString sortField_ = QStringLiteral(".01");

    bool loaded_ = false;
    bool loading_ = false;
    bool filling_ = false;
    bool followClicks_ = false;
    // Off while the source shows no record: the current row is drawn unselected.
    bool rowPaintingNormal_ = false;
    // The logical listing's rows of every batch so far, and where the server goes on.
    QStringList logicalLines_;
    QString logicalFrom_;
    // The dictionary type of the sort field, asked once per file and field.
    QString sortTypeKey_;
    QString sortType_;
    // Column widths at the last mouse press, each followed by "^"; empty once fitted.
    QString widthSnapshot_;
    QPoint lastPress_;
};

}  // namespace vorn

#pragma GCC visibility pop
