#include "signon/internal/signon_form.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "broker/broker_error.h"
#include "signon/internal/code_edit.h"
#include "signon/internal/signon_message_form.h"
#include "signon/internal/verify_code_form.h"
#include "tests/signon/signon_form_test_support.h"
#include "toolkit/internal/help_file.h"

namespace vorn {
namespace {

using test::Leave, test::PressKey, test::Strings, test::Type;

const QString kWrongCodes = "Not a valid ACCESS CODE/VERIFY CODE pair.";

class SignonForm : public test::WindowedSignon {
  protected:
    std::string SentCodes(int call) { return test::UnscrambledLiteral(peer.Calls().at(call)); }
    static void SignOnWith(TfrmSignon& form, const QString& access, const QString& verify) {
        Type(form.accessCode, access);
        Type(form.verifyCode, verify);
        form.btnOk->click();
    }
    bool SignsOn() {
        b.SetConnected(true);
        return b.Connected();
    }
    EBrokerError ConnectFails() {
        try {
            b.SetConnected(true);
        } catch (const EBrokerError& e) {
            return e;
        }
        ADD_FAILURE() << "the connect did not fail";
        return EBrokerError({}, {}, 0, {});
    }
    // A message box of this text, kind and buttons, answered with OK.
    void ExpectBox(const QString& text, ui::MessageKind kind) {
        modal.OnMessage([text, kind](const ui::MessageRequest& r) {
            EXPECT_EQ(r.text, text);
            EXPECT_EQ(r.kind, kind);
            EXPECT_EQ(r.buttons, ui::mbOK);
            return ui::mrOk;
        });
    }
};

TEST_F(SignonForm, NoSignonNeededNeverShowsTheForm) {
    test::ScriptNoSignonNeeded(peer);
    EXPECT_TRUE(SignsOn());
    EXPECT_TRUE(modal.Log().empty());
    EXPECT_EQ(CallNames(), Strings{"XUS SIGNON SETUP"});
    EXPECT_EQ(SignonForms().CurrentForm(), nullptr) << "the form is released";
}

// Line 5 of the answer is "0": no message form either.
TEST_F(SignonForm, PresetCodesAreSentAtOnceWithoutTheForm) {
    test::ScriptSetupAsksSignon(peer);
    test::ScriptCodesAccepted(peer);
    b.PresetCodes = "DEMO;DEMO.1234";
    EXPECT_TRUE(SignsOn());
    EXPECT_TRUE(modal.Log().empty());
    EXPECT_EQ(CallNames(), (Strings{"XUS SIGNON SETUP", "XUS AV CODE"}));
    EXPECT_EQ(SentCodes(1), "DEMO;DEMO.1234");
}

// The messages after the sign-on show exactly the lines the answer counts, and the broker's
// call state is the same after the sign-on as before it.
TEST_F(SignonForm, WrongCodesEmptyTheFieldsWarnAndLetTheUserTryAgainAndMessagesFollow) {
    ScriptShownForm();
    peer.ReplyLines({"0", "0", "0", kWrongCodes.toStdString(), "0", "0"});
    peer.ReplyLines({"42", "0", "0", "", "0", "2", "You have 3 new messages.",
                     "The system goes down at 22:00.", "not counted"});
    modal.OnForm<TfrmSignon>([this](TfrmSignon& form) {
        EXPECT_EQ(form.windowTitle(), "TREVANTA Sign-on");
        EXPECT_EQ((QStringList{form.lblServer->text(), form.lblVolume->text(), form.lblUCI->text(),
                               form.lblPort->text()}),
                  (QStringList{"TESTSERVER", "DEV", "VORN", "9200"}));
        EXPECT_EQ(form.introText->toPlainText(),
                  "Welcome to the test server.\nAuthorised use only.");
        EXPECT_EQ(form.focusWidget(), form.accessCode) << "the access code has the focus first";
        EXPECT_TRUE(form.btnOk->isDefault());
        Type(form.accessCode, "demo");
        Type(form.verifyCode, "wrong");
        EXPECT_EQ(form.accessCode->text(), "DEMO") << "letters turn upper case while typing";
        form.verifyCode->setFocus();
        form.btnOk->click();
        EXPECT_TRUE(form.isVisible()) << "wrong codes leave the form open";
        EXPECT_EQ(form.Tag, 0);
        EXPECT_EQ(form.accessCode->text(), "");
        EXPECT_EQ(form.verifyCode->text(), "");
        EXPECT_EQ(form.focusWidget(), form.accessCode);
        ASSERT_EQ(modal.Log().size(), 2u);
        SignOnWith(form, "demo", "demo.1234");
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.Tag, 1);
    });
    ExpectBox(kWrongCodes, ui::MessageKind::Warning);
    modal.OnForm<TfrmSignonMsg>([](TfrmSignonMsg& form) {
        EXPECT_EQ(form.windowTitle(), "Signon Message");
        EXPECT_EQ(form.mmoMsg->toPlainText(),
                  "You have 3 new messages.\nThe system goes down at 22:00.");
        form.BitBtn1->click();
    });
    b.SetClearParameters(false);
    b.SetClearResults(false);
    b.RemoteProcedure = "ZZ MY PROCEDURE";
    b.RpcVersion = "3";
    b.Param[0].Value = "first";
    b.Param[0].ParamKind = TParamType::literal;
    b.Param[2].ParamKind = TParamType::list;
    b.Param[2].Mult["\"FILE\""] = "80001";
    b.Param[2].Mult["\"IENS\""] = "12,";
    b.Results = {"an old result"};
    EXPECT_TRUE(SignsOn());
    EXPECT_EQ(CallNames(),
              (Strings{"XUS SIGNON SETUP", "XUS INTRO MSG", "XUS AV CODE", "XUS AV CODE"}));
    EXPECT_EQ(SentCodes(2), "DEMO;WRONG") << "typed in lower case, sent in upper case";
    EXPECT_EQ(SentCodes(3), "DEMO;DEMO.1234");
    EXPECT_FALSE(b.ClearParameters());
    EXPECT_FALSE(b.ClearResults());
    EXPECT_EQ(b.RemoteProcedure, "ZZ MY PROCEDURE");
    EXPECT_EQ(b.RpcVersion, "3");
    ASSERT_EQ(b.Param.Count(), 3);
    EXPECT_EQ(b.Param[0].Value, "first");
    EXPECT_EQ(b.Param[0].ParamKind, TParamType::literal);
    const TParamRecord* gap = b.Param.At(1);
    EXPECT_TRUE(gap == nullptr || gap->ParamKind == TParamType::undefined) << "still untouched";
    EXPECT_EQ(b.Param[2].ParamKind, TParamType::list);
    EXPECT_EQ(b.Param[2].Mult.Count(), 2);
    EXPECT_EQ(b.Param[2].Mult.Item("\"FILE\""), "80001");
    EXPECT_EQ(b.Param[2].Mult.Item("\"IENS\""), "12,");
    EXPECT_TRUE(b.Results.isEmpty());
}

TEST_F(SignonForm, ARefusalShowsLineThreeAndTheBrokerClosesTheLink) {
    ScriptShownForm();
    peer.ReplyLines({"0", "1", "0", "Your access has been terminated.", "0", "0"});
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) {
        SignOnWith(form, "gone", "gone.1234");
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.Tag, 0);
    });
    ExpectBox("Your access has been terminated.", ui::MessageKind::None);
    const EBrokerError e = ConnectFails();
    EXPECT_EQ(e.ErrorCode(), 20004);
    EXPECT_EQ(e.ErrorName(), "Sign-on was not completed.");
    EXPECT_EQ(e.FailedStep(), "");
    EXPECT_FALSE(b.Connected());
    EXPECT_TRUE(peer.WaitForGoodbyes(1));
    EXPECT_EQ(peer.Messages().back(), "{XWB}0001000005#BYE#");
}

TEST_F(SignonForm, AVerifyCodeThatMustChangeRunsTheChangeDialogWithTheTypedCode) {
    ScriptShownForm();
    peer.ReplyLines({"0", "0", "1", "", "0", "0"});
    peer.ReplyLines({"0"});
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) {
        SignOnWith(form, "change", "change.1234");
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.Tag, 1);
    });
    ExpectBox("You must change your VERIFY CODE at this time.", ui::MessageKind::Warning);
    modal.OnForm<TfrmVCEdit>([](TfrmVCEdit& form) {
        EXPECT_EQ(form.edtOldVC->text(), "CHANGE.1234");
        EXPECT_FALSE(form.edtOldVC->isEnabled());
        Type(form.edtNewVC, "new.code.1");
        Type(form.edtConfirmVC, "new.code.1");
        form.btnOK->click();
    });
    modal.ExpectMessage("Your VERIFY CODE has been changed");
    EXPECT_TRUE(SignsOn());
    ASSERT_EQ(CallNames(),
              (Strings{"XUS SIGNON SETUP", "XUS INTRO MSG", "XUS AV CODE", "XUS CVC"}));
    EXPECT_EQ(test::ChangedCodes(peer.Calls()[3]),
              (Strings{"CHANGE.1234", "NEW.CODE.1", "NEW.CODE.1"}));
}

TEST_F(SignonForm, AChangeOfTheVerifyCodeThatIsCancelledEndsTheSignon) {
    ScriptShownForm();
    peer.ReplyLines({"0", "0", "1", "", "0", "0"});
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) { SignOnWith(form, "change", "change.1234"); });
    modal.ExpectMessage("You must change your VERIFY CODE at this time.");
    modal.OnForm<TfrmVCEdit>([](TfrmVCEdit& form) { form.btnCancel->click(); });
    EXPECT_EQ(ConnectFails().ErrorCode(), 20004);
    EXPECT_TRUE(peer.WaitForGoodbyes(1));
}

TEST_F(SignonForm, AnErrorOfTheCodeCallIsShownAndClosesTheFormUnsigned) {
    ScriptShownForm();
    peer.MError("UNDEFINED^XUSRB");
    modal.OnForm<TfrmSignon>([this](TfrmSignon& form) {
        modal.ExpectMessage(
            "Error encountered.\nFunction was: UNDEFINED^XUSRB\nError was: M Error - Use ^XTER");
        SignOnWith(form, "demo", "demo.1234");
        EXPECT_FALSE(form.isVisible());
    });
    EXPECT_EQ(ConnectFails().ErrorCode(), 20004);
    EXPECT_FALSE(b.Connected());
    EXPECT_EQ(SignonForms().CurrentForm(), nullptr);
}

// A set-up answer of five lines always shows the form. While the form is shown, the
// application's help file is the client agent's. The form's place and size on a fresh
// workstation are the settings' tests (the normal size, centred).
TEST_F(SignonForm, OnAFreshWorkstationTheIntroIsCreamWithPropertiesAndCancelSendsNoCodes) {
    WriteRegistryText(RegistryRoot::LocalMachine, kBrokerKey, "BrokerDr", "/opt/zizedez");
    ui::SetApplicationHelpFile("/usr/share/labtest/labtest.hlp");
    peer.ReplyLines({"TESTSERVER", "DEV", "VORN", "9200", "5"});
    ScriptIntro();
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) {
        EXPECT_EQ(ui::ApplicationHelpFile(), "/opt/zizedez/zizedez.hlp");
        EXPECT_EQ(form.introText->palette().color(QPalette::Base), QColor("#FFFBF0"));
        // The window system's menu is out of reach: the properties item is on the form.
        EXPECT_EQ(form.contextMenuPolicy(), Qt::ActionsContextMenu);
        EXPECT_TRUE(form.actions().contains(form.propertiesAction));
        EXPECT_EQ(form.propertiesAction->text(), "&Properties...");
        EXPECT_EQ(form.propertiesAction->shortcut(), QKeySequence("Alt+P"));
        Type(form.accessCode, "demo");
        form.btnCancel->click();
    });
    EXPECT_EQ(ConnectFails().ErrorCode(), 20004);
    EXPECT_TRUE(peer.WaitForGoodbyes(1));
    EXPECT_EQ(CallNames(), (Strings{"XUS SIGNON SETUP", "XUS INTRO MSG"}));
    EXPECT_EQ(ui::ApplicationHelpFile(), "/usr/share/labtest/labtest.hlp");
    ui::SetApplicationHelpFile({});
}

// Each character shows as a star: see the verify code form.
TEST(CodeEdit, TypedPastedAndSetLettersTurnUpperCase) {
    CodeEdit edit;
    test::Type(&edit, "demo.1");
    EXPECT_EQ(edit.text(), "DEMO.1");
    edit.insert("ab");
    EXPECT_EQ(edit.text(), "DEMO.1AB");
    test::PressKey(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "DEMO.1A");
    edit.setText("Known.Code");
    EXPECT_EQ(edit.text(), "KNOWN.CODE");
}

// The verify code change dialog.
const QString kTryAgain = QStringLiteral(
    "Your VERIFY code was not changed.\rThe confirmation code does not match.  Try again.\r");
const QString kNoMatch =
    QStringLiteral("Your VERIFY code was not changed.\rThe confirmation code does not match.\r");
const QString kChanged = "Your VERIFY CODE has been changed";

// A signed-on broker and a TVCEdit on it; the dialog is driven through the modal host.
class VerifyCodeDialog : public test::WindowedSignon {
  protected:
    void SetUp() override {
        WindowedSignon::SetUp();
        test::ScriptNoSignonNeeded(peer);
        b.SetConnected(true);
        edit.SetRPCBroker(&b);
    }
    Strings CallsAfterSignon() const {
        auto names = CallNames();
        names.erase(names.begin());
        return names;
    }
    static void Fill(TfrmVCEdit& form, const QString& newCode, const QString& confirm) {
        Type(form.edtNewVC, newCode);
        Leave(form.edtNewVC);
        Type(form.edtConfirmVC, confirm);
    }
    // The help text is fetched once and shown at each press.
    static void PressHelpTwice(TfrmVCEdit& form) {
        form.btnHelp->click();
        form.btnHelp->click();
    }
    static void ExpectNewCodesEmptiedAndFocused(TfrmVCEdit& form) {
        EXPECT_EQ(form.edtNewVC->text(), "");
        EXPECT_EQ(form.edtConfirmVC->text(), "");
        EXPECT_EQ(form.focusWidget(), form.edtNewVC);
        EXPECT_TRUE(form.isVisible());
    }

    TVCEdit edit;
};

// The same code again is refused in a plain message, without asking the server. Three
// mismatches say "Try again" and keep the new code; from the fourth both codes are emptied. Only
// leaving the new-code field after the user edited it starts the count again.
TEST_F(VerifyCodeDialog, AKnownOldCodeIsShownLockedAndNotTakenAgainAndMismatchesCount) {
    modal.OnForm<TfrmVCEdit>([this](TfrmVCEdit& form) {
        EXPECT_EQ(form.windowTitle(), "Change TREVANTA Verify Code");
        EXPECT_EQ(form.edtOldVC->text(), "OLD.CODE.1");
        EXPECT_EQ(form.edtOldVC->displayText(), "**********");
        EXPECT_FALSE(form.edtOldVC->isEnabled());
        EXPECT_EQ(form.edtOldVC->palette().color(QPalette::Base),
                  form.edtOldVC->palette().color(QPalette::Button));
        EXPECT_EQ(form.focusWidget(), form.edtNewVC);
        Fill(form, "old.code.1", "old.code.1");
        form.btnOK->click();
        ExpectNewCodesEmptiedAndFocused(form);
        Fill(form, "new.code.2", "new.code.x");
        for (int i = 1; i <= 3; ++i) {
            form.btnOK->click();
            EXPECT_EQ(edit.MismatchCount(), i);
            EXPECT_EQ(form.edtNewVC->text(), "NEW.CODE.2") << "the new code stays";
            EXPECT_EQ(form.edtConfirmVC->text(), "");
            EXPECT_EQ(form.focusWidget(), form.edtConfirmVC);
            Type(form.edtConfirmVC, "new.code.y");
        }
        form.btnOK->click();
        ExpectNewCodesEmptiedAndFocused(form);
        // Emptied by the dialog, not edited: leaving the field keeps the count.
        Leave(form.edtNewVC);
        Type(form.edtConfirmVC, "a");
        form.edtNewVC->setText("B");
        form.btnOK->click();
        EXPECT_EQ(edit.MismatchCount(), 5);
        Type(form.edtNewVC, "3");
        EXPECT_EQ(edit.MismatchCount(), 5) << "only leaving the field counts";
        Leave(form.edtNewVC);
        EXPECT_EQ(edit.MismatchCount(), 0);
        Type(form.edtConfirmVC, "x");
        form.btnOK->click();
        EXPECT_EQ(edit.MismatchCount(), 1);
        form.btnCancel->click();
    });
    modal.ExpectMessage(
        "Your VERIFY code was not changed.\rThe new code is the same as the current one.\r");
    modal.ExpectMessage(kTryAgain).ExpectMessage(kTryAgain).ExpectMessage(kTryAgain);
    modal.ExpectMessage(kNoMatch).ExpectMessage(kNoMatch).ExpectMessage(kTryAgain);
    EXPECT_FALSE(edit.ChangeVerifyCode("OLD.CODE.1"));
    EXPECT_TRUE(CallsAfterSignon().empty());
    ASSERT_EQ(modal.Log().size(), 8u);
    EXPECT_EQ(modal.Log()[1].messageKind, ui::MessageKind::None);
    EXPECT_EQ(modal.Log()[1].buttons, ui::mbOK);
}

TEST_F(VerifyCodeDialog, WithoutAKnownCodeTheOldCodeIsTypedAndCodesAreSentUpperCase) {
    peer.ReplyLines({"Codes are 8 to 20 characters."});
    peer.ReplyLines({"0"});
    modal.OnForm<TfrmVCEdit>([](TfrmVCEdit& form) {
        PressHelpTwice(form);
        EXPECT_TRUE(form.edtOldVC->isEnabled());
        EXPECT_EQ(form.edtOldVC->text(), "");
        EXPECT_EQ(form.focusWidget(), form.edtOldVC);
        Type(form.edtOldVC, "old.code.1");
        Fill(form, "new.code.2", "new.code.2");
        form.btnOK->click();
        EXPECT_FALSE(form.isVisible());
    });
    const QString help =
        "Enter your current verify code first.\r\nEnter a new verify code and "
        "then confirm it.\r\rCodes are 8 to 20 characters.";
    modal.ExpectMessage(help).ExpectMessage(help).ExpectMessage(kChanged);
    EXPECT_TRUE(edit.ChangeVerifyCode());
    ASSERT_EQ(CallsAfterSignon(), (Strings{"XUS AV HELP", "XUS CVC"}));
    EXPECT_EQ(test::ChangedCodes(peer.Calls()[2]),
              (Strings{"OLD.CODE.1", "NEW.CODE.2", "NEW.CODE.2"}));
}

TEST_F(VerifyCodeDialog, OkIsTheDefaultButtonOnlyWhileAllThreeFieldsHoldACode) {
    peer.ReplyLines({"Codes are 8 to 20 characters.", "second line"});
    peer.ReplyLines({"0"});
    modal.OnForm<TfrmVCEdit>([](TfrmVCEdit& form) {
        PressHelpTwice(form);
        EXPECT_FALSE(form.btnOK->isDefault());
        Type(form.edtNewVC, "new.code.2");
        EXPECT_FALSE(form.btnOK->isDefault());
        PressKey(form.edtNewVC, Qt::Key_Return);  // nothing happens
        Type(form.edtConfirmVC, "new.code.2");
        EXPECT_TRUE(form.btnOK->isDefault());
        PressKey(form.edtConfirmVC, Qt::Key_Backspace);
        EXPECT_TRUE(form.btnOK->isDefault());
        form.edtConfirmVC->clear();
        EXPECT_FALSE(form.btnOK->isDefault());
        Type(form.edtConfirmVC, "new.code.2");
        PressKey(form.edtConfirmVC, Qt::Key_Return);
        EXPECT_FALSE(form.isVisible()) << "Enter pressed OK";
    });
    const QString help =
        "Enter a new verify code and then confirm it.\r\rCodes are 8 to 20 characters.";
    modal.ExpectMessage(help).ExpectMessage(help).ExpectMessage(kChanged);
    EXPECT_TRUE(edit.ChangeVerifyCode("OLD.CODE.1"));
    EXPECT_EQ(CallsAfterSignon(), (Strings{"XUS AV HELP", "XUS CVC"}));
}

TEST_F(VerifyCodeDialog, TheServersRefusalIsShownAndTheUserMayTryAgain) {
    peer.ReplyLines({"1", "The VERIFY CODE must be 8 to 20 characters."});
    peer.ReplyLines({"1"});
    peer.ReplyLines({"0"});
    modal.OnForm<TfrmVCEdit>([](TfrmVCEdit& form) {
        Fill(form, "short", "short");
        form.btnOK->click();
        ExpectNewCodesEmptiedAndFocused(form);
        Fill(form, "longer.code", "longer.code");
        form.btnOK->click();
        ExpectNewCodesEmptiedAndFocused(form);
        Fill(form, "longer.code.2", "longer.code.2");
        form.btnOK->click();
        EXPECT_FALSE(form.isVisible());
    });
    modal.ExpectMessage(
        "Your VERIFY code was not changed.\rThe VERIFY CODE must be 8 to 20 characters.\r");
    modal.ExpectMessage("Your VERIFY code was not changed.\r\r");
    modal.ExpectMessage(kChanged);
    EXPECT_TRUE(edit.ChangeVerifyCode("OLD.CODE.1"));
    EXPECT_EQ(CallsAfterSignon(), (Strings{"XUS CVC", "XUS CVC", "XUS CVC"}));
    EXPECT_EQ(test::ChangedCodes(peer.Calls()[1]), (Strings{"OLD.CODE.1", "SHORT", "SHORT"}));
}

TEST_F(VerifyCodeDialog, AnErrorOfTheChangeCallIsShownAndClosesTheDialogUnchanged) {
    peer.ReplyLines({});  // no help text
    peer.MError("UNDEFINED^XUSRB");
    modal.OnForm<TfrmVCEdit>([this](TfrmVCEdit& form) {
        PressHelpTwice(form);
        Fill(form, "new.code.2", "new.code.2");
        modal.ExpectMessage(
            "Error encountered.\nFunction was: UNDEFINED^XUSRB\nError was: M Error - Use ^XTER");
        form.btnOK->click();
        EXPECT_FALSE(form.isVisible());
    });
    const QString help = "Enter a new verify code and then confirm it.\r\r";
    modal.ExpectMessage(help).ExpectMessage(help);
    EXPECT_FALSE(edit.ChangeVerifyCode("OLD.CODE.1"));
    EXPECT_EQ(CallsAfterSignon(), (Strings{"XUS AV HELP", "XUS CVC"}));
    EXPECT_TRUE(b.Connected()) << "an M error leaves the link up";
}

}  // namespace
}  // namespace vorn
