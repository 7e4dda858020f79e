#include "tests/support/scripted_modal_host.h"

#include <gtest/gtest.h>

#include <QApplication>

namespace vorn::test {
namespace {

const char* KindName(Interaction::Kind kind) {
    static const char* const names[] = {
        "message box",           "modal form",      "font dialog",     "save-file dialog",
        "printer set-up dialog", "progress dialog", "find-text dialog"};
    return names[kind];
}

}  // namespace

ScriptedModalHost::ScriptedModalHost() {
    ui::SetModalHost(this);
}

ScriptedModalHost::~ScriptedModalHost() {
    ui::SetModalHost(nullptr);
    if (!steps_.empty())
        ADD_FAILURE() << steps_.size() << " scripted interaction(s) never happened; the next was a "
                      << KindName(steps_.front().kind);
}

void ScriptedModalHost::Fail(const std::string& what) {
    ADD_FAILURE() << what;
}

ScriptedModalHost& ScriptedModalHost::ExpectMessage(const QString& text, int result) {
    return OnMessage([text, result](const ui::MessageRequest& r) {
        EXPECT_EQ(r.text.toStdString(), text.toStdString());
        return result;
    });
}

bool ScriptedModalHost::Next(Interaction::Kind kind, const QString& what, Step& step) {
    if (steps_.empty()) {
        Fail(std::string("unexpected ") + KindName(kind) + ": " + what.toStdString());
        return false;
    }
    if (steps_.front().kind != kind) {
        Fail(std::string("expected a ") + KindName(steps_.front().kind) + ", got a " +
             KindName(kind) + ": " + what.toStdString());
        steps_.pop_front();
        return false;
    }
    step = std::move(steps_.front());
    steps_.pop_front();
    return true;
}

int ScriptedModalHost::ShowMessage(QWidget*, const ui::MessageRequest& request) {
    log_.push_back(
        {Interaction::Message, request.caption, request.text, request.buttons, request.kind});
    Step step;
    if (!Next(Interaction::Message, request.text, step)) return ui::mrCancel;
    return step.message(request);
}

int ScriptedModalHost::ExecModal(QDialog& dialog) {
    log_.push_back({Interaction::Modal, dialog.windowTitle(), dialog.metaObject()->className()});
    Step step;
    dialog.setResult(0);
    dialog.show();
    QCoreApplication::processEvents();
    if (!Next(Interaction::Modal, QString::fromLatin1(dialog.metaObject()->className()), step)) {
        dialog.reject();
        return dialog.result();
    }
    step.modal(dialog);
    QCoreApplication::processEvents();
    if (dialog.isVisible()) {
        Fail(std::string("the script left the modal ") + dialog.metaObject()->className() +
             " open");
        dialog.reject();
    }
    return dialog.result();
}

bool ScriptedModalHost::ChooseFont(QWidget*, QFont& font) {
    log_.push_back({Interaction::Font, {}, font.family()});
    Step step;
    return Next(Interaction::Font, font.family(), step) && step.font(font);
}

QString ScriptedModalHost::SaveFileName(QWidget*, const QString& caption, const QString& path,
                                        const QString&) {
    log_.push_back({Interaction::SaveFile, caption, path});
    Step step;
    return Next(Interaction::SaveFile, path, step) ? step.saveFile(path) : QString();
}

bool ScriptedModalHost::PrinterSetup(QWidget* parent, QPrinter& printer) {
    return ChoosePrinter(parent, printer, {});
}

bool ScriptedModalHost::ChoosePrinter(QWidget*, QPrinter& printer,
                                      const ui::PrinterChoices& choices) {
    log_.push_back({Interaction::PrinterSetup, {}, {}});
    Step step;
    return Next(Interaction::PrinterSetup, {}, step) && step.printer(printer, choices);
}

class ScriptedModalHost::Progress final : public ui::ProgressView {
  public:
    Progress(ScriptedModalHost& host, std::function<bool(const QString&)> update)
        : host_(host), update_(std::move(update)) {}
    void Update(const QString& label) override {
        host_.progressLabels_.push_back(label);
        if (update_ && update_(label)) cancelled_ = true;
    }
    bool Cancelled() const override { return cancelled_; }

  private:
    ScriptedModalHost& host_;
    std::function<bool(const QString&)> update_;
    bool cancelled_ = false;
};

std::unique_ptr<ui::ProgressView> ScriptedModalHost::ShowProgress(
    QWidget*, const ui::ProgressRequest& request) {
    log_.push_back({Interaction::Progress, request.caption, request.label});
    progressLabels_.push_back(request.label);
    Step step;
    if (!Next(Interaction::Progress, request.label, step))
        return std::make_unique<Progress>(*this, nullptr);
    return std::make_unique<Progress>(*this, std::move(step.progress));
}

void ScriptedModalHost::FindText(QWidget*, const QString& text,
                                 const std::function<void(const QString&)>& findNext) {
    log_.push_back({Interaction::FindText, {}, text});
    Step step;
    if (Next(Interaction::FindText, text, step)) step.findText(findNext);
}

}  // namespace vorn::test
