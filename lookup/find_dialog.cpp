#include "lookup/find_dialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "broker/pieces.h"
#include "lookup/find_dialog_client.h"
#include "lookup/internal/bound_grid_rows.h"
#include "lookup/internal/pick_list.h"
#include "lookup/internal/xde_string_grid.h"
#include "source/internal/field_help_display.h"
#include "source/internal/source_messages.h"
#include "source/message_text.h"
#include "source/vorn_source.h"
#include "toolkit/event_guard.h"

namespace vorn {
namespace {

const QString kFindCaret = QStringLiteral("^");
constexpr int kSearchLength = 30;
constexpr int kMoreWidth = 25;
constexpr int kResultInsert = 101;
constexpr int kResultCancel = 2;
constexpr int kResultZoom = 4;
const QColor kMoreColour(0x00, 0x80, 0x00);

QPushButton* MakeButton(QWidget* parent, const char* name) {
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    // Enter belongs to the grid and the search box, not to a default button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

int FontPoints(const QFont& font, int pixelsPerInch) {
    if (font.pointSize() > 0) return font.pointSize();
    if (font.pointSizeF() > 0) return qRound(font.pointSizeF());
    return font.pixelSize() * 72 / std::max(pixelsPerInch, 1);
}

}  // namespace

TfrmFind::TfrmFind(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmFind"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    edtFind = new QLineEdit(this);
    edtFind->setObjectName(QStringLiteral("edtFind"));
    grdPick = new TXDEStringGrid(this);
    grdPick->setObjectName(QStringLiteral("grdPick"));
    btnSelect = MakeButton(this, "btnSelect");
    btnInsert = MakeButton(this, "btnInsert");
    btnCancel = MakeButton(this, "btnCancel");
    btnMore = MakeButton(this, "btnMore");
    btnMore->setText(QStringLiteral(">>"));
    btnMore->resize(kMoreWidth, btnMore->height());
    btnFind = MakeButton(this, "btnFind");
    btnZoom = MakeButton(this, "btnZoom");
    edtFind->installEventFilter(this);
    Connect();
}

TfrmFind::~TfrmFind() = default;

void TfrmFind::Connect() {
    connect(btnSelect, &QPushButton::clicked, this, ui::GuardedSlot(this, [this] { Select(); }));
    connect(btnInsert, &QPushButton::clicked, this, ui::GuardedSlot(this, [this] { Insert(); }));
    connect(btnCancel, &QPushButton::clicked, this,
            ui::GuardedSlot(this, [this] { CancelDialog(); }));
    connect(btnZoom, &QPushButton::clicked, this, ui::GuardedSlot(this, [this] { Zoom(); }));
    connect(btnMore, &QPushButton::clicked, this, ui::GuardedSlot(this, [this] { More(); }));
    connect(btnFind, &QPushButton::clicked, this, ui::GuardedSlot(this, [this] { FindAgain(); }));
    connect(edtFind, &QLineEdit::returnPressed, this,
            ui::GuardedSlot(this, [this] { FindAgain(); }));
    connect(grdPick, &TXDEStringGrid::EnterPressed, this,
            ui::GuardedSlot(this, [this] { Select(); }));
    connect(grdPick, &TXDEStringGrid::RowDoubleClicked, this,
            ui::GuardedSlot(this, [this] { Select(); }));
    connect(grdPick, &TXDEStringGrid::DataPressed, this,
            [this](const QPoint& pos) { mousePosition_ = pos; });
    connect(grdPick, &TXDEStringGrid::HeadingPressed, this,
            ui::GuardedSlot(this, [this](int column, Qt::MouseButton button, const QPoint& pos) {
                mousePosition_ = pos;
                const TvornSortClick click = client_.sortClick;
                if ((button == Qt::LeftButton && click == scLeft) ||
                    (button == Qt::RightButton && click == scRight))
                    SortByHeading(column);
            }));
    connect(grdPick, &TXDEStringGrid::HeadingDoubleClicked, this,
            ui::GuardedSlot(this, [this](int column, const QPoint&) {
                if (client_.sortClick == scDouble) SortByHeading(column);
            }));
}

void TfrmFind::Prepare(const FindDialogSetup& setup, const FindDialogClient& client,
                       QWidget& edit) {
    client_ = client;
    finished_ = false;
    TvornFinder* finder = client_.finder;
    TRPCBroker* broker = finder ? finder->RPCBroker() : nullptr;

    setWindowTitle(setup.caption);
    // The list and the search box are named for a screen reader by what the dialog is for.
    grdPick->setAccessibleName(setup.caption.isEmpty() ? QStringLiteral("Entries") : setup.caption);
    edtFind->setAccessibleName(QStringLiteral("Search text"));
    setFont(edit.font());
    edtFind->setFont(edit.font());
    auto* typed = qobject_cast<QLineEdit*>(&edit);
    edtFind->setText(typed ? typed->text() : QString());

    const QList<picklist::Column> columns = picklist::Columns(client_.columns);
    grdPick->SetColCount(static_cast<int>(columns.size()));
    grdPick->SetDefaultRowHeight(setup.rowHeight);
    FindDialogMeasures m;
    for (int c = 0; c < columns.size(); ++c) {
        grdPick->SetColWidth(c, columns[c].width);
        grdPick->SetCell(c, 0, columns[c].caption);
        m.columnWidths.append(columns[c].width);
    }
    dropDownCount_ = setup.dropDownCount;
    lastColumnWidth_ = columns.isEmpty() ? 0 : columns.last().width;
    scrollBarWidth_ = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grdPick);

    QList<QPushButton*> shown;
    if (setup.showSelect) shown.append(btnSelect);
    if (setup.showInsert) shown.append(btnInsert);
    if (setup.showZoom) shown.append(btnZoom);
    if (setup.showCancel) shown.append(btnCancel);

    btnFind->setText(GetMessageText(25, broker));
    btnSelect->setText(GetMessageText(19, broker));
    btnInsert->setText(GetMessageText(26, broker));
    btnZoom->setText(GetMessageText(27, broker));
    btnCancel->setText(GetMessageText(17, broker));
    btnMore->setToolTip(GetMessageText(78, broker));

    m.searchTop = edtFind->y();
    m.searchHeight = edit.height();
    m.rowHeight = setup.rowHeight;
    m.dropDownCount = setup.dropDownCount;
    m.buttonCount = static_cast<int>(shown.size());
    m.moreWidth = btnMore->width();
    m.findWidth = btnFind->width();
    m.pixelsPerInch = logicalDpiY();
    m.buttonFontPoints = FontPoints(btnSelect->font(), m.pixelsPerInch);
    layout_ = LayOutFindDialog(m);
    const FindDialogLayout& l = layout_;

    edtFind->setGeometry(0, m.searchTop, l.searchWidth, m.searchHeight);
    btnFind->setGeometry(l.findLeft, edtFind->y(), m.findWidth, m.searchHeight);
    grdPick->setGeometry(0, l.gridTop, l.gridWidth, l.gridHeight);
    for (int i = 0; i < shown.size(); ++i)
        shown[i]->setGeometry(i * l.buttonPitch, l.buttonTop, l.buttonPitch - 1, l.buttonHeight);
    btnMore->setGeometry(l.moreLeft, l.buttonTop, m.moreWidth, l.buttonHeight);
    btnSelect->setVisible(setup.showSelect);
    btnInsert->setVisible(setup.showInsert);
    btnZoom->setVisible(setup.showZoom);
    btnCancel->setVisible(setup.showCancel);
    // The layout numbers are the outer size; Qt sizes the client area.
    resize(l.formWidth - kFrameWidth, l.formHeight - kFrameHeight);
}

void TfrmFind::FillGrid(bool afterMore) {
    if (!client_.finder) return;
    TvornFinder& finder = *client_.finder;
    if (!client_.sortField.isEmpty()) {
        FetchRemaining(finder);
        picklist::SortRecords(finder, client_.sortField, client_.sortOrder);
    }
    btnMore->setEnabled(finder.Part().isEmpty() && finder.MoreRecords);
    SetMoreColour(finder.MoreRecords);

    const QStringList& lines = finder.Records;
    const QStringList& fields = finder.FieldList;
    grdPick->clearContents();
    grdPick->SetRowCount(lines.isEmpty() ? 2 : static_cast<int>(lines.size()) + 1);
    const int columns = grdPick->ColCount();
    for (int r = 0; r < lines.size(); ++r)
        for (int c = 0; c < columns; ++c)
            grdPick->SetCell(c, r + 1, picklist::CellText(lines[r], fields, c));
    btnSelect->setEnabled(!lines.isEmpty());
    btnZoom->setEnabled(!lines.isEmpty());
    grdPick->SetBoldCol(client_.sortField.isEmpty() ? -1 : fields.indexOf(client_.sortField));

    // The vertical scroll bar takes its room from the last column.
    if (columns > 0)
        grdPick->SetColWidth(columns - 1, grdPick->RowCount() - 1 <= dropDownCount_
                                              ? lastColumnWidth_
                                              : lastColumnWidth_ - scrollBarWidth_);
    if (afterMore) {
        grdPick->SetRow(grdPick->RowCount() - 1);
        grdPick->scrollToBottom();
    } else {
        grdPick->SetRow(1);
    }
}

bool TfrmFind::CurrentLine(QString& line) const {
    if (!client_.finder) return false;
    const int row = grdPick->Row();
    const QStringList& records = client_.finder->Records;
    if (row <= 0 || records.isEmpty() || row > records.size()) return false;
    line = records[row - 1];
    return true;
}

void TfrmFind::FetchPage(bool more) {
    if (client_.finder) picklist::FetchPage(*client_.finder, more);
}

void TfrmFind::Select() {
    QString line;
    if (!CurrentLine(line)) return;
    emit Result({FindResult::Action::Select, Piece(line, kFindCaret, 1), line, {}, false});
}

void TfrmFind::Insert() {
    if (client_.pointerMode) {
        FetchPage(false);
        FillGrid();
    }
    emit Result({FindResult::Action::Insert, {}, {}, edtFind->text(), false});
}

void TfrmFind::CancelDialog() {
    emit Result({FindResult::Action::Cancel, {}, {}, {}, false});
}

void TfrmFind::Zoom() {
    QString line;
    if (!CurrentLine(line)) return;
    const QString ien = Piece(line, kFindCaret, 1);
    emit Result({FindResult::Action::Zoom, ien, line, {}, false});
    FillGrid();
    // The zoomed entry stays the current row, so that Select afterwards takes that entry.
    const qsizetype row =
        client_.finder ? gridrows::IndexOf(client_.finder->Records, ien) : qsizetype(-1);
    if (row >= 0) grdPick->SetRow(static_cast<int>(row) + 1);
}

void TfrmFind::More() {
    FetchPage(true);
    FillGrid(true);
}

void TfrmFind::FindAgain() {
    if (!client_.finder) return;
    TvornFinder& finder = *client_.finder;
    const QString typed = edtFind->text();
    if (client_.findOnly && typed.isEmpty()) {
        say::Information(GetDialogText(147, {}, finder.RPCBroker()));
        return;
    }
    finder.SetPartList({});
    finder.SetLookupRequested(false);
    if (!typed.isEmpty()) {
        finder.SetPartList({typed.left(kSearchLength)});
        finder.SetLookupRequested(true);
    }
    FetchPage(false);
    FillGrid();
}

void TfrmFind::SortByHeading(int column) {
    if (client_.sortField.isEmpty()) return;
    const QStringList fields = picklist::FieldNumbers(client_.columns);
    if (column < 0 || column >= fields.size()) return;
    client_.sortField = fields[column];
    emit SortFieldChanged(client_.sortField);
    FillGrid();
}

void TfrmFind::DropStayOnTop() {
    if (!(windowFlags() & Qt::WindowStaysOnTopHint)) return;
    const bool shown = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, false);
    if (shown) show();
}

void TfrmFind::SetMoreColour(bool more) {
    QPalette palette = btnMore->palette();
    palette.setColor(QPalette::ButtonText, more ? kMoreColour : QColor(Qt::black));
    btnMore->setPalette(palette);
}

void TfrmFind::Finish() {
    finished_ = true;
    close();
}

void TfrmFind::closeEvent(QCloseEvent* event) {
    // Closed by its close box: for the edit that is a cancel.
    if (!finished_) {
        finished_ = true;
        ui::Guarded([this] { emit Result({FindResult::Action::Cancel, {}, {}, {}, true}); }, this);
    }
    // Not QDialog's own handling, which would run reject() and so a second cancel.
    event->accept();
}

void TfrmFind::reject() {
    ui::Guarded([this] { CancelDialog(); }, this);
}

bool TfrmFind::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edtFind && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        ui::Guarded([this] { emit HelpRequested(); }, this);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vorn
