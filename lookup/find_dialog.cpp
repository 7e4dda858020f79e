#include "lookup/find_dialog.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "broker/pieces.h"
#include "lookup/bound_grid_rows.h"
#include "lookup/find_dialog_client.h"
#include "lookup/pick_list.h"
#include "lookup/xde_string_grid.h"
#include "source/field_help_display.h"
#include "source/message_text.h"
#include "source/source_messages.h"
#include "source/vorn_source.h"
#include "toolkit/event_guard.h"

namespace vorn {
namespace {

const QString kCaret = QStringLiteral("^");
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

TfrmFind::~TfrmFind() {
    // Closed by its close box: for the edit that is a cancel.
    if (client_ && editWidget_ && !client_->Selected) {
        const TNotifyEvent afterCancel = client_->AfterCancel;
        QWidget* edit = editWidget_;
        if (afterCancel) ui::Guarded([&] { afterCancel(edit); }, edit);
    }
}

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
    connect(grdPick, &TXDEStringGrid::DataPressed, this, [this](const QPoint& pos) {
        if (client_) client_->MousePosition = pos;
    });
    connect(grdPick, &TXDEStringGrid::HeadingPressed, this,
            ui::GuardedSlot(this, [this](int column, Qt::MouseButton button, const QPoint& pos) {
                if (!client_) return;
                client_->MousePosition = pos;
                const TvornSortClick click = client_->SortClick;
                if ((button == Qt::LeftButton && click == scLeft) ||
                    (button == Qt::RightButton && click == scRight))
                    SortByHeading(column);
            }));
    connect(grdPick, &TXDEStringGrid::HeadingDoubleClicked, this,
            ui::GuardedSlot(this, [this](int column, const QPoint&) {
                if (client_ && client_->SortClick == scDouble) SortByHeading(column);
            }));
}

void TfrmFind::SetEdit(FindDialogClient* edit) {
    client_ = edit;
    editWidget_ = edit ? edit->EditWidget() : nullptr;
}

FindDialogClient* TfrmFind::Edit() const {
    return editWidget_ ? client_ : nullptr;
}

void TfrmFind::DetachEdit() {
    client_ = nullptr;
    editWidget_ = nullptr;
}

void TfrmFind::Prepare(const FindDialogSetup& setup) {
    FindDialogClient* e = Edit();
    if (!e) return;
    QWidget* edit = e->EditWidget();
    TvornFinder* finder = e->CurrentFinder;
    TRPCBroker* broker = finder ? finder->RPCBroker() : nullptr;

    setWindowTitle(setup.caption);
    setFont(edit->font());
    edtFind->setFont(edit->font());
    edtFind->setText(e->Text());

    const QList<picklist::Column> columns = picklist::Columns(e->ModeFields());
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
    m.searchHeight = edit->height();
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
    FindDialogClient* e = Edit();
    if (!e || !e->CurrentFinder) return;
    TvornFinder& finder = *e->CurrentFinder;
    if (!e->SortField.isEmpty()) {
        FetchRemaining(finder);
        picklist::SortRecords(finder, e->SortField, e->SortOrder);
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
    grdPick->SetBoldCol(e->SortField.isEmpty() ? -1 : fields.indexOf(e->SortField));

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
    FindDialogClient* e = Edit();
    if (!e || !e->CurrentFinder) return false;
    const int row = grdPick->Row();
    const QStringList& records = e->CurrentFinder->Records;
    if (row <= 0 || records.isEmpty() || row > records.size()) return false;
    line = records[row - 1];
    return true;
}

void TfrmFind::Select() {
    QString line;
    if (!CurrentLine(line)) return;
    FindDialogClient& e = *Edit();
    TvornSource* source = e.Source();
    const QString oldInternal = e.InternalValue();
    e.ChosenIen = Piece(line, kCaret, 1);
    e.ChosenLine = line;
    if (!source) {
        e.SetText(Piece(e.ChosenLine, kCaret, 2));
        if (!e.PointerMode) e.SetInternalValue(e.Text());
    }
    if (e.PointerMode) {
        e.SetInternalValue(e.ChosenIen);
        e.ExternalValue = Piece(line, kCaret, picklist::DisplayPiece(e.ModeFields()));
        e.SetText(e.ExternalValue);
        e.TextModified = e.Text() != e.FilledText;
        e.ValueModified = e.InternalValue() != oldInternal;
        if ((e.TextModified || e.ValueModified) && source) e.MarkChanged();
        e.TextModified = false;
        e.TakeFocus();
    } else if (source) {
        // Kept open when the user would rather stay with the record being edited.
        if (!e.LeaveEditedRecord()) return;
        source->GetAndFill(e.ChosenIen);
        source->UpdateHistory();
    }
    e.TextModified = false;
    close();
    e.Selected = true;
    e.Chosen = false;
    RaiseEvent(e.AfterExecute, e.EditWidget());
}

void TfrmFind::Insert() {
    FindDialogClient* client = Edit();
    if (!client) return;
    FindDialogClient& e = *client;
    if (e.PointerMode) {
        e.FetchPage(false);
        FillGrid();
        e.InsertText = edtFind->text();
        if (e.OnInsert) {
            DropStayOnTop();
            RaiseEvent(e.OnInsert, e.EditWidget());
        }
        e.DialogResult = kResultInsert;
        close();
        // An insert is no cancel: the dialog going away must not report one.
        e.Selected = true;
        RaiseEvent(e.AfterExecute, e.EditWidget());
        return;
    }
    TvornSource* source = e.Source();
    if (source) {
        if (!e.LeaveEditedRecord()) return;
        if (source->State() != ssNew || e.InsertKeyLength < 1 || e.Chosen)
            source->Insert();
        else
            source->Cancel();
        source->BeginEdit();
    }
    const QString typed = edtFind->text();
    e.SetInternalValue(typed);
    e.SetText(typed);
    e.InsertText = e.Text();
    e.TakeFocus();
    e.TextModified = true;
    if (source) {
        e.MarkChanged();
        RaiseEvent(e.AfterExecute, e.EditWidget());
    } else if (e.OnInsert) {
        DropStayOnTop();
        RaiseEvent(e.OnInsert, e.EditWidget());
    }
    e.DialogResult = kResultInsert;
    close();
    e.Selected = true;
    e.Chosen = true;
}

void TfrmFind::CancelDialog() {
    FindDialogClient* client = Edit();
    if (!client) {
        close();
        return;
    }
    FindDialogClient& e = *client;
    e.ChosenLine.clear();
    e.ChosenIen = QStringLiteral("-1");
    e.DialogResult = kResultCancel;
    e.Chosen = false;
    e.TakeFocus();
    close();
    e.Selected = true;
    RaiseEvent(e.AfterCancel, e.EditWidget());
}

void TfrmFind::Zoom() {
    QString line;
    if (!CurrentLine(line)) return;
    FindDialogClient& e = *Edit();
    e.ChosenIen = Piece(line, kCaret, 1);
    if (e.OnZoom) {
        DropStayOnTop();
        RaiseEvent(e.OnZoom, this);
    }
    FillGrid();
    // The zoomed entry stays the current row, so that Select afterwards takes that entry.
    const qsizetype row =
        gridrows::IndexOf(e.CurrentFinder ? e.CurrentFinder->Records : QStringList(), e.ChosenIen);
    if (row >= 0) grdPick->SetRow(static_cast<int>(row) + 1);
    e.DialogResult = kResultZoom;
}

void TfrmFind::More() {
    FindDialogClient* e = Edit();
    if (!e) return;
    e->FetchPage(true);
    FillGrid(true);
}

void TfrmFind::FindAgain() {
    FindDialogClient* e = Edit();
    if (!e || !e->CurrentFinder) return;
    TvornFinder& finder = *e->CurrentFinder;
    const QString typed = edtFind->text();
    if (e->FindOnly && typed.isEmpty()) {
        say::Information(GetDialogText(147, {}, finder.RPCBroker()));
        return;
    }
    finder.SetPartList({});
    finder.SetLookupRequested(false);
    if (!typed.isEmpty()) {
        finder.SetPartList({typed.left(kSearchLength)});
        finder.SetLookupRequested(true);
    }
    e->FetchPage(false);
    FillGrid();
}

void TfrmFind::ShowFieldHelp() {
    FindDialogClient* e = Edit();
    if (!e || !e->FMHelpUsed || !e->Source()) return;
    vorn::ShowFieldHelp(*e->Source(), e->FMField(), e->FMDisplayName());
}

void TfrmFind::SortByHeading(int column) {
    FindDialogClient* e = Edit();
    if (!e || e->SortField.isEmpty()) return;
    const QStringList fields = picklist::FieldNumbers(e->ModeFields());
    if (column < 0 || column >= fields.size()) return;
    e->SortField = fields[column];
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

void TfrmFind::RaiseEvent(const TNotifyEvent& event, QObject* sender) {
    // A copy: the handler may replace the event it runs in.
    const TNotifyEvent handler = event;
    if (handler) handler(sender);
}

void TfrmFind::closeEvent(QCloseEvent* event) {
    if (FindDialogClient* e = Edit()) {
        e->DialogActive = false;
        e->Selected = false;
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
        ui::Guarded([this] { ShowFieldHelp(); }, this);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vorn
