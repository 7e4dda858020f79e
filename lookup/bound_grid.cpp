#include "lookup/bound_grid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <exception>

#include "broker/pieces.h"
#include "lookup/internal/bound_grid_columns.h"
#include "lookup/internal/bound_grid_rows.h"
#include "lookup/internal/header_grip.h"
#include "lookup/internal/logical_listing.h"
#include "lookup/internal/pick_list.h"
#include "source/internal/flag_scope.h"
#include "source/internal/source_core.h"
#include "source/internal/source_messages.h"
#include "source/internal/source_registry.h"
#include "source/server_queries.h"
#include "toolkit/event_guard.h"

namespace vorn {
namespace {

const QString kCaret = QStringLiteral("^");
constexpr int kDefaultColumnWidth = 150;
constexpr int kLineWidth = 1;

}  // namespace

TvornGrid::TvornGrid(QWidget* parent) : QTableWidget(1, 1, parent) {
    verticalHeader()->hide();
    horizontalHeader()->setDefaultSectionSize(kDefaultColumnWidth);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Tab moves on to the next control of the form, as in any other field; the arrow keys move
    // between the rows.
    setTabKeyNavigation(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setShowGrid(true);
    horizontalHeader()->viewport()->installEventFilter(this);
    connect(this, &QTableWidget::currentCellChanged, this,
            ui::GuardedSlot(this, [this] { FetchMoreAtLastRow(); }));
    connect(this, &QTableWidget::cellClicked, this, ui::GuardedSlot(this, [this] { Click(); }));
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            ui::GuardedSlot(this, [this] { ColumnResized(); }));
}

TvornGrid::~TvornGrid() {
    if (source_) SourceCore::Of(*source_).Registry().RemoveGrid(this);
}

void TvornGrid::SetvornSource(TvornSource* source) {
    if (source_ == source) return;
    if (loaded_ && source_) SourceCore::Of(*source_).Registry().RemoveGrid(this);
    source_ = source;
    if (loaded_ && source_) SourceCore::Of(*source_).Registry().AddGrid(this);
}

void TvornGrid::SetSorted(bool on) {
    sorted_ = on;
    if (on && sortField_.isEmpty()) sortField_ = QStringLiteral(".01");
    UpdateHeaderFonts();
}

void TvornGrid::SetSortField(const QString& field) {
    sortField_ = field;
    UpdateHeaderFonts();
}

// --- loading ---

void TvornGrid::Loaded() {
    ApplyFields();
    // The form was drawn with another font: a caption wider than its column widens the column
    // rather than being cut.
    for (int i = 0; i < columnCount(); ++i)
        setColumnWidth(i, std::max(columnWidth(i), horizontalHeader()->sectionSizeHint(i)));
    if (!finder_) {
        auto* own = new TvornFinder(this);
        own->setObjectName(objectName() + QStringLiteral("Finder"));
        finder_ = own;
    }
    if (source_) SourceCore::Of(*source_).Registry().AddGrid(this);
    // A screen reader names the list by the records it lists, unless the form named it.
    if (accessibleName().isEmpty() && source_) setAccessibleName(source_->FileName);
    followClicks_ = true;
    loaded_ = true;
}

void TvornGrid::ApplyFields() {
    FlagScope loading(loading_);
    setColumnCount(static_cast<int>(fields_.size()));
    for (int i = 0; i < fields_.size(); ++i) {
        const gridcolumns::Column column = gridcolumns::Parse(fields_[i], kDefaultColumnWidth);
        setHorizontalHeaderItem(i, new QTableWidgetItem(column.caption));
        setColumnWidth(i, column.width);
    }
    UpdateHeaderFonts();
}

void TvornGrid::UpdateHeaderFonts() {
    for (int i = 0; i < columnCount(); ++i) {
        QTableWidgetItem* header = horizontalHeaderItem(i);
        if (!header) continue;
        QFont font = header->font();
        font.setBold(sorted_ && Piece(fields_.value(i), QStringLiteral(","), 1) == sortField_);
        header->setFont(font);
    }
}

QStringList TvornGrid::ColumnFields() const {
    return picklist::FieldNumbers(fields_);
}

bool TvornGrid::IsLogical() const {
    return source_ && SourceCore::Of(*source_).Master() &&
           source_->TypeIfSubFile == TvornSubFileType::Logical;
}

// --- caught errors ---

bool TvornGrid::Caught(const char* operation, const std::function<void()>& body) {
    QString failure;
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        failure = QString::fromStdString(e.what());
    } catch (...) {
        failure = ui::kUnknownFailure;
    }
    say::Error(failure + QStringLiteral(" occured in procedure ") + objectName() + u'.' +
               QLatin1String(operation));
    return false;
}

// --- listing ---

bool TvornGrid::Fill() {
    bool more = false;
    Caught("Fill", [this, &more] {
        more = List();
        HighlightRowOfSource();
    });
    return more;
}

void TvornGrid::HighlightRowOfSource() {
    if (!source_ || !finder_ || finder_->Records.isEmpty()) return;
    // Read again, the rows may have moved under the highlight: it stays only on the record the
    // source shows, among the rows already listed (finding it further would fetch batches).
    const bool shows = source_->State() == ssBrowse || source_->State() == ssEdit;
    const qsizetype index =
        shows ? gridrows::IndexOf(finder_->Records, source_->Address().Number()) : qsizetype(-1);
    if (index >= 0)
        PlaceRow(static_cast<int>(index));
    else
        RemoveFocus();
}

bool TvornGrid::List() {
    if (!finder_) return false;
    const bool logical = IsLogical();
    if (source_) {
        if (!Allows(SourceCore::Of(*source_), uaRead)) return false;
        finder_->MoreRecords = false;
        if (TvornSource* master = SourceCore::Of(*source_).Master()) {
            // A detail whose master shows no record has nothing to list.
            if (master->Address().Number().isEmpty()) {
                Clear();
                return false;
            }
            if (!source_->FMScreen.isEmpty()) finder_->Screen = source_->FMScreen;
            if (source_->TypeIfSubFile == TvornSubFileType::Hierarchical)
                finder_->SetIENS(master->Address().FullIens());
        }
        if (finder_->FileNumber.isEmpty()) finder_->FileNumber = source_->FileNumber;
        finder_->SetRPCBroker(source_->RPCBroker());
        finder_->FMIndex = source_->FMIndex;
    }
    if (finder_->Number.isEmpty() || finder_->Number == QLatin1String("20"))
        finder_->Number = Number;
    finder_->FieldList = ColumnFields();
    if (logical) {
        logicalLines_.clear();
        ListLogical(false);
    } else {
        finder_->GetList();
        // The whole file is sorted, not the first batch of it.
        if (sorted_) {
            FetchRemaining(*finder_);
            SortRows();
        }
    }
    FillGrid(false);
    return finder_->MoreRecords;
}

bool TvornGrid::FillMore() {
    bool more = false;
    Caught("FillMore", [this, &more] {
        if (!finder_) return;
        const bool logical = IsLogical();
        if (logical)
            ListLogical(true);
        else
            finder_->GetMore();
        if (sorted_ && !logical) SortRows();
        FillGrid(true);
        more = finder_->MoreRecords;
    });
    return more;
}

void TvornGrid::ListLogical(bool continuing) {
    TvornSource* master = SourceCore::Of(*source_).Master();
    TRPCBroker* broker = source_->RPCBroker();
    if (!broker) {
        say::Error(source_->objectName() +
                   QStringLiteral(" is not associated with a RPC Broker component!"));
        return;
    }
    logical::Query query;
    query.file = finder_->FileNumber;
    query.xref = finder_->FMIndex;
    query.masterRecord = master->Address().Number();
    query.fields = finder_->FieldList;
    query.number = finder_->Number;
    query.screen = finder_->Screen;
    query.continues = continuing;
    query.from = logicalFrom_;
    if (sorted_) query.sortField = sortField_;
    query.descending = SortOrder == soDescending;
    // The handlers see the values this listing uses; the part lists are not used by it.
    QStringList partList;
    QStringList fromList;
    if (continuing) {
        if (finder_->BeforeGetMore)
            finder_->BeforeGetMore(this, query.screen, query.xref, query.number, query.masterRecord,
                                   query.from, partList, fromList);
    } else if (finder_->BeforeGetList) {
        finder_->BeforeGetList(this, query.screen, query.xref, query.number, query.masterRecord,
                               partList);
    }
    const logical::Reply reply = logical::ReadReply(broker->Call(logical::Request(query)));
    finder_->MoreRecords = reply.more;
    logicalFrom_ = reply.more ? reply.from : QString();
    logicalLines_ += reply.lines;
    if (sorted_ && OnSort) OnSort(this, logicalLines_);
    finder_->Records = logicalLines_;
    if (continuing) {
        if (finder_->AfterGetMore) finder_->AfterGetMore(this);
    } else if (finder_->AfterGetList) {
        finder_->AfterGetList(this);
    }
}

// --- sorting ---

QString TvornGrid::SortFieldType(const QString& file, TRPCBroker* broker) {
    const QString key = file + u'^' + sortField_;
    if (key != sortTypeKey_) {
        sortType_ = GetFieldAttribute(file, sortField_, broker);
        sortTypeKey_ = key;
    }
    return sortType_;
}

void TvornGrid::SortRows() {
    if (!finder_ || finder_->Records.size() < 2) return;
    const qsizetype position = finder_->FieldList.indexOf(sortField_);
    if (position < 0) return;
    const QString file = source_ ? source_->FileNumber : finder_->FileNumber;
    TRPCBroker* broker = source_ ? source_->RPCBroker() : finder_->RPCBroker();
    QStringList lines = picklist::SortedLines(finder_->Records, static_cast<int>(position),
                                              SortFieldType(file, broker),
                                              SortOrder == soDescending, file, sortField_, broker);
    if (OnSort) OnSort(this, lines);
    finder_->Records = lines;
    if (source_) SourceCore::Of(*source_).Buttons().RefreshAll();
    viewport()->update();
}

// --- showing the rows ---

void TvornGrid::FillGrid(bool keepScroll) {
    Caught("FillGrid", [this, keepScroll] { ShowRows(keepScroll); });
}

void TvornGrid::ShowRows(bool keepScroll) {
    if (!finder_ || finder_->Records.isEmpty() || finder_->FieldList.isEmpty()) {
        Clear();
        return;
    }
    const QStringList& lines = finder_->Records;
    const int oldRowCount = RowCount();
    {
        FlagScope filling(filling_);
        setRowCount(static_cast<int>(lines.size()));
        for (int r = 0; r < lines.size(); ++r) {
            for (int c = 0; c < columnCount(); ++c) {
                const QString text = Piece(lines[r], kCaret, c + 2);
                if (QTableWidgetItem* cell = item(r, c)) {
                    if (cell->text() != text) cell->setText(text);
                } else {
                    setItem(r, c, new QTableWidgetItem(text));
                }
            }
        }
    }
    const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    const int visibleRows = viewport()->height() / rowHeight;
    // A new listing starts at its top, wherever the last one was scrolled to: the row placed
    // afterwards scrolls into view itself.
    if (!keepScroll || oldRowCount - visibleRows < 2)
        verticalScrollBar()->setValue(0);
    else
        // The rows seen before the batch came stay in view: the old last row at the bottom.
        verticalScrollBar()->setValue(oldRowCount - visibleRows - 1);
    if (!rowPaintingNormal_) RemoveFocus();
}

void TvornGrid::Clear() {
    Caught("Clear", [this] {
        {
            FlagScope filling(filling_);
            setRowCount(1);
            for (int c = 0; c < columnCount(); ++c) {
                if (QTableWidgetItem* cell = item(0, c))
                    cell->setText(QString());
                else
                    setItem(0, c, new QTableWidgetItem());
            }
            if (finder_) {
                finder_->Records.clear();
                // Nothing is listed, so nothing is left to fetch after it either.
                finder_->MoreRecords = false;
            }
            logicalLines_.clear();
            logicalFrom_.clear();
            setCurrentCell(0, std::max(0, currentColumn()));
        }
        rowPaintingNormal_ = false;
        RemoveFocus();
    });
}

void TvornGrid::RemoveFocus() {
    Caught("RemoveFocus", [this] { clearSelection(); });
}

QString TvornGrid::Cell(int column, int row) const {
    if (row == 0) {
        const QTableWidgetItem* header = horizontalHeaderItem(column);
        return header ? header->text() : QString();
    }
    const QTableWidgetItem* cell = item(row - 1, column);
    return cell ? cell->text() : QString();
}

QStringList TvornGrid::RowLines() const {
    return finder_ ? finder_->Records : QStringList();
}

// --- records and rows ---

QString TvornGrid::RecordNumberAt(int row) const {
    if (row < 1 || !finder_ || row > finder_->Records.size()) return {};
    return gridrows::RecordOf(finder_->Records[row - 1]);
}

QString TvornGrid::RecordNumber() {
    QString record;
    Caught("RecordNumber", [this, &record] { record = RecordNumberAt(Row()); });
    return record;
}

void TvornGrid::PlaceRow(int index) {
    setCurrentCell(index, std::max(0, currentColumn()));
    // Already the current row, it is not scrolled to by itself.
    scrollTo(model()->index(index, std::max(0, currentColumn())));
    rowPaintingNormal_ = true;
    selectRow(index);
}

void TvornGrid::Locate(const QString& ien) {
    // No record (or a new one) is never listed: looking for it would fetch every batch.
    if (!finder_ || ien.isEmpty() || ien.startsWith(u'+')) return;
    qsizetype index = gridrows::IndexOf(finder_->Records, ien);
    while (index < 0 && finder_->MoreRecords) {
        const qsizetype before = finder_->Records.size();
        FillMore();
        // A batch that brought nothing (a failed call) must not make this loop for ever.
        if (finder_->Records.size() == before) break;
        index = gridrows::IndexOf(finder_->Records, ien);
    }
    if (index >= 0) PlaceRow(static_cast<int>(index));
}

QString TvornGrid::NavigateRecord(Direction direction, const QString& ien) {
    if (!finder_) return {};
    return gridrows::Neighbour(finder_->Records, direction, ien);
}

bool TvornGrid::AtFirstRow() const {
    return currentRow() <= 0;
}

bool TvornGrid::AtLastRow() const {
    return currentRow() >= rowCount() - 1;
}

void TvornGrid::FetchMoreAtLastRow() {
    if (filling_ || !loaded_ || fields_.isEmpty() || !finder_ || !finder_->MoreRecords) return;
    if (currentRow() == rowCount() - 1) FillMore();
}

// --- the user's clicks and keys ---

void TvornGrid::Click() {
    Caught("Click", [this] {
        rowPaintingNormal_ = true;
        if (currentRow() >= 0) selectRow(currentRow());
        if (OnClick) OnClick(this);
        const QString record = RecordNumberAt(Row());
        if (followClicks_ && source_ && !record.isEmpty() &&
            Allows(SourceCore::Of(*source_), uaBrowse) && !source_->GetAndFill(record))
            // The user stayed with the record being edited: so does the grid.
            Locate(source_->Address().Number());
    });
    followClicks_ = true;
}

void TvornGrid::keyPressEvent(QKeyEvent* event) {
    ui::Guarded(
        [this, event] {
            const int before = currentRow();
            QTableWidget::keyPressEvent(event);
            if (currentRow() != before) Click();
        },
        this);
}

void TvornGrid::mousePressEvent(QMouseEvent* event) {
    SnapshotWidths();
    lastPress_ = event->position().toPoint();
    QTableWidget::mousePressEvent(event);
}

bool TvornGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            ui::Guarded([&] { HeaderPressed(static_cast<QMouseEvent*>(event)); }, this);
        else if (event->type() == QEvent::MouseButtonDblClick)
            ui::Guarded([&] { HeaderDoubleClicked(static_cast<QMouseEvent*>(event)); }, this);
    }
    return QTableWidget::eventFilter(watched, event);
}

void TvornGrid::HeaderPressed(QMouseEvent* event) {
    SnapshotWidths();
    const QPoint at = event->position().toPoint();
    lastPress_ = at;
    if (!sorted_ || !loaded_) return;
    const bool sortPress = (event->button() == Qt::LeftButton && SortClick == scLeft) ||
                           (event->button() == Qt::RightButton && SortClick == scRight);
    // A press on a column border starts a resize, not a sort.
    if (!sortPress || OnResizeGrip(*horizontalHeader(), at.x())) return;
    const int column = horizontalHeader()->logicalIndexAt(at.x());
    if (column >= 0) SortOnColumn(column);
}

void TvornGrid::HeaderDoubleClicked(QMouseEvent* event) {
    if (!sorted_ || !loaded_ || SortClick != scDouble) return;
    const QPoint at = event->position().toPoint();
    const int column = horizontalHeader()->logicalIndexAt(at.x());
    if (column < 0 || column != horizontalHeader()->logicalIndexAt(lastPress_.x())) return;
    if (OnResizeGrip(*horizontalHeader(), at.x())) return;
    SortOnColumn(column);
}

void TvornGrid::SortOnColumn(int column) {
    const QString remembered = source_ ? source_->Address().Number() : QString();
    SetSortField(Piece(fields_.value(column), QStringLiteral(","), 1));
    Fill();
    viewport()->update();
    if (!source_) return;
    // The record shown before stays shown when the new listing still holds it.
    if (finder_ && gridrows::IndexOf(finder_->Records, remembered) >= 0)
        source_->GetAndFill(remembered);
    else
        source_->First();
}

// --- column widths ---

void TvornGrid::SnapshotWidths() {
    widthSnapshot_.clear();
    for (int i = 0; i < columnCount(); ++i)
        widthSnapshot_ += QString::number(columnWidth(i)) + u'^';
}

void TvornGrid::ColumnResized() {
    if (fields_.isEmpty() || loading_ || !loaded_) return;
    if (columnCount() > fields_.size()) setColumnCount(static_cast<int>(fields_.size()));
    for (int i = 0; i < columnCount(); ++i) {
        gridcolumns::Column column = gridcolumns::Parse(fields_[i], kDefaultColumnWidth);
        column.width = columnWidth(i);
        fields_[i] = gridcolumns::Line(column);
    }
    const bool sizable = horizontalHeader()->sectionResizeMode(0) == QHeaderView::Interactive;
    if (columnCount() < 2 || !sizable || width() < 26 || widthSnapshot_.isEmpty()) return;
    widthSnapshot_.clear();
    QList<int> widths;
    for (int i = 0; i < columnCount(); ++i)
        widths.append(columnWidth(i));
    const QList<int> fitted = gridcolumns::Fit(widths, viewport()->width(), kLineWidth);
    for (int i = 0; i < fitted.size(); ++i)
        if (fitted[i] != columnWidth(i)) setColumnWidth(i, fitted[i]);
}

}  // namespace vorn
