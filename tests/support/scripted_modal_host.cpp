#include "tests/support/scripted_modal_host.h"

#include <gtest/gtest.h>

#include <QApplication>

namespace vorn::test {
namespace {

const char* KindName(Interaction::Kind kind) {
    switch (kind) {
        case Interaction::Message:
            return "message box";
        case Interaction::Modal:
            return "modal form";
        case Interaction::Font:
            return "font dialog";
        case Interaction::SaveFile:
            return "save-file dialog";
        case Interaction::PrinterSetup:
            return "printer set-up dialog";
        case Interaction::Progress:
            return "progress dialog";
        case Interaction::FindText:
            return "find-text dialog";
    }
    return "?";
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

template <typename Answer>
ScriptedModalHost& ScriptedModalHost::Add(Interaction::Kind kind, Answer Step::*slot,
                                          Answer answer) {
    Step step;
    step.kind = kind;
    step.*slot = std::move(answer);
    steps_.push_back(std::move(step));
    return *this;
}

ScriptedModalHost& ScriptedModalHost::OnMessage(
    std::function<int(const ui::MessageRequest&)> answer) {
    return Add(Interaction::Message, &Step::message, std::move(answer));
}

ScriptedModalHost& ScriptedModalHost::ExpectMessage(const QString& text, int result) {
    return OnMessage([text, result](const ui::MessageRequest& r) {
        EXPECT_EQ(r.text.toStdString(), text.toStdString());
        return result;
    });
}

ScriptedModalHost& ScriptedModalHost::OnModal(std::function<void(QDialog&)> drive) {
    return Add(Interaction::Modal, &Step::modal, std::move(drive));
}

ScriptedModalHost& ScriptedModalHost::OnFont(std::function<bool(QFont&)> answer) {
    return Add(Interaction::Font, &Step::font, std::move(answer));
}

ScriptedModalHost& ScriptedModalHost::OnSaveFile(std::function<QString(const QString&)> answer) {
    return Add(Interaction::SaveFile, &Step::saveFile, std::move(answer));
}

ScriptedModalHost& ScriptedModalHost::OnPrinterSetup(
    std::function<bool(QPrinter&, const ui::PrinterChoices&)> answer) {
    return Add(Interaction::PrinterSetup, &Step::printer, std::move(answer));
}

ScriptedModalHost& ScriptedModalHost::OnProgress(std::function<bool(const QString&)> update) {
    return Add(Interaction::Progress, &Step::progress, std::move(update));
}

ScriptedModalHost& ScriptedModalHost::OnFindText(
    std::function<void(const std::function<void(const QString&)>&)> drive) {
    return Add(Interaction::FindText, &Step::findText, std::move(drive));
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
