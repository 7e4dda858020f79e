#include "signon/internal/signon_form.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "broker/rpc_broker.h"
#include "signon/internal/agent_help.h"
#include "signon/internal/code_edit.h"
#include "signon/internal/signon_configuration.h"
#include "signon/internal/signon_settings.h"
#include "toolkit/event_guard.h"
#include "toolkit/internal/help_file.h"

namespace vorn {
namespace {

constexpr int kFormHelpContext = 1;

template <typename W>
W* Named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

}  // namespace

TfrmSignon::TfrmSignon(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmSignon"));
    setWindowTitle(QStringLiteral("TREVANTA Sign-on"));
    ui::SetHelpContext(*this, kFormHelpContext);

    introText = Named(new QPlainTextEdit(this), "introText");
    introText->setReadOnly(true);
    introText->setAccessibleName(QStringLiteral("Introduction"));
    introText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    // The lower panel: where the user is signing on to.
    auto* serverPanel = Named(new QWidget(this), "pnlServer");
    auto* serverGrid = new QGridLayout(serverPanel);
    lblServer = Named(new QLabel(serverPanel), "lblServer");
    lblVolume = Named(new QLabel(serverPanel), "lblVolume");
    lblUCI = Named(new QLabel(serverPanel), "lblUCI");
    lblPort = Named(new QLabel(serverPanel), "lblPort");
    const std::pair<const char*, QLabel*> rows[] = {
        {"Server:", lblServer}, {"Volume:", lblVolume}, {"UCI:", lblUCI}, {"Port:", lblPort}};
    int row = 0;
    for (const auto& [caption, value] : rows) {
        serverGrid->addWidget(new QLabel(QLatin1String(caption), serverPanel), row, 0);
        serverGrid->addWidget(value, row++, 1);
    }
    serverGrid->setColumnStretch(1, 1);

    // The right panel: the codes and the buttons.
    auto* codePanel = Named(new QWidget(this), "pnlCodes");
    auto* codeGrid = new QGridLayout(codePanel);
    accessCode = Named(new CodeEdit(codePanel), "accessCode");
    verifyCode = Named(new CodeEdit(codePanel), "verifyCode");
    auto* accessLabel = new QLabel(QStringLiteral("Access Code:"), codePanel);
    accessLabel->setBuddy(accessCode);
    auto* verifyLabel = new QLabel(QStringLiteral("Verify Code:"), codePanel);
    verifyLabel->setBuddy(verifyCode);
    codeGrid->addWidget(accessLabel, 0, 0);
    codeGrid->addWidget(accessCode, 0, 1);
    codeGrid->addWidget(verifyLabel, 1, 0);
    codeGrid->addWidget(verifyCode, 1, 1);
    btnOk = Named(new QPushButton(QStringLiteral("&OK"), codePanel), "btnOk");
    btnOk->setDefault(true);
    btnCancel = Named(new QPushButton(QStringLiteral("&Cancel"), codePanel), "btnCancel");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    codeGrid->addLayout(buttons, 2, 0, 1, 2);

    auto* lower = new QHBoxLayout;
    lower->addWidget(serverPanel, 1);
    lower->addWidget(codePanel, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(introText, 1);
    layout->addLayout(lower);

    setTabOrder(accessCode, verifyCode);
    setTabOrder(verifyCode, btnOk);
    setTabOrder(btnOk, btnCancel);
    accessCode->setFocus();

    RpcbiBroker = Named(new TRPCBroker(this), "RpcbiBroker");

    // The window system's own menu is out of reach; the same item sits in the form's context
    // menu and on a key.
    propertiesAction =
        Named(new QAction(QStringLiteral("&Properties..."), this), "propertiesAction");
    propertiesAction->setData(kPropertiesCommand);
    propertiesAction->setShortcut(QKeySequence(Qt::ALT | Qt::Key_P));
    propertiesAction->setShortcutContext(Qt::WindowShortcut);
    addAction(propertiesAction);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    connect(propertiesAction, &QAction::triggered, this, &TfrmSignon::OpenProperties);
    connect(btnOk, &QPushButton::clicked, this, &TfrmSignon::PressOk);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    SignonSettings::ApplyOnCreation(*this, introText);
}

TfrmSignon::~TfrmSignon() = default;

void TfrmSignon::SetServerInfo(const SignonServerInfo& info) {
    lblServer->setText(info.server);
    lblVolume->setText(info.volume);
    lblUCI->setText(info.uci);
    lblPort->setText(info.port);
}

void TfrmSignon::PrepareToShow(SignonSequence& sequence) {
    sequence_ = &sequence;
    introText->setPlainText(sequence.IntroText().join('\n'));
    savedHelpFile_ = std::make_unique<ui::ScopedHelpFile>(ClientAgentHelpFile());
}

void TfrmSignon::ClearCodes() {
    accessCode->clear();
    verifyCode->clear();
}

void TfrmSignon::FocusAccessCode() {
    accessCode->setFocus();
}

void TfrmSignon::OpenProperties() {
    TSignonConfiguration::Open(this, introText);
}

void TfrmSignon::PressOk() {
    if (!sequence_) return;
    const bool ran = ui::Guarded(
        [this] {
            const bool closes = sequence_->SubmitCodes(accessCode->text(), verifyCode->text());
            Tag = sequence_->SignedOn() ? 1 : 0;
            if (closes) done(Tag == 1 ? Accepted : Rejected);
        },
        this);
    // The error was shown; a sign-on whose call failed cannot go on over that link.
    if (!ran) {
        Tag = 0;
        reject();
    }
}

void TfrmSignon::done(int result) {
    if (isVisible()) {
        SignonSettings::RememberOnClose(*this);
        savedHelpFile_.reset();
    }
    QDialog::done(result);
}

}  // namespace vorn
