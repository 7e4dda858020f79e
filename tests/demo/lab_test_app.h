// Demo lab test started as the program starts it, against the real vorn-server: its forms made
// in their order, the sign-on answered with the keyboard, the main form shown and active; the
// calls of each step read from the server's log.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "demo/start_up.h"
#include "signon/internal/code_edit.h"
#include "signon/internal/signon_form.h"
#include "signon/internal/signon_message_form.h"
#include "signon/signon_form_front.h"
#include "source/dialog_text.h"
#include "source/internal/message_broker.h"
#include "source/internal/source_requests.h"
#include "source/record_requests.h"
#include "tests/demo/keyboard_walk.h"
#include "tests/support/shown_find.h"
#include "tests/support/source_fixture.h"

namespace vorn::test {

using Calls = std::vector<std::string>;

class LabTestApp : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { InstallSignonForms(); }

    // Starts the program: the forms made in their order, the sign-on answered with the
    // keyboard and its message acknowledged, the main form shown.
    void Start(const QString& access = QStringLiteral("demo"),
               const QString& verify = QStringLiteral("demo.1234")) {
        modal.OnForm<TfrmSignon>([access, verify](TfrmSignon& signon) {
            QTest::keyClicks(signon.accessCode, access);
            QTest::keyClicks(signon.verifyCode, verify);
            QTest::mouseClick(signon.btnOk, Qt::LeftButton);
        });
        modal.OnForm<TfrmSignonMsg>([](TfrmSignonMsg& message) { message.BitBtn1->click(); });
        forms = CreateForms({QStringLiteral("127.0.0.1"), server.Port(), {}});
        form = forms.frmLabTest.get();
        form->show();
        test::Activate(*form);
    }
    // The message dialog's captions are fetched once per session; fetched here, through the
    // program's broker, so that the calls counted after it are each step's own.
    static void FetchCaptions() {
        SetMessageBroker(nullptr);
        FindBroker(nullptr);
        DialogText(1);
    }
    template <typename F>
    Calls CallsOf(F&& step) {
        const std::size_t mark = server.Mark();
        step();
        return server.NamesSince(mark);
    }
    static TfrmFind* ShownFind() { return test::ShownFind(); }
    // A modal dialog that closed leaves the main window inactive on the test platform, where no
    // window manager activates it again as a user's desktop does.
    void Activate() { test::Activate(*form); }
    // A click or typing on the main form or on a modal form shown over it.
    static void Click(QWidget* widget) {
        test::Activate(*widget->window());
        QTest::mouseClick(widget, Qt::LeftButton);
    }
    static void TypeInto(QWidget* widget, const QString& text) {
        test::Activate(*widget->window());
        widget->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(widget, text);
    }

    // Starts the program and shows lab test `record` (and puts it at the head of the history).
    void Show(const char* record) {
        Start();
        FetchCaptions();
        ASSERT_TRUE(form->vornSource1->GetAndFill(QString::fromLatin1(record)));
        form->vornSource1->UpdateHistory();
    }
    void Page(int tab) { form->xPageCtrl1->setCurrentIndex(tab - 1); }
    // Insert on tab 5: the subresult form adds KETONES under the lab test shown, and closes.
    void InsertKetones() {
        modal.OnForm<TfrmSubresult>([this](TfrmSubresult& f) {
            EXPECT_EQ(f.vornSource1->MasterSource(), form->vornSource1);
            TypeInto(f.xedtSubresult, QStringLiteral("KETONES"));
            Click(f.xbtnSaveAs);
            f.BtnExit->click();
        });
        ExpectToolsetMessage(modal, ui::MessageKind::Information,
                             "Saved new: Subresult: KETONES\r\n");
        Click(form->btnInsert);
    }
    // Another session, to file, read and lock as a second user would.
    TRPCBroker& Other() {
        if (!other_) {
            modal.OnForm<TfrmSignonMsg>([](TfrmSignonMsg& f) { f.BitBtn1->click(); });
            other_ = SignedOnBroker(kSecondHost, server.Port());
        }
        return *other_;
    }
    bool OtherCanLock(const QString& file, const QString& record) {
        if (!requests::ReadLockDone(Other().Call(requests::Lock(file, record, "LOCK"))))
            return false;
        Other().Call(requests::Lock(file, record, "UNLOCK"));
        return true;
    }
    bool OtherCanLock(const char* record) {
        return OtherCanLock(QStringLiteral("80001"), QString::fromLatin1(record));
    }
    // A field of a record as another user reads it from the server now.
    QString Stored(const QString& file, const QString& record, const QString& field) {
        const records::RecordAnswer answer = records::ReadRecordAnswer(
            Other().Call(records::ReadRequest(file, {field}, record + u',')));
        return records::FieldPiece(answer.lines, field, record, 4);
    }

    DevServerProcess server;
    FakeTimers timers;
    ScriptedModalHost modal;
    LabTestForms forms;
    TfrmLabTest* form = nullptr;

  private:
    std::unique_ptr<TRPCBroker> other_;
};

inline Calls Then(Calls calls, const Calls& more) {
    calls.insert(calls.end(), more.begin(), more.end());
    return calls;
}

}  // namespace vorn::test
