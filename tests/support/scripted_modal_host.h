// Answers every modal interaction of a GUI test from a script, in the order they happen, and
// records what was shown. An interaction the script did not expect fails the test.
#pragma once

#include <QDialog>
#include <QFont>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/modal_seam.h"

class QPrinter;

namespace vorn::test {

struct Interaction {
    enum Kind { Message, Modal, Font, SaveFile, PrinterSetup, Progress, FindText } kind;
    QString caption;  // message caption or window title
    QString text;     // message text, or the dialog's class name
    int buttons = 0;  // message buttons
    ui::MessageKind messageKind = ui::MessageKind::None;
};

class ScriptedModalHost final : public ui::ModalHost {
  public:
    // Installs itself as the process's modal host; the destructor restores the real dialogs and
    // fails the test if scripted steps were left unused.
    ScriptedModalHost();
    ~ScriptedModalHost() override;

    // A message box: `answer` sees the request and returns the modal result.
    ScriptedModalHost& OnMessage(std::function<int(const ui::MessageRequest&)> answer) {
        return Add(Interaction::Message, &Step::message, std::move(answer));
    }
    // A message box whose text must be exactly `text`; answered with `result`.
    ScriptedModalHost& ExpectMessage(const QString& text, int result = ui::mrOk);
    // A modal form: `drive` works the form (types, clicks) and must leave it closed. The form
    // has been shown (its show event ran) when `drive` is called.
    ScriptedModalHost& OnModal(std::function<void(QDialog&)> drive) {
        return Add(Interaction::Modal, &Step::modal, std::move(drive));
    }
    // A modal form of the given class, handed over as that class.
    template <typename Form>
    ScriptedModalHost& OnForm(std::function<void(Form&)> drive) {
        return OnModal([drive](QDialog& d) {
            if (Form* form = qobject_cast<Form*>(&d)) return drive(*form);
            Fail("expected a modal " + std::string(Form::staticMetaObject.className()) + ", got " +
                 d.metaObject()->className());
            d.reject();
        });
    }
    ScriptedModalHost& OnFont(std::function<bool(QFont&)> answer) {
        return Add(Interaction::Font, &Step::font, std::move(answer));
    }
    // The save-file dialog: `answer` sees the caption and the path offered and returns the
    // chosen path (empty: cancelled).
    ScriptedModalHost& OnSaveFile(std::function<QString(const QString& path)> answer) {
        return Add(Interaction::SaveFile, &Step::saveFile, std::move(answer));
    }
    // The printer set-up dialog: `answer` sets the printer up (a PDF file, a print range) and
    // returns whether it was confirmed.
    ScriptedModalHost& OnPrinterSetup(
        std::function<bool(QPrinter&, const ui::PrinterChoices&)> answer) {
        return Add(Interaction::PrinterSetup, &Step::printer, std::move(answer));
    }
    // A progress dialog: `update` sees each label shown and returns true to press Cancel. The
    // labels are kept in ProgressLabels().
    ScriptedModalHost& OnProgress(std::function<bool(const QString& label)> update) {
        return Add(Interaction::Progress, &Step::progress, std::move(update));
    }
    // The find-text dialog: `drive` presses Find Next through the function it is given, as
    // often as it likes, and then the dialog is closed.
    ScriptedModalHost& OnFindText(
        std::function<void(const std::function<void(const QString&)>& findNext)> drive) {
        return Add(Interaction::FindText, &Step::findText, std::move(drive));
    }
    const std::vector<QString>& ProgressLabels() const { return progressLabels_; }

    const std::vector<Interaction>& Log() const { return log_; }

    int ShowMessage(QWidget* parent, const ui::MessageRequest& request) override;
    int ExecModal(QDialog& dialog) override;
    bool ChooseFont(QWidget* parent, QFont& font) override;
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& path,
                         const QString& filter) override;
    bool PrinterSetup(QWidget* parent, QPrinter& printer) override;
    bool ChoosePrinter(QWidget* parent, QPrinter& printer,
                       const ui::PrinterChoices& choices) override;
    std::unique_ptr<ui::ProgressView> ShowProgress(QWidget* parent,
                                                   const ui::ProgressRequest& request) override;
    void FindText(QWidget* parent, const QString& text,
                  const std::function<void(const QString&)>& findNext) override;

    static void Fail(const std::string& what);

  private:
    struct Step {
        Interaction::Kind kind;
        std::function<int(const ui::MessageRequest&)> message;
        std::function<void(QDialog&)> modal;
        std::function<bool(QFont&)> font;
        std::function<QString(const QString&)> saveFile;
        std::function<bool(QPrinter&, const ui::PrinterChoices&)> printer;
        std::function<bool(const QString&)> progress;
        std::function<void(const std::function<void(const QString&)>&)> findText;
    };
    class Progress;
    // A step of `kind` answered by `answer`, kept in the step's `slot`.
    template <typename Answer>
    ScriptedModalHost& Add(Interaction::Kind kind, Answer Step::*slot, Answer answer) {
        Step step;
        step.kind = kind;
        step.*slot = std::move(answer);
        steps_.push_back(std::move(step));
        return *this;
    }
    // The next step, which must be of `kind` (`what` names the interaction when it fails).
    std::optional<Step> Take(Interaction::Kind kind, const QString& what);
    // Logs `shown` and takes its step.
    std::optional<Step> Next(const Interaction& shown);

    std::deque<Step> steps_;
    std::vector<Interaction> log_;
    std::vector<QString> progressLabels_;
};

}  // namespace vorn::test
