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

ScriptedModalHost& ScriptedModalHost::OnMessage(
    std::function<int(const ui::MessageRequest&)> answer) {
    steps_.push_back(Step{Interaction::Message, std::move(answer), {}, {}});
    return *this;
}

ScriptedModalHost& ScriptedModalHost::ExpectMessage(const QString& text, int result) {
    return OnMessage([text, result](const ui::MessageRequest& r) {
        EXPECT_EQ(r.text.toStdString(), text.toStdString());
        return result;
    });
}

ScriptedModalHost& ScriptedModalHost::OnModal(std::function<void(QDialog&)> drive) {
    steps_.push_back(Step{Interaction::Modal, {}, std::move(drive), {}});
    return *this;
}

ScriptedModalHost& ScriptedModalHost::OnFont(std::function<bool(QFont&)> answer) {
    steps_.push_back(Step{Interaction::Font, {}, {}, std::move(answer)});
    return *this;
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
    Fail("unexpected save-file dialog: " + caption.toStdString());
    return QString();
}

bool ScriptedModalHost::PrinterSetup(QWidget*, QPrinter&) {
    log_.push_back({Interaction::PrinterSetup, {}, {}});
    Fail("unexpected printer set-up dialog");
    return false;
}

}  // namespace vorn::test
