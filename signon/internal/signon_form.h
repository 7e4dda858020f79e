// "TREVANTA Sign-on": the server's introductory text, the server's name, volume, UCI and port,
// and the access and verify code fields. Each OK goes to the sign-on sequence, which decides
// whether the form closes; the form itself only lays out and wires.
#pragma once

#include <QDialog>
#include <memory>

#include "broker/signon_sequence.h"

class QAction;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vorn {

class CodeEdit;
class TRPCBroker;

namespace ui {
class ScopedHelpFile;
}

class TfrmSignon : public QDialog {
    Q_OBJECT
    Q_PROPERTY(int Tag MEMBER Tag)

  public:
    // Creating the form applies the sign-on settings (size, position, intro-text look).
    explicit TfrmSignon(QWidget* parent = nullptr);
    ~TfrmSignon() override;

    void SetServerInfo(const SignonServerInfo& info);
    // Before the form is shown: the server's introductory text into introText, and the client
    // agent's help file as the application's help file until the form closes. Each OK then
    // goes to `sequence`.
    void PrepareToShow(SignonSequence& sequence);
    // Codes not accepted: both fields emptied; FocusAccessCode() after the warning.
    void ClearCodes();
    void FocusAccessCode();
    // "&Properties...": the sign-on settings dialog, modally.
    void OpenProperties();

    // An error raised while OK was handled; the form closed on it. Raised again by the caller
    // of the modal loop, since it cannot pass through the window toolkit's event handling.

    // 1 = signed on, 0 = not.
    int Tag = 0;

    QPlainTextEdit* introText;
    QLabel* lblServer;
    QLabel* lblVolume;
    QLabel* lblUCI;
    QLabel* lblPort;
    CodeEdit* accessCode;
    CodeEdit* verifyCode;
    QPushButton* btnOk;
    QPushButton* btnCancel;
    // The form's own broker, for a sign-on that was handed none.
    TRPCBroker* RpcbiBroker;
    // The window menu's "&Properties..." (command 1): the form's context menu and Alt+P.
    QAction* propertiesAction;

    static constexpr int kPropertiesCommand = 1;

  protected:
    // Closing by any road: the remembered size and position are stored and the help file
    // name is put back.
    void done(int result) override;

  private:
    void PressOk();

    SignonSequence* sequence_ = nullptr;
    std::unique_ptr<ui::ScopedHelpFile> savedHelpFile_;
};

}  // namespace vorn
