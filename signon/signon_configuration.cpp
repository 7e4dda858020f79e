#include "signon/internal/signon_configuration.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "signon/internal/agent_help.h"
#include "toolkit/internal/help_file.h"
#include "toolkit/modal_seam.h"
#include "toolkit/radio_group.h"

namespace vorn {
namespace {

constexpr int kConfigurationHelpContext = 2;
constexpr int kDefaultsHelpContext = 4;

QPushButton* Button(const QString& caption, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

}  // namespace

TSignonConfiguration::TSignonConfiguration(QWidget* signonForm, QWidget* introText, QWidget* parent)
    : QDialog(parent), signonForm_(signonForm), introText_(introText) {
    setObjectName(QStringLiteral("SignonConfiguration"));
    setWindowTitle(QStringLiteral("Sign-on Properties"));
    ui::SetHelpContext(*this, kConfigurationHelpContext);

    rgrWindowPosition = new ui::RadioGroup(
        QStringLiteral("Window Position"),
        {QStringLiteral("Center"), QStringLiteral("Current"), QStringLiteral("Remember")}, 1, this);
    rgrWindowPosition->setObjectName(QStringLiteral("rgrWindowPosition"));
    rgrWindowSize = new ui::RadioGroup(
        QStringLiteral("Window Size"),
        {QStringLiteral("Normal"), QStringLiteral("Current"), QStringLiteral("Remember")}, 1, this);
    rgrWindowSize->setObjectName(QStringLiteral("rgrWindowSize"));

    grpIntroText = new QGroupBox(QStringLiteral("Intro Text"), this);
    grpIntroText->setObjectName(QStringLiteral("grpIntroText"));
    Button1 = Button(QStringLiteral("Change Font"), "Button1", grpIntroText);
    rgrIntroBackClr =
        new ui::RadioGroup(QStringLiteral("Background Color"),
                           {QStringLiteral("Cream"), QStringLiteral("White")}, 2, grpIntroText);
    rgrIntroBackClr->setObjectName(QStringLiteral("rgrIntroBackClr"));
    auto* introLayout = new QVBoxLayout(grpIntroText);
    introLayout->addWidget(Button1, 0, Qt::AlignLeft);
    introLayout->addWidget(rgrIntroBackClr);

    OKBtn = Button(QStringLiteral("OK"), "OKBtn", this);
    OKBtn->setDefault(true);
    CancelBtn = Button(QStringLiteral("Cancel"), "CancelBtn", this);
    HelpBtn = Button(QStringLiteral("&Help"), "HelpBtn", this);
    btnDefaults = Button(QStringLiteral("&Defaults"), "btnDefaults", this);
    ui::SetHelpContext(*btnDefaults, kDefaultsHelpContext);

    auto* groups = new QHBoxLayout;
    groups->addWidget(rgrWindowPosition);
    groups->addWidget(rgrWindowSize);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnDefaults);
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(HelpBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(grpIntroText);
    layout->addLayout(buttons);

    connect(Button1, &QPushButton::clicked, this, &TSignonConfiguration::ChangeFont);
    connect(OKBtn, &QPushButton::clicked, this, &TSignonConfiguration::Confirm);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [this] { ui::ShowHelp(ui::HelpContext(*this)); });
    connect(btnDefaults, &QPushButton::clicked, this, &TSignonConfiguration::ResetToDefaults);
}

int TSignonConfiguration::Open(QWidget* signonForm, QWidget* introText) {
    TSignonConfiguration dialog(signonForm, introText, signonForm);
    const ui::ScopedHelpFile help(ClientAgentHelpFile());
    return ui::Modal().ExecModal(dialog);
}

void TSignonConfiguration::showEvent(QShowEvent* event) {
    // A window coming back from the task bar is not the dialog being shown again.
    if (!event->spontaneous()) ReadSettings();
    QDialog::showEvent(event);
}

void TSignonConfiguration::ReadSettings() {
    const SignonLook look = SignonSettings::Read();
    rgrWindowPosition->SetItemIndex(look.positionMode);
    rgrWindowSize->SetItemIndex(look.sizeMode);
    rgrIntroBackClr->SetItemIndex(look.introBackClr);
    FontDialog1.Font = look.IntroFont();
}

SignonLook TSignonConfiguration::ChosenLook() const {
    SignonLook look;
    look.positionMode = std::max(rgrWindowPosition->ItemIndex(), 0);
    look.sizeMode = std::max(rgrWindowSize->ItemIndex(), 0);
    look.introBackClr = std::max(rgrIntroBackClr->ItemIndex(), 0);
    look.SetIntroFont(FontDialog1.Font);
    return look;
}

void TSignonConfiguration::ChangeFont() {
    QFont font = FontDialog1.Font;
    if (ui::Modal().ChooseFont(this, font)) FontDialog1.Font = font;
}

void TSignonConfiguration::Confirm() {
    const SignonLook look = ChosenLook();
    SignonSettings::Save(look, signonForm_);
    accept();
    if (signonForm_) SignonSettings::ApplyChosen(look, *signonForm_, introText_);
}

void TSignonConfiguration::ResetToDefaults() {
    const int answer =
        ui::Modal().ShowMessage(this, {kDefaultsQuestion, ui::ApplicationTitle(),
                                       ui::MessageKind::Warning, ui::mbYes | ui::mbNo});
    if (answer != ui::mrYes) return;
    rgrWindowPosition->SetItemIndex(spDefault);
    rgrWindowSize->SetItemIndex(spDefault);
    rgrIntroBackClr->SetItemIndex(0);
    FontDialog1.Font = SignonLook().IntroFont();
}

}  // namespace vorn
