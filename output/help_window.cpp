#include "output/help_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>

#include "output/internal/file_help.h"
#include "output/internal/line_printing.h"
#include "output/internal/output_texts.h"
#include "output/vorn_print.h"
#include "source/internal/field_help_display.h"
#include "source/vorn_source.h"
#include "toolkit/display_adjustment.h"
#include "toolkit/event_guard.h"
#include "toolkit/modal_seam.h"

namespace vorn {
namespace {

constexpr int kDesignWidth = 460;
constexpr int kDesignHeight = 320;
constexpr int kButtonTop = 4;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;
constexpr int kCopyLeft = 4;
constexpr int kPrintLeft = kCopyLeft + kButtonWidth + 4;
constexpr int kCloseRightGap = 1;
constexpr int kTitleLeft = 8;
constexpr int kTitleTop = 36;
// The text begins this far below the title's top, less the title's height.
constexpr int kTextBelowTitle = 40;

// The one window and whether it is open: from its creation until the user closes it.
QPointer<TvornHelpFrm> gWindow;
bool gOpen = false;

TvornHelpFrm& OpenWindow(TRPCBroker* broker) {
    if (!gWindow || !gOpen) {
        gWindow = new TvornHelpFrm(broker);
        gOpen = true;
    }
    return *gWindow;
}

void Present(TvornHelpFrm& window) {
    // A modal form blocks every window but its own: help asked for while one runs opens as one
    // of its windows, so that it can be read, scrolled, copied and closed.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == &window) modal = nullptr;
    if (window.parentWidget() != modal) window.setParent(modal, window.windowFlags());
    window.show();
    window.raise();
    window.activateWindow();
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int left) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setGeometry(left, kButtonTop, kButtonWidth, kButtonHeight);
    return button;
}

class HelpWindowDisplay final : public FieldHelpDisplay {
  public:
    void ShowFieldHelp(const QString& title, const QString& text) override {
        ShowTitledText(title, text);
    }
};

HelpWindowDisplay gDisplay;

}  // namespace

TvornHelpFrm::TvornHelpFrm(TRPCBroker* broker) : broker_(broker) {
    setObjectName(QStringLiteral("vornHelpFrm"));
    setWindowTitle(QStringLiteral("Ohje"));
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose);
    // A help window left open does not keep the program running once its main form closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setAccessibleName(QStringLiteral("Help text"));
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    BitBtn1 = MakeButton(this, "BitBtn1", QStringLiteral("&Copy"), kCopyLeft);
    BitBtn2 = MakeButton(this, "BitBtn2", QStringLiteral("&Print"), kPrintLeft);
    Button1 = MakeButton(this, "Button1", QStringLiteral("&Sulje"), 0);
    connect(Button1, &QPushButton::clicked, this, &TvornHelpFrm::close);
    connect(BitBtn1, &QPushButton::clicked, this, ui::GuardedSlot(this, [this] { CopyText(); }));
    connect(BitBtn2, &QPushButton::clicked, this, ui::GuardedSlot(this, [this] { PrintText(); }));
    resize(kDesignWidth, kDesignHeight);
    AdjustFormToDisplay(*this);
    SetCaptions();
    Relayout();
}

TvornHelpFrm::~TvornHelpFrm() = default;

void TvornHelpFrm::SetCaptions() {
    const auto caption = [this](int id, const QString& fallback) {
        const QString text = OutputText(id, broker_.data());
        return text.isEmpty() ? fallback : text;
    };
    setWindowTitle(caption(texts::kHelpCaption, windowTitle()));
    Button1->setText(caption(texts::kHelpClose, Button1->text()));
    BitBtn1->setText(caption(texts::kCopyButton, BitBtn1->text()));
    BitBtn2->setText(caption(texts::kHelpPrint, BitBtn2->text()));
}

QString TvornHelpFrm::Title() const {
    return Label1->text();
}

void TvornHelpFrm::SetTitle(const QString& title) {
    Label1->setText(title);
    Relayout();
}

QStringList TvornHelpFrm::Lines() const {
    return Memo1->toPlainText().split(u'\n');
}

void TvornHelpFrm::SetLines(const QStringList& lines) {
    Memo1->setPlainText(lines.join(u'\n'));
}

void TvornHelpFrm::CopyText() {
    if (Memo1->textCursor().hasSelection()) {
        Memo1->copy();
        return;
    }
    QStringList all{Title(), QStringLiteral(" ")};
    all += Lines();
    QApplication::clipboard()->setText(all.join(u'\n'));
}

void TvornHelpFrm::PrintText() {
    QPrinter& printer = WorkstationPrinter();
    ui::PrinterChoices choices;
    choices.selection = true;
    if (!ui::Modal().ChoosePrinter(this, printer, choices)) return;
    const QTextCursor cursor = Memo1->textCursor();
    // The dialog offers the selection: when it was chosen, that is what is printed.
    const QStringList text = printer.printRange() == QPrinter::Selection && cursor.hasSelection()
                                 ? printing::SelectionLines(cursor.selectedText())
                                 : Lines();
    TvornPrint print(this);
    print.SetRPCBroker(broker_.data());
    print.PrintLines(QStringList{Title(), QStringLiteral(" ")} + text);
}

void TvornHelpFrm::Relayout() {
    Button1->move(width() - Button1->width() - kCloseRightGap, kButtonTop);
    Label1->setGeometry(kTitleLeft, kTitleTop, width() - 2 * kTitleLeft,
                        Label1->sizeHint().height());
    const int textHeight = height() - Label1->y() + Label1->height() - kTextBelowTitle;
    Memo1->setGeometry(0, height() - textHeight, width(), textHeight);
}

void TvornHelpFrm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Relayout();
}

void TvornHelpFrm::reject() {
    close();
}

void TvornHelpFrm::closeEvent(QCloseEvent* event) {
    if (gWindow == this) gOpen = false;
    event->accept();
}

TvornHelpFrm* HelpWindow() {
    return gOpen ? gWindow.data() : nullptr;
}

QStringList HelpTextLines(const QString& text) {
    static const QRegularExpression kBreak(QStringLiteral("\r\n|\r|\n"));
    return text.split(kBreak);
}

void ShowFieldHelp(TvornSource& source) {
    // Asked before the window changes: a failed call leaves the window as it was.
    const FileHelp help = GetFileHelp(source);
    TvornHelpFrm& window = OpenWindow(source.RPCBroker());
    window.SetTitle(help.name);
    window.SetLines(help.lines);
    Present(window);
}

void ShowTitledText(const QString& title, const QString& text) {
    TvornHelpFrm& window = OpenWindow(nullptr);
    window.SetTitle(title);
    window.SetLines(HelpTextLines(text));
    Present(window);
}

void InstallHelpWindow() {
    SetFieldHelpDisplay(&gDisplay);
}

}  // namespace vorn
