#include "output/internal/pntr_conf_form.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

#include "controls/dialog_edit.h"
#include "lookup/vorn_finder.h"
#include "output/internal/output_texts.h"
#include "source/message_text.h"
#include "source/server_queries.h"
#include "source/vorn_source.h"
#include "toolkit/component_loading.h"
#include "toolkit/display_adjustment.h"
#include "toolkit/event_guard.h"
#include "toolkit/modal_seam.h"

namespace vorn {
namespace {

// Messages of the toolset (1004, 1008, 1060) and of the server's message file.
constexpr int kMsgConfirmation = 4;
constexpr int kMsgOk = 8;
constexpr int kMsgCancel = 60;
constexpr int kMsgRelated = 119;
constexpr int kMsgWhatToDo = 120;
constexpr int kMsgDeleteOption = 121;
constexpr int kMsgMoveOption = 122;
constexpr int kMsgClearOption = 144;

constexpr int kImageLeft = 8;
constexpr int kImageTop = 8;
constexpr int kImageSize = 32;
constexpr int kQuestionLeft = 56;
constexpr int kQuestionTop = 8;
constexpr int kRadioSize = 17;
constexpr int kTextLeft = kQuestionLeft + 20;
constexpr int kFormWidth = kTextLeft + TPntrConfFrm::kOptionTextWidth + 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

QLabel* MakeText(QWidget* parent, const char* name, const QString& caption) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    return label;
}

QRadioButton* MakeRadio(QWidget* parent, const char* name) {
    auto* radio = new QRadioButton(parent);
    radio->setObjectName(QString::fromLatin1(name));
    radio->resize(kRadioSize, kRadioSize);
    return radio;
}

// Places `label` at `top`, `width` wide and as high as its text needs.
void PlaceText(QLabel* label, int left, int top, int width) {
    label->setGeometry(left, top, width, label->heightForWidth(width));
}

void SetText(QLabel* label, const QString& text) {
    if (!text.isEmpty()) label->setText(text);  // a text the server lacks keeps the design's
}

}  // namespace

TPntrConfFrm::TPntrConfFrm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PntrConfFrm"));
    setWindowTitle(QStringLiteral("Vahvistus"));
    ConfImage = new QLabel(this);
    ConfImage->setObjectName(QStringLiteral("ConfImage"));
    ConfImage->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(kImageSize, kImageSize));
    ConfImage->setGeometry(kImageLeft, kImageTop, kImageSize, kImageSize);
    Label3 = MakeText(this, "Label3", QStringLiteral("Tietueeseen liittyy muita tietueita."));
    RadioButton2 = MakeRadio(this, "RadioButton2");
    Label2 = MakeText(this, "Label2", QStringLiteral("Siirrä tietueet toiseen tietueeseen"));
    RadioButton3 = MakeRadio(this, "RadioButton3");
    Label4 = MakeText(this, "Label4", QStringLiteral("Poista kaikki viittaukset"));
    RadioButton1 = MakeRadio(this, "RadioButton1");
    Label1 = MakeText(this, "Label1", QStringLiteral("Poista kaikki tietueet"));
    RadioButton1->setChecked(true);
    OKBtn = new QPushButton(QStringLiteral("&OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Peruuta"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));

    vornFinder1 = new TvornFinder(this);
    vornFinder1->setObjectName(QStringLiteral("vornFinder1"));
    vornFinder1->Number = QStringLiteral("300");
    vornFinder1->FMIndex = QStringLiteral("B");
    xdeMove = new TvornDialogEdit(this);
    xdeMove->setObjectName(QStringLiteral("xdeMove"));
    xdeMove->SetFMField(QStringLiteral(".01"));
    xdeMove->FMIsPointerField = false;
    xdeMove->FMIsFindField = true;
    xdeMove->VisibleButtons = TvornDlgButton::DoSelect | TvornDlgButton::DoCancel;
    xdeMove->SetvornFinderForFind(vornFinder1);
    xdeMove->setGeometry(kQuestionLeft, 0, 100, 21);
    xdeMove->hide();

    for (QWidget* w : std::initializer_list<QWidget*>{RadioButton1, RadioButton2, RadioButton3,
                                                      Label1, Label2, Label4})
        w->installEventFilter(this);
    xdeMove->AfterExecute = [this](QObject*) { Picked(); };
    xdeMove->AfterCancel = [this](QObject*) { PickCancelled(); };
    connect(OKBtn, &QPushButton::clicked, this, ui::GuardedSlot(this, [this] { OkClicked(); }));
    connect(CancelBtn, &QPushButton::clicked, this, &TPntrConfFrm::reject);
    AdjustFormToDisplay(*this);
    Arrange(false, false, true);
}

TPntrConfFrm::~TPntrConfFrm() = default;

void TPntrConfFrm::Setup(TvornSource& master, TvornSource& detail, bool clear, bool move, bool del,
                         TvornDialogEdit* chooser) {
    TRPCBroker* broker = master.RPCBroker();
    vornFinder1->SetRPCBroker(broker);
    vornFinder1->FileNumber = master.FileNumber;
    if (chooser) {
        xdeMove->FieldsForFind = chooser->FieldsForFind;
        xdeMove->FieldsForPointer = chooser->FieldsForPointer;
        xdeMove->FormCaption = chooser->FormCaption;
        TvornFinder* theirs = chooser->vornFinderForFind();
        ScreenOutMaster(master.Address().Number(), theirs ? theirs->Screen : QString());
    } else {
        xdeMove->FormCaption = master.FileName;
        // The master's own record is no target for its records, with or without a chooser.
        ScreenOutMaster(master.Address().Number());
    }
    // The columns just copied are taken apart when the edit finishes loading.
    ui::LoadComponents(*this);

    MasterName = GetRecordIdentifiers(master.FileNumber, master.Address().Iens(), broker);
    const QString caption = OutputText(kMsgConfirmation, broker);
    if (!caption.isEmpty()) setWindowTitle(caption);
    if (const QString ok = OutputText(kMsgOk, broker); !ok.isEmpty()) OKBtn->setText(ok);
    if (const QString cancel = OutputText(kMsgCancel, broker); !cancel.isEmpty())
        CancelBtn->setText(cancel);
    SetText(Label3, GetDialogText(kMsgRelated, MasterName + u'^' + detail.FileName, broker) +
                        u'\n' + GetDialogText(kMsgWhatToDo, {}, broker));
    if (move)
        SetText(Label2, GetDialogText(kMsgMoveOption, MasterName + u'^' + master.FileName, broker));
    if (clear) SetText(Label4, GetDialogText(kMsgClearOption, MasterName, broker));
    if (del)
        SetText(Label1,
                GetDialogText(kMsgDeleteOption, detail.FileName + u'^' + MasterName, broker));
    Arrange(move, clear, del);
}

void TPntrConfFrm::ScreenOutMaster(const QString& masterRecord, const QString& screen) {
    vornFinder1->Screen = QStringLiteral("I Y'=") + masterRecord;
    if (!screen.isEmpty()) vornFinder1->Screen += u' ' + screen;
}

void TPntrConfFrm::Arrange(bool move, bool clear, bool del) {
    PlaceText(Label3, kQuestionLeft, kQuestionTop, kQuestionWidth);
    const std::tuple<bool, QRadioButton*, QLabel*> options[] = {
        {move, RadioButton2, Label2}, {clear, RadioButton3, Label4}, {del, RadioButton1, Label1}};
    int top = Label3->y() + Label3->height() + kOptionsBelowQuestion;
    int bottom = top;
    bool checked = false;
    for (const auto& [offered, radio, text] : options) {
        radio->setVisible(offered);
        text->setVisible(offered);
        if (!offered) continue;
        PlaceText(text, kTextLeft, top, kOptionTextWidth);
        // The option's words stand beside it, in a label of their own.
        radio->setAccessibleName(text->text());
        radio->move(kQuestionLeft, top - kButtonAboveText);
        if (!checked) radio->setChecked(true);
        checked = true;
        bottom = text->y() + text->height();
        top = bottom + kOptionPitch;
    }
    const int height = bottom + kBottomMargin + kButtonHeight;
    const int buttonTop = height - kButtonsAboveBottom;
    OKBtn->setGeometry(kFormWidth / 2 - kButtonWidth - 4, buttonTop, kButtonWidth, kButtonHeight);
    CancelBtn->setGeometry(kFormWidth / 2 + 4, buttonTop, kButtonWidth, kButtonHeight);
    setFixedSize(kFormWidth, height);
}

void TPntrConfFrm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ChosenAction = Action::None;
    if (!DirectMove) return;
    setFixedSize(1, 1);
    // The list opens once the form waits for the user: a form ended while it is still being
    // shown would never stop waiting.
    QMetaObject::invokeMethod(
        this,
        [this] {
            const bool opened = ui::Guarded([this] { OpenPickList(); }, this);
            if (isVisible() && (!opened || !xdeMove->Dialog())) done(ui::mrCancel);
        },
        Qt::QueuedConnection);
}

void TPntrConfFrm::OkClicked() {
    if (RadioButton1->isVisible() && RadioButton1->isChecked()) {
        ChosenAction = Action::Delete;
        done(ui::mrOk);
    } else if (RadioButton2->isVisible() && RadioButton2->isChecked()) {
        OpenPickList();
    } else if (RadioButton3->isVisible() && RadioButton3->isChecked()) {
        ChosenAction = Action::Clear;
        done(ui::mrOk);
    }
}

void TPntrConfFrm::OpenPickList() {
    xdeMove->SetPointerMode(false);
    xdeMove->Execute();
}

void TPntrConfFrm::Picked() {
    const QString picked = xdeMove->SelectedIen();
    if (picked.isEmpty()) return;
    ChosenAction = Action::Move;
    MoveTarget = picked;
    done(ui::mrOk);
}

void TPntrConfFrm::PickCancelled() {
    if (DirectMove) done(ui::mrCancel);
}

void TPntrConfFrm::reject() {
    ChosenAction = Action::None;
    done(ui::mrCancel);
}

bool TPntrConfFrm::eventFilter(QObject* watched, QEvent* event) {
    const std::pair<QRadioButton*, QLabel*> options[] = {
        {RadioButton2, Label2}, {RadioButton3, Label4}, {RadioButton1, Label1}};
    for (const auto& [radio, text] : options) {
        // An option that takes the focus is the one chosen; a click on its text chooses it too.
        if (watched == radio && event->type() == QEvent::FocusIn) radio->setChecked(true);
        if (watched == text && event->type() == QEvent::MouseButtonPress) {
            radio->setChecked(true);
            radio->setFocus();
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vorn
