#include "source/timed_dialog.h"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "broker/pieces.h"
#include "source/dialog_text.h"
#include "toolkit/internal/help_file.h"

namespace vorn {
namespace {

constexpr int kDesignWidth = 287;
constexpr int kDesignHeight = 377;
constexpr int kImageSize = 33;
constexpr int kFormWidth = 295;
constexpr int kTextWidth = 214;
constexpr int kMinimumFormHeight = 143;
constexpr int kTextTop = 8;
// Between the text and the buttons, so that the last line never touches them.
constexpr int kTextGap = 8;
// Rounding of the laid-out height, so that a text that fits shows no scroll bar.
constexpr int kTextSlack = 2;
// The title bar and borders the window system adds around the form.
constexpr int kWindowFrameAllowance = 64;
const QString kCountdownSeparator = QStringLiteral("  - ");

// Message ids of the kind captions (by kind) and of the button captions.
constexpr int kKindCaptionIds[] = {1, 2, 3, 4};

}  // namespace

TTimedDlg::TTimedDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("TimedDlg"));
    QFont dialogFont = font();
    dialogFont.setPointSize(8);
    dialogFont.setBold(true);
    setFont(dialogFont);
    resize(kDesignWidth, kDesignHeight);

    WarnImage = MakeImage("WarnImage", QStyle::SP_MessageBoxWarning);
    ConfImage = MakeImage("ConfImage", QStyle::SP_MessageBoxQuestion);
    ErroImage = MakeImage("ErroImage", QStyle::SP_MessageBoxCritical);
    InfoImage = MakeImage("InfoImage", QStyle::SP_MessageBoxInformation);

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setGeometry(56, 8, 217, 321);
    RichEdit1->setFrameShape(QFrame::NoFrame);
    RichEdit1->setReadOnly(true);
    RichEdit1->setAcceptRichText(false);
    RichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    RichEdit1->document()->setDocumentMargin(0);
    QTextOption option = RichEdit1->document()->defaultTextOption();
    option.setAlignment(Qt::AlignHCenter);
    RichEdit1->document()->setDefaultTextOption(option);
    QPalette colours = RichEdit1->palette();
    colours.setColor(QPalette::Base, palette().color(QPalette::Button));
    RichEdit1->setPalette(colours);

    OKBtn = MakeButton("OKBtn", ui::mrOk);
    CancelBtn = MakeButton("CancelBtn", ui::mrCancel);
    IgnoreBtn = MakeButton("IgnoreBtn", ui::mrIgnore);
    YesBtn = MakeButton("YesBtn", ui::mrYes);
    NoBtn = MakeButton("NoBtn", ui::mrNo);
    AbortBtn = MakeButton("AbortBtn", ui::mrAbort);
    RetryBtn = MakeButton("RetryBtn", ui::mrRetry);
    AllBtn = MakeButton("AllBtn", ui::mrAll);
    HelpBtn = MakeButton("HelpBtn", ui::mrNone);
    connect(HelpBtn, &QPushButton::clicked, this, [this] { ui::ShowHelp(helpContext_); });

    MakeTimer();
}

void TTimedDlg::MakeTimer() {
    Timer1 = ui::MakeTimer();
    Timer1->SetEnabled(false);
    Timer1->SetInterval(10000);
    Timer1->OnTimer = [this] { Tick(); };
}

TTimedDlg::~TTimedDlg() {
    Timer1->SetEnabled(false);
    Timer1->OnTimer = nullptr;
}

QLabel* TTimedDlg::MakeImage(const char* name, int standardIcon) {
    auto* image = new QLabel(this);
    image->setObjectName(QString::fromLatin1(name));
    image->setGeometry(8, 16, kImageSize, kImageSize);
    image->setAlignment(Qt::AlignCenter);
    // The four images are drawn once per program: a message is shown often, and fast.
    static QHash<int, QPixmap> drawn;
    auto it = drawn.find(standardIcon);
    if (it == drawn.end())
        it = drawn.insert(standardIcon,
                          style()
                              ->standardIcon(static_cast<QStyle::StandardPixmap>(standardIcon))
                              .pixmap(32, 32));
    image->setPixmap(*it);
    image->hide();
    return image;
}

QPushButton* TTimedDlg::MakeButton(const char* name, int result) {
    auto* button = new QPushButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->resize(kButtonWidth, kButtonHeight);
    button->hide();
    if (result != ui::mrNone)
        connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    return button;
}

void TTimedDlg::SetMessage(const QString& text) {
    QString lines;
    lines.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            lines += u'\n';
            if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else {
            lines += c;
        }
    }
    RichEdit1->setPlainText(lines);
    // A screen reader reads the message as the dialog's description and the text box's name.
    setAccessibleDescription(lines);
    RichEdit1->setAccessibleName(lines);
}

int TTimedDlg::TextLineCount() const {
    // Most messages have short lines: when each fits the box well within its width, the lines
    // are the text's own and no layout is needed.
    const QString text = RichEdit1->toPlainText();
    const QFontMetrics metrics(RichEdit1->font());
    const QStringList paragraphs = text.split(u'\n');
    bool short_ = true;
    for (const QString& paragraph : paragraphs)
        short_ = short_ && metrics.horizontalAdvance(paragraph) * 10 < RichEdit1->width() * 9;
    if (short_) {
        int lines = static_cast<int>(paragraphs.size());
        if (lines > 0 && paragraphs.last().isEmpty()) --lines;
        return lines;
    }
    std::unique_ptr<QTextDocument> layout(RichEdit1->document()->clone());
    layout->setDefaultFont(RichEdit1->font());
    layout->setTextWidth(RichEdit1->width());
    layout->documentLayout()->documentSize();  // lays every block out
    int lines = 0;
    for (QTextBlock block = layout->begin(); block.isValid(); block = block.next())
        lines += block.layout() ? std::max(1, block.layout()->lineCount()) : 1;
    // A last line without text is not shown as a line of its own.
    if (lines > 0 && layout->lastBlock().text().isEmpty()) --lines;
    return lines;
}

void TTimedDlg::Arrange(ui::MessageKind kind, int buttons) {
    QLabel* images[] = {WarnImage, ErroImage, InfoImage, ConfImage};
    const int k = static_cast<int>(kind);
    for (int i = 0; i < 4; ++i)
        images[i]->setVisible(i == k);
    setWindowTitle(k >= 0 && k < 4 ? DialogText(kKindCaptionIds[k]) : QString());
    QPalette colours = RichEdit1->palette();
    colours.setColor(QPalette::Text, palette().color(QPalette::WindowText));
    RichEdit1->setPalette(colours);

    struct Choice {
        QPushButton* button;
        int bit;
        int captionId;
    };
    const Choice order[] = {
        {IgnoreBtn, ui::mbIgnore, 5}, {YesBtn, ui::mbYes, 6},        {NoBtn, ui::mbNo, 7},
        {OKBtn, ui::mbOK, 8},         {CancelBtn, ui::mbCancel, 60}, {AbortBtn, ui::mbAbort, 9},
        {RetryBtn, ui::mbRetry, 10},  {AllBtn, ui::mbAll, 11},       {HelpBtn, ui::mbHelp, 12}};
    std::vector<QPushButton*> shown;
    for (const Choice& c : order) {
        c.button->setText(DialogText(c.captionId));
        c.button->setVisible((buttons & c.bit) != 0);
        if (buttons & c.bit) shown.push_back(c.button);
    }
    const int count = static_cast<int>(shown.size());
    // No question names its default button: Enter answers Yes where it is offered, else OK.
    QPushButton* enter = (buttons & ui::mbYes)  ? YesBtn
                         : (buttons & ui::mbOK) ? OKBtn
                         : shown.empty()        ? nullptr
                                                : shown.front();
    for (const Choice& c : order)
        c.button->setDefault(c.button == enter);

    int formWidth = kFormWidth;
    int textWidth = kTextWidth;
    int firstLeft = 0;
    if (count >= 4) {
        formWidth += (count - 4) * kButtonWidth;
        textWidth += (count - 4) * kButtonWidth;
    } else if (count == 1) {
        firstLeft = formWidth / 2 - kButtonWidth / 2;
    } else if (count == 2) {
        firstLeft = kButtonWidth;
    } else if (count == 3) {
        firstLeft = kButtonWidth / 2;
    }

    RichEdit1->resize(textWidth, RichEdit1->height());
    // The text is measured as the box will lay it out, in its own font: counting lines at a
    // fixed height let lines run under the buttons or clip into a scroll bar at other fonts.
    std::unique_ptr<QTextDocument> layout(RichEdit1->document()->clone());
    layout->setDefaultFont(RichEdit1->font());
    layout->setTextWidth(textWidth);
    const int wanted =
        RichEdit1->toPlainText().isEmpty()
            ? 0
            : static_cast<int>(std::ceil(layout->documentLayout()->documentSize().height())) +
                  kTextSlack;
    const int buttonsHeight = 2 * kButtonHeight;
    const int chrome = kTextTop + kTextGap + buttonsHeight;
    int formHeight = std::max(kMinimumFormHeight, wanted + chrome);
    // Within the screen: what does not fit scrolls, and the buttons stay in reach.
    const QScreen* where = screen() ? screen() : QGuiApplication::primaryScreen();
    if (where) {
        const int most = std::max(kMinimumFormHeight,
                                  where->availableGeometry().height() - kWindowFrameAllowance);
        formHeight = std::min(formHeight, most);
    }
    const int room = formHeight - chrome;
    const int textHeight = std::min(wanted, room);
    RichEdit1->setVerticalScrollBarPolicy(wanted > room ? Qt::ScrollBarAsNeeded
                                                        : Qt::ScrollBarAlwaysOff);
    RichEdit1->setGeometry((formWidth - 41) / 2 - textWidth / 2 + 31,
                           kTextTop + (room - textHeight) / 2, textWidth, textHeight);
    for (int i = 0; i < count; ++i)
        shown[i]->move(firstLeft + i * kButtonWidth, formHeight - buttonsHeight);
    setFixedSize(formWidth, formHeight);
}

void TTimedDlg::StartCountdown(int timeOut) {
    if (timeOut <= 0) return;
    if (timeOut < 61) {
        minutes_ = 0;
        remainder_ = 0;
        countdown_ = timeOut;
        Timer1->SetInterval(1000);
    } else {
        minutes_ = timeOut / 60;
        remainder_ = timeOut % 60;
        countdown_ = 60;
        Timer1->SetInterval(remainder_ * 1000);
    }
    // A window timer of interval 0 does not run: the dialog then waits for the user.
    Timer1->SetEnabled(Timer1->Interval() > 0);
}

void TTimedDlg::Tick() {
    if (minutes_ > 0) {
        --minutes_;
        Timer1->SetInterval(minutes_ <= 1 ? 1000 : 60000);
    } else if (countdown_ > 0) {
        --countdown_;
        setWindowTitle(Piece(windowTitle(), kCountdownSeparator, 1) + kCountdownSeparator +
                       QString::number(countdown_));
    } else {
        Timer1->SetEnabled(false);
        timedOut_ = true;
        done(ui::mrCancel);
    }
}

void TTimedDlg::Reset() {
    Timer1->SetEnabled(false);
    MakeTimer();
    minutes_ = 0;
    remainder_ = 0;
    countdown_ = 0;
    timedOut_ = false;
    helpContext_ = 0;
    setResult(0);
    RichEdit1->clear();
    for (QLabel* image : {WarnImage, ConfImage, ErroImage, InfoImage})
        image->hide();
    for (QPushButton* button :
         {OKBtn, CancelBtn, IgnoreBtn, YesBtn, NoBtn, AbortBtn, RetryBtn, AllBtn, HelpBtn})
        button->hide();
    setWindowTitle(QString());
}

void TTimedDlg::reject() {
    done(ui::mrCancel);
}

void TTimedDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // A screen reader reads out what the dialog says (its description) as it appears.
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
    if (QScreen* s = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(s->geometry().center());
        move(frame.topLeft());
    }
}

}  // namespace vorn
