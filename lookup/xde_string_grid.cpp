#include "lookup/internal/xde_string_grid.h"

#include "lookup/internal/header_grip.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

namespace vorn {

TXDEStringGrid::TXDEStringGrid(QWidget* parent) : QTableWidget(1, 1, parent) {
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Tab moves on to the next control of the form, as in any other field; the arrow keys move
    // between the rows.
    setTabKeyNavigation(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->viewport()->installEventFilter(this);
    setHorizontalHeaderItem(0, new QTableWidgetItem);
    ApplyBold();
}

void TXDEStringGrid::SetBoldCol(int column) {
    boldCol_ = column;
    ApplyBold();
}

void TXDEStringGrid::ApplyBold() {
    for (int c = 0; c < columnCount(); ++c) {
        QTableWidgetItem* heading = horizontalHeaderItem(c);
        if (!heading) continue;
        QFont font = heading->font();
        font.setBold(c == boldCol_);
        heading->setFont(font);
    }
}

void TXDEStringGrid::SetRowCount(int rows) {
    setRowCount(std::max(rows, 2) - 1);
}

void TXDEStringGrid::SetColCount(int columns) {
    setColumnCount(columns);
    for (int c = 0; c < columns; ++c)
        if (!horizontalHeaderItem(c)) setHorizontalHeaderItem(c, new QTableWidgetItem);
    ApplyBold();
}

void TXDEStringGrid::SetDefaultRowHeight(int height) {
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->setFixedHeight(height);
}

QString TXDEStringGrid::Cell(int column, int row) const {
    const QTableWidgetItem* cell = row == 0 ? horizontalHeaderItem(column) : item(row - 1, column);
    return cell ? cell->text() : QString();
}

void TXDEStringGrid::SetCell(int column, int row, const QString& text) {
    if (row == 0) {
        QTableWidgetItem* heading = horizontalHeaderItem(column);
        if (!heading) {
            heading = new QTableWidgetItem;
            setHorizontalHeaderItem(column, heading);
        }
        heading->setText(text);
        ApplyBold();
        return;
    }
    if (QTableWidgetItem* cell = item(row - 1, column)) {
        cell->setText(text);
        return;
    }
    setItem(row - 1, column, new QTableWidgetItem(text));
}

void TXDEStringGrid::SetRow(int row) {
    if (row < 1 || row > rowCount()) return;
    setCurrentCell(row - 1, std::max(currentColumn(), 0));
}

bool TXDEStringGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == horizontalHeader()->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint pos = mouse->position().toPoint();
            // A press on a column border starts a resize, not a sort.
            if (OnResizeGrip(*horizontalHeader(), pos.x())) return false;
            emit HeadingPressed(horizontalHeader()->logicalIndexAt(pos), mouse->button(), pos);
        } else if (event->type() == QEvent::MouseButtonDblClick) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            const QPoint pos = mouse->position().toPoint();
            if (OnResizeGrip(*horizontalHeader(), pos.x())) return false;
            emit HeadingDoubleClicked(horizontalHeader()->logicalIndexAt(pos), pos);
            return true;
        }
    }
    return QTableWidget::eventFilter(watched, event);
}

void TXDEStringGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit EnterPressed();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void TXDEStringGrid::mousePressEvent(QMouseEvent* event) {
    emit DataPressed(event->position().toPoint());
    QTableWidget::mousePressEvent(event);
}

void TXDEStringGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const int row = RowAt(event->position().toPoint());
    QTableWidget::mouseDoubleClickEvent(event);
    if (row >= 1) emit RowDoubleClicked(row);
}

}  // namespace vorn
