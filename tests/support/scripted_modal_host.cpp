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

std::optional<ScriptedModalHost::Step> ScriptedModalHost::Take(Interaction::Kind kind,
                                                               const QString& what) {
    if (steps_.empty()) {
        Fail(std::string("unexpected ") + KindName(kind) + ": " + what.toStdString());
        return std::nullopt;
    }
    Step step = std::move(steps_.front());
    steps_.pop_front();
    if (step.kind == kind) return step;
    Fail(std::string("expected a ") + KindName(step.kind) + ", got a " + KindName(kind) + ": " +
         what.toStdString());
    return std::nullopt;
}

std::optional<ScriptedModalHost::Step> ScriptedModalHost::Next(const Interaction& shown) {
    log_.push_back(shown);
    return Take(shown.kind, shown.text);
}

int ScriptedModalHost::ShowMessage(QWidget*, const ui::MessageRequest& r) {
    const auto step = Next({Interaction::Message, r.caption, r.text, r.buttons, r.kind});
    return step ? step->message(r) : ui::mrCancel;
}

int ScriptedModalHost::ExecModal(QDialog& dialog) {
    const QString name = QString::fromLatin1(dialog.metaObject()->className());
    log_.push_back({Interaction::Modal, dialog.windowTitle(), name});
    dialog.setResult(0);
    dialog.show();
    QCoreApplication::processEvents();
    if (const auto step = Take(Interaction::Modal, name)) {
        step->modal(dialog);
        QCoreApplication::processEvents();
        if (!dialog.isVisible()) return dialog.result();
        Fail("the script left the modal " + name.toStdString() + " open");
    }
    dialog.reject();
    return dialog.result();
}

bool ScriptedModalHost::ChooseFont(QWidget*, QFont& font) {
    const auto step = Next({Interaction::Font, {}, font.family()});
    return step && step->font(font);
}

QString ScriptedModalHost::SaveFileName(QWidget*, const QString& caption, const QString& path,
                                        const QString&) {
    const auto step = Next({Interaction::SaveFile, caption, path});
    return step ? step->saveFile(path) : QString();
}

bool ScriptedModalHost::PrinterSetup(QWidget* parent, QPrinter& printer) {
    return ChoosePrinter(parent, printer, {});
}

bool ScriptedModalHost::ChoosePrinter(QWidget*, QPrinter& printer,
                                      const ui::PrinterChoices& choices) {
    const auto step = Next({Interaction::PrinterSetup, {}, {}});
    return step && step->printer(printer, choices);
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
    auto step = Next({Interaction::Progress, request.caption, request.label});
    progressLabels_.push_back(request.label);
    return std::make_unique<Progress>(*this, step ? std::move(step->progress) : nullptr);
}

void ScriptedModalHost::FindText(QWidget*, const QString& text,
                                 const std::function<void(const QString&)>& findNext) {
    if (const auto step = Next({Interaction::FindText, {}, text})) step->findText(findNext);
}

}  // namespace vorn::test
