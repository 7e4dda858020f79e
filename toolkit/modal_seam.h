// The one seam every modal interaction goes through: message boxes, modal forms and the
// standard dialogs (font, save file, printer setup). The program uses the real dialogs;
// tests install a host that answers each interaction from a script and records its text.
#pragma once

#include <QFont>
#include <QString>
#include <functional>
#include <memory>

#pragma GCC visibility push(default)
class QDialog;
class QPrinter;
class QWidget;

namespace vorn::ui {

// Modal results.
enum ModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
};

// Message buttons, as a bit set.
enum MessageButton : int {
    mbYes = 1,
    mbNo = 2,
    mbOK = 4,
    mbCancel = 8,
    mbAbort = 16,
    mbRetry = 32,
    mbIgnore = 64,
    mbAll = 128,
    mbHelp = 1024,
};

// Message kinds; `None` is a plain message box without an icon.
enum class MessageKind { Warning = 0, Error = 1, Information = 2, Confirmation = 3, None = 4 };

struct MessageRequest {
    QString text;
    QString caption;
    MessageKind kind = MessageKind::None;
    int buttons = mbOK;
};

// What the printer set-up dialog offers beside the printer itself.
struct PrinterChoices {
    bool selection = false;    // printing the selected text only
    bool pageNumbers = false;  // a range of pages
};

// A progress dialog with a Cancel button, shown while a long task runs on the user-interface
// thread (the task keeps the window system waiting between two updates).
struct ProgressRequest {
    QString caption;
    QString label;
    QString cancelText;
};

class ProgressView {
  public:
    // Closes the dialog.
    virtual ~ProgressView() = default;
    // Shows how far the task has got; a Cancel pressed meanwhile is seen now.
    virtual void Update(const QString& label) = 0;
    virtual bool Cancelled() const = 0;
};

class ModalHost {
  public:
    virtual ~ModalHost() = default;
    // Shows a message box and returns the modal result of the button pressed.
    virtual int ShowMessage(QWidget* parent, const MessageRequest& request) = 0;
    // Shows `dialog` modally until it is done and returns its result.
    virtual int ExecModal(QDialog& dialog) = 0;
    // The font dialog: true, with `font` changed, when the user chose a font.
    virtual bool ChooseFont(QWidget* parent, QFont& font) = 0;
    // The save-file dialog: the chosen path, or empty when cancelled.
    virtual QString SaveFileName(QWidget* parent, const QString& caption, const QString& path,
                                 const QString& filter) = 0;
    // The printer set-up dialog: true when confirmed.
    virtual bool PrinterSetup(QWidget* parent, QPrinter& printer) = 0;
    // The printer set-up dialog with the choices of `choices`: true when confirmed, with the
    // printer (and its print range) set as chosen. Hosts that know no choices show the plain one.
    virtual bool ChoosePrinter(QWidget* parent, QPrinter& printer, const PrinterChoices& choices) {
        return PrinterSetup(parent, printer);
    }
    // Opens a progress dialog; it stays until the view is destroyed. Hosts without one give a
    // view that is never cancelled.
    virtual std::unique_ptr<ProgressView> ShowProgress(QWidget* parent,
                                                       const ProgressRequest& request);
    // The find-text dialog: a search text (`text` at first) and a Find Next button, until the
    // user closes it. Each Find Next runs `findNext` with the text typed. Hosts without one show
    // nothing.
    virtual void FindText(QWidget* parent, const QString& text,
                          const std::function<void(const QString&)>& findNext) {}
};

// The installed host; the real dialogs unless a test installed another.
ModalHost& Modal();
// Installs `host` (not owned); nullptr restores the real dialogs.
void SetModalHost(ModalHost* host);

// The caption of plain message boxes: the application's name.
QString ApplicationTitle();

// A plain message box with an OK button (the broker's and the sign-on's way of telling).
void ShowPlainMessage(const QString& text, QWidget* parent = nullptr);

}  // namespace vorn::ui

#pragma GCC visibility pop
