// The toolset's message dialog: an icon by kind, the message in a centred read-only text box,
// the chosen buttons in a row, and an optional countdown that closes the dialog when it runs
// out, showing the seconds left in the caption.
#pragma once

#include <QDialog>
#include <memory>

#include "toolkit/modal_seam.h"
#include "toolkit/timer.h"

#pragma GCC visibility push(default)
class QLabel;
class QPushButton;
class QTextEdit;

namespace vorn {

class TTimedDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kButtonWidth = 70;
    static constexpr int kButtonHeight = 29;

    explicit TTimedDlg(QWidget* parent = nullptr);
    ~TTimedDlg() override;

    // Puts `text` into the text box; each carriage return or line feed (CR LF counts once)
    // starts a new line.
    void SetMessage(const QString& text);
    // Shows the kind's image and caption, the chosen buttons (a set of ui::MessageButton) with
    // their captions, and sizes the form and the text box to the text.
    void Arrange(ui::MessageKind kind, int buttons);
    // Starts the countdown of `timeOut` seconds; 0 (or less) means none.
    void StartCountdown(int timeOut);

    void SetHelpContext(int context) { helpContext_ = context; }
    int HelpContext() const { return helpContext_; }
    // True once the countdown ran out and closed the dialog.
    bool TimedOut() const { return timedOut_; }
    int MinutesLeft() const { return minutes_; }
    int SecondsLeft() const { return countdown_; }
    // The number of lines the text box shows (wrapped lines count; a final empty one does not).
    int TextLineCount() const;

    // One tick of Timer1.
    void Tick();
    // Back to the state of a new dialog, so that it can show another message.
    void Reset();

    QLabel* WarnImage;
    QLabel* ConfImage;
    QLabel* ErroImage;
    QLabel* InfoImage;
    QTextEdit* RichEdit1;
    QPushButton* OKBtn;
    QPushButton* CancelBtn;
    QPushButton* IgnoreBtn;
    QPushButton* YesBtn;
    QPushButton* NoBtn;
    QPushButton* AbortBtn;
    QPushButton* RetryBtn;
    QPushButton* AllBtn;
    QPushButton* HelpBtn;
    std::unique_ptr<ui::Timer> Timer1;

  public slots:
    // Closing the dialog any other way than by a button answers Cancel.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void MakeTimer();
    QPushButton* MakeButton(const char* name, int result);
    QLabel* MakeImage(const char* name, int standardIcon);

    int minutes_ = 0;
    int remainder_ = 0;
    int countdown_ = 0;
    bool timedOut_ = false;
    int helpContext_ = 0;
};

}  // namespace vorn

#pragma GCC visibility pop
