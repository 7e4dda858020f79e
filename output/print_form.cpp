#include "output/internal/print_form.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

#include "output/internal/output_texts.h"
#include "toolkit/display_adjustment.h"
#include "toolkit/event_guard.h"

namespace vorn {
namespace {

constexpr int kDesignWidth = 700;
constexpr int kShownHeight = 460;
constexpr int kMinimumWidth = 600;
constexpr int kButtonHeight = 25;
constexpr int kMaxButtonWidth = 110;
constexpr int kTextMargin = 4;

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

QAction* MakeItem(QMenu* menu, const char* name, const QString& caption) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

void SetCaption(QPushButton* button, const QString& text) {
    if (!text.isEmpty()) button->setText(text);
}
void SetCaption(QAction* item, const QString& text) {
    if (!text.isEmpty()) item->setText(text);
}

}  // namespace

TfrmPrint::TfrmPrint(TRPCBroker* broker, QWidget* parent) : QDialog(parent), broker_(broker) {
    Build();
    Connect();
    AdjustFormToDisplay(*this);
    SetCaptions();
}

TfrmPrint::~TfrmPrint() = default;

void TfrmPrint::Build() {
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(QStringLiteral("Tulostusnäyttö"));
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    RichEdit1 = new QPlainTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setReadOnly(true);
    RichEdit1->setAccessibleName(QStringLiteral("Document"));
    RichEdit1->setLineWrapMode(QPlainTextEdit::NoWrap);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Courier New of 10 points: 13 pixels high at 96 pixels per inch.
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPointSize(10);
    RichEdit1->setFont(font);
    RichEdit1->setContextMenuPolicy(Qt::CustomContextMenu);
    RichEdit1->installEventFilter(this);

    btnPrint = MakeButton(this, "btnPrint", QStringLiteral("&Kirjoittimelle"));
    btnSaveAs = MakeButton(this, "btnSaveAs", QStringLiteral("&Tiedostoon"));
    btnWord = MakeButton(this, "btnWord", QStringLiteral("Tekstikäsittely"));
    btnCopy = MakeButton(this, "btnCopy", QStringLiteral("&Kopioi "));
    btnExit = MakeButton(this, "btnExit", QStringLiteral("&Lopetus"));
    btnExit->setDefault(true);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    pumSave = MakeItem(PopupMenu1, "pumSave", QStringLiteral("Talleta"));
    pumPrint = MakeItem(PopupMenu1, "pumPrint", QStringLiteral("Tulosta"));
    pumWord = MakeItem(PopupMenu1, "pumWord", QStringLiteral("Wordiin"));
    pumExcel = MakeItem(PopupMenu1, "pumExcel", QStringLiteral("Exceliin"));
    pumCopy = MakeItem(PopupMenu1, "pumCopy", QStringLiteral("Kopioi leikepöydälle"));
    PopupMenu1->addSeparator();
    pumMaximize = MakeItem(PopupMenu1, "pumMaximize", QStringLiteral("Suurenna ikkuna"));
    PopupMenu1->addSeparator();
    pumSearch = MakeItem(PopupMenu1, "pumSearch", QStringLiteral("&Etsi                 Ctrl+F"));
    setContextMenuPolicy(Qt::CustomContextMenu);

    setMinimumWidth(kMinimumWidth);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setMaximumWidth(std::max(kMinimumWidth, screen->availableGeometry().width()));
    resize(kDesignWidth, kShownHeight);
}

void TfrmPrint::Connect() {
    auto on = [this](auto* sender, auto signal, void (TfrmPrint::*command)()) {
        connect(sender, signal, this,
                ui::GuardedSlot(this, [this, command] { (this->*command)(); }));
    };
    on(btnPrint, &QPushButton::clicked, &TfrmPrint::PrintWithRange);
    on(btnSaveAs, &QPushButton::clicked, &TfrmPrint::SaveText);
    on(btnWord, &QPushButton::clicked, &TfrmPrint::ToWordProcessor);
    on(btnCopy, &QPushButton::clicked, &TfrmPrint::CopyText);
    connect(btnExit, &QPushButton::clicked, this, &QDialog::accept);
    on(pumSave, &QAction::triggered, &TfrmPrint::SaveText);
    on(pumPrint, &QAction::triggered, &TfrmPrint::PrintAll);
    on(pumWord, &QAction::triggered, &TfrmPrint::ToWordProcessor);
    on(pumExcel, &QAction::triggered, &TfrmPrint::ToSpreadsheet);
    on(pumCopy, &QAction::triggered, &TfrmPrint::CopyText);
    on(pumMaximize, &QAction::triggered, &TfrmPrint::ToggleMaximized);
    on(pumSearch, &QAction::triggered, &TfrmPrint::OpenFind);
    auto popup = [this](QWidget* from) {
        return [this, from](const QPoint& at) { PopupMenu1->popup(from->mapToGlobal(at)); };
    };
    connect(this, &QWidget::customContextMenuRequested, this, popup(this));
    connect(RichEdit1, &QWidget::customContextMenuRequested, this, popup(RichEdit1));
}

void TfrmPrint::SetCaptions() {
    TRPCBroker* broker = broker_.data();
    const QString title = OutputText(texts::kPrintPreview, broker);
    if (!title.isEmpty()) setWindowTitle(title);
    SetCaption(btnPrint, OutputText(texts::kPrintButton, broker));
    SetCaption(btnSaveAs, OutputText(texts::kSendToFile, broker));
    SetCaption(btnWord, OutputText(texts::kWordButton, broker));
    SetCaption(btnCopy, OutputText(texts::kCopyButton, broker));
    SetCaption(btnExit, OutputText(texts::kCloseButton, broker));
    SetCaption(pumSave, OutputText(texts::kSaveItem, broker));
    SetCaption(pumPrint, OutputText(texts::kPrintItem, broker));
    SetCaption(pumWord, OutputText(texts::kToWordProcessor, broker));
    SetCaption(pumExcel, OutputText(texts::kToExcelItem, broker));
    SetCaption(pumCopy, OutputText(texts::kCopyItem, broker));
    SetCaption(pumMaximize, OutputText(texts::kMaximize, broker));
    SetCaption(pumSearch, OutputText(texts::kFindItem, broker));
}

void TfrmPrint::SetupForm(TvornPrintDevices devices, const QString& extension) {
    extension_ = extension;
    const bool printer = devices.testFlag(pdPrinter);
    const bool file = devices.testFlag(pdFile);
    const bool word = devices.testFlag(pdWordProcessor);
    btnPrint->setHidden(!printer);
    pumPrint->setVisible(printer);
    pumExcel->setVisible(devices.testFlag(pdExcel));
    btnSaveAs->setHidden(!file);
    pumSave->setVisible(file);
    btnWord->setHidden(!word);
    pumWord->setVisible(word);
    Relayout();
}

void TfrmPrint::SetLines(const QStringList& lines) {
    RichEdit1->setPlainText(lines.join(u'\n'));
}

void TfrmPrint::MarkIncomplete(qsizetype arrived) {
    // The title is marked once however often this is called.
    if (!Incomplete()) setWindowTitle(windowTitle() + IncompleteTitleSuffix());
    incompleteNote_ = IncompleteDocumentNote(arrived);
}

QStringList TfrmPrint::Lines() const {
    const QString text = RichEdit1->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

void TfrmPrint::Relayout() {
    const int width = this->width();
    const int height = this->height();
    RichEdit1->setGeometry(kTextMargin, kTextMargin, width - 8, height - kButtonHeight - 15);
    const QList<QPushButton*> leftToRight = {btnPrint, btnSaveAs, btnWord, btnCopy};
    int shown = 1;
    for (QPushButton* button : leftToRight)
        shown += button->isHidden() ? 0 : 1;
    const int buttonWidth = std::min(width / shown, kMaxButtonWidth);
    const int top = height - kButtonHeight - 3;
    btnExit->setGeometry(width - buttonWidth - 5, top, buttonWidth, kButtonHeight);
    int left = RichEdit1->x();
    for (QPushButton* button : leftToRight) {
        if (button->isHidden()) continue;
        button->setGeometry(left, top, buttonWidth, kButtonHeight);
        left += buttonWidth + 2;
    }
}

void TfrmPrint::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Relayout();
}

void TfrmPrint::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    resize(width(), kShownHeight);
    ResetSearchStart();
}

void TfrmPrint::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    QTextCursor cursor = RichEdit1->textCursor();
    cursor.clearSelection();
    RichEdit1->setTextCursor(cursor);
}

bool TfrmPrint::FormKey(QKeyEvent& event) {
    QScrollBar* bar = RichEdit1->verticalScrollBar();
    switch (event.key()) {
        case Qt::Key_PageUp:
            bar->triggerAction(QAbstractSlider::SliderPageStepSub);
            return true;
        case Qt::Key_PageDown:
            bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
            return true;
        case Qt::Key_F1:
            ui::Guarded(
                [this] { ShowOutputHelp(OutputText(texts::kPrintForm, broker_), HelpText()); },
                this);
            return true;
        case Qt::Key_F:
            if (!(event.modifiers() & Qt::ControlModifier)) return false;
            ui::Guarded([this] { OpenFind(); }, this);
            return true;
        default:
            return false;
    }
}

void TfrmPrint::keyPressEvent(QKeyEvent* event) {
    if (!FormKey(*event)) QDialog::keyPressEvent(event);
}

bool TfrmPrint::eventFilter(QObject* watched, QEvent* event) {
    if (watched == RichEdit1 && event->type() == QEvent::KeyPress)
        return FormKey(*static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

}  // namespace vorn
