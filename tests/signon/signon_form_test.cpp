#include "signon/signon_form.h"

#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

#include "broker/broker_error.h"
#include "broker/registry_settings.h"
#include "signon/code_edit.h"
#include "signon/signon_message_form.h"
#include "signon/signon_settings.h"
#include "signon/verify_code_form.h"
#include "tests/signon/signon_form_test_support.h"
#include "tests/support/signon_script.h"
#include "toolkit/help_file.h"

namespace vorn {
namespace {

using test::Names;
using test::Text;
using test::Type;
using test::WindowedSignon;

const QString kWrongCodes = QStringLiteral("Not a valid ACCESS CODE/VERIFY CODE pair.");

using Strings = std::vector<std::string>;

class SignonForm : public WindowedSignon {
  protected:
    void ScriptIntro() { peer.ReplyLines({"Welcome to the test server.", "Authorised use only."}); }
    void ScriptWrongCodes() { peer.ReplyLines({"0", "0", "0", Text(kWrongCodes), "0", "0"}); }
    std::string SentCodes(int call) {
        return Unscramble(test::FirstLiteral(peer.Calls().at(call)));
    }
    // Types the codes and presses OK.
    static void SignOnWith(TfrmSignon& form, const QString& access, const QString& verify) {
        Type(form.accessCode, access);
        Type(form.verifyCode, verify);
        form.btnOk->click();
    }
    EBrokerError ConnectFails(TRPCBroker& b) {
        try {
            b.SetConnected(true);
        } catch (const EBrokerError& e) {
            return e;
        }
        ADD_FAILURE() << "the connect did not fail";
        return EBrokerError({}, {}, 0, {});
    }
};

TEST_F(SignonForm, NoSignonNeededNeverShowsTheForm) {
    test::ScriptNoSignonNeeded(peer);
    TRPCBroker b;
    Aim(b);
    b.SetConnected(true);
    EXPECT_TRUE(b.Connected());
    EXPECT_TRUE(modal.Log().empty());
    EXPECT_EQ(CallNames(), Strings{"XUS SIGNON SETUP"});
    EXPECT_EQ(SignonForms().CurrentForm(), nullptr) << "the form is released";
}

TEST_F(SignonForm, ASetupOfFiveLinesAlwaysShowsTheForm) {
    peer.ReplyLines({"TESTSERVER", "DEV", "VORN", "9200", "5"});
    ScriptIntro();
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) { form.btnCancel->click(); });
    TRPCBroker b;
    Aim(b);
    EXPECT_EQ(ConnectFails(b).ErrorCode(), 20004);
}

TEST_F(SignonForm, PresetCodesAreSentAtOnceWithoutTheForm) {
    test::ScriptSetupAsksSignon(peer);
    test::ScriptCodesAccepted(peer);
    TRPCBroker b;
    Aim(b);
    b.PresetCodes = "DEMO;DEMO.1234";
    b.SetConnected(true);
    EXPECT_TRUE(b.Connected());
    EXPECT_TRUE(modal.Log().empty());
    EXPECT_EQ(CallNames(), (Strings{"XUS SIGNON SETUP", "XUS AV CODE"}));
    EXPECT_EQ(SentCodes(1), "DEMO;DEMO.1234");
}

TEST_F(SignonForm, WrongCodesEmptyTheFieldsWarnAndLetTheUserTryAgain) {
    test::ScriptSetupAsksSignon(peer);
    ScriptIntro();
    ScriptWrongCodes();
    test::ScriptCodesAccepted(peer);
    modal.OnForm<TfrmSignon>([this](TfrmSignon& form) {
        EXPECT_EQ(form.windowTitle(), "TREVANTA Sign-on");
        EXPECT_EQ(form.lblServer->text(), "TESTSERVER");
        EXPECT_EQ(form.lblVolume->text(), "DEV");
        EXPECT_EQ(form.lblUCI->text(), "VORN");
        EXPECT_EQ(form.lblPort->text(), "9200");
        EXPECT_EQ(form.introText->toPlainText(),
                  "Welcome to the test server.\nAuthorised use only.");
        EXPECT_EQ(form.focusWidget(), form.accessCode) << "the access code has the focus first";
        EXPECT_TRUE(form.btnOk->isDefault());
        EXPECT_EQ(form.btnOk->text(), "&OK");
        EXPECT_EQ(form.btnCancel->text(), "&Cancel");

        Type(form.accessCode, "demo");
        Type(form.verifyCode, "wrong");
        EXPECT_EQ(form.accessCode->text(), "DEMO") << "letters turn upper case while typing";
        EXPECT_EQ(form.verifyCode->text(), "WRONG");
        EXPECT_EQ(form.verifyCode->displayText(), "*****");
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
    modal.OnMessage([](const ui::MessageRequest& r) {
        EXPECT_EQ(r.text, kWrongCodes);
        EXPECT_EQ(r.kind, ui::MessageKind::Warning);
        EXPECT_EQ(r.buttons, ui::mbOK);
        return ui::mrOk;
    });
    TRPCBroker b;
    Aim(b);
    b.SetConnected(true);
    EXPECT_TRUE(b.Connected());
    EXPECT_EQ(CallNames(),
              (Strings{"XUS SIGNON SETUP", "XUS INTRO MSG", "XUS AV CODE", "XUS AV CODE"}));
    EXPECT_EQ(SentCodes(2), "DEMO;WRONG") << "typed in lower case, sent in upper case";
    EXPECT_EQ(SentCodes(3), "DEMO;DEMO.1234");
}

TEST_F(SignonForm, ARefusalShowsLineThreeAndTheBrokerClosesTheLink) {
    test::ScriptSetupAsksSignon(peer);
    ScriptIntro();
    peer.ReplyLines({"0", "1", "0", "Your access has been terminated.", "0", "0"});
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) {
        SignOnWith(form, "gone", "gone.1234");
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.Tag, 0);
    });
    modal.OnMessage([](const ui::MessageRequest& r) {
        EXPECT_EQ(r.text, "Your access has been terminated.");
        EXPECT_EQ(r.kind, ui::MessageKind::None) << "a plain message box";
        EXPECT_EQ(r.buttons, ui::mbOK);
        return ui::mrOk;
    });
    TRPCBroker b;
    Aim(b);
    const EBrokerError e = ConnectFails(b);
    EXPECT_EQ(e.ErrorCode(), 20004);
    EXPECT_EQ(e.ErrorName(), "Sign-on was not completed.");
    EXPECT_EQ(e.FailedStep(), "");
    EXPECT_FALSE(b.Connected());
    EXPECT_TRUE(peer.WaitForGoodbyes(1));
    EXPECT_EQ(peer.Messages().back(), "{XWB}0001000005#BYE#");
}

TEST_F(SignonForm, CancelEndsTheSignonWithoutSendingCodes) {
    test::ScriptSetupAsksSignon(peer);
    ScriptIntro();
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) {
        Type(form.accessCode, "demo");
        form.btnCancel->click();
    });
    TRPCBroker b;
    Aim(b);
    EXPECT_EQ(ConnectFails(b).ErrorCode(), 20004);
    EXPECT_TRUE(peer.WaitForGoodbyes(1));
    EXPECT_EQ(CallNames(), (Strings{"XUS SIGNON SETUP", "XUS INTRO MSG"}));
}

TEST_F(SignonForm, AVerifyCodeThatMustChangeRunsTheChangeDialogWithTheTypedCode) {
    test::ScriptSetupAsksSignon(peer);
    ScriptIntro();
    peer.ReplyLines({"0", "0", "1", "", "0", "0"});
    peer.ReplyLines({"0"});
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) {
        SignOnWith(form, "change", "change.1234");
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(form.Tag, 1);
    });
    modal.OnMessage([](const ui::MessageRequest& r) {
        EXPECT_EQ(r.text, "You must change your VERIFY CODE at this time.");
        EXPECT_EQ(r.kind, ui::MessageKind::Warning);
        EXPECT_EQ(r.buttons, ui::mbOK);
        return ui::mrOk;
    });
    modal.OnForm<TfrmVCEdit>([](TfrmVCEdit& form) {
        EXPECT_EQ(form.edtOldVC->text(), "CHANGE.1234");
        EXPECT_FALSE(form.edtOldVC->isEnabled());
        Type(form.edtNewVC, "new.code.1");
        Type(form.edtConfirmVC, "new.code.1");
        form.btnOK->click();
    });
    modal.ExpectMessage("Your VERIFY CODE has been changed");
    TRPCBroker b;
    Aim(b);
    b.SetConnected(true);
    EXPECT_TRUE(b.Connected());
    ASSERT_EQ(CallNames(),
              (Strings{"XUS SIGNON SETUP", "XUS INTRO MSG", "XUS AV CODE", "XUS CVC"}));
    EXPECT_EQ(test::ChangedCodes(peer.Calls()[3]),
              (Strings{"CHANGE.1234", "NEW.CODE.1", "NEW.CODE.1"}));
}

TEST_F(SignonForm, AChangeOfTheVerifyCodeThatIsCancelledEndsTheSignon) {
    test::ScriptSetupAsksSignon(peer);
    ScriptIntro();
    peer.ReplyLines({"0", "0", "1", "", "0", "0"});
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) { SignOnWith(form, "change", "change.1234"); });
    modal.ExpectMessage("You must change your VERIFY CODE at this time.");
    modal.OnForm<TfrmVCEdit>([](TfrmVCEdit& form) { form.btnCancel->click(); });
    TRPCBroker b;
    Aim(b);
    EXPECT_EQ(ConnectFails(b).ErrorCode(), 20004);
    EXPECT_TRUE(peer.WaitForGoodbyes(1));
}

TEST_F(SignonForm, MessagesAfterTheSignonShowExactlyTheCountedLines) {
    test::ScriptSetupAsksSignon(peer);
    ScriptIntro();
    peer.ReplyLines({"42", "0", "0", "", "0", "2", "You have 3 new messages.",
                     "The system goes down at 22:00.", "not counted"});
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) { SignOnWith(form, "demo", "demo.1234"); });
    modal.OnForm<TfrmSignonMsg>([](TfrmSignonMsg& form) {
        EXPECT_EQ(form.windowTitle(), "Signon Message");
        EXPECT_EQ(form.mmoMsg->toPlainText(),
                  "You have 3 new messages.\nThe system goes down at 22:00.");
        form.BitBtn1->click();
    });
    TRPCBroker b;
    Aim(b);
    b.SetConnected(true);
    EXPECT_TRUE(b.Connected());
}

TEST_F(SignonForm, ASignonWithNoMessagesShowsNoMessageForm) {
    test::ScriptSetupAsksSignon(peer);
    ScriptIntro();
    test::ScriptCodesAccepted(peer);
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) { SignOnWith(form, "demo", "demo.1234"); });
    TRPCBroker b;
    Aim(b);
    b.SetConnected(true);
    EXPECT_TRUE(b.Connected());
    EXPECT_EQ(modal.Log().size(), 1u);
}

TEST_F(SignonForm, TheBrokersCallStateIsTheSameAfterTheSignon) {
    test::ScriptSetupAsksSignon(peer);
    ScriptIntro();
    ScriptWrongCodes();
    test::ScriptCodesAccepted(peer, {"Hello."});
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) {
        SignOnWith(form, "demo", "wrong");
        SignOnWith(form, "demo", "demo.1234");
    });
    modal.ExpectMessage(kWrongCodes);
    modal.OnForm<TfrmSignonMsg>([](TfrmSignonMsg& form) { form.BitBtn1->click(); });
    TRPCBroker b;
    Aim(b);
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

    b.SetConnected(true);
    EXPECT_TRUE(b.Connected());
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

TEST_F(SignonForm, AnErrorOfTheCodeCallIsShownAndClosesTheFormUnsigned) {
    test::ScriptSetupAsksSignon(peer);
    ScriptIntro();
    peer.MError("UNDEFINED^XUSRB");
    modal.OnForm<TfrmSignon>([this](TfrmSignon& form) {
        modal.ExpectMessage(
            "Error encountered.\nFunction was: UNDEFINED^XUSRB\nError was: M Error - Use ^XTER");
        SignOnWith(form, "demo", "demo.1234");
        EXPECT_FALSE(form.isVisible());
    });
    TRPCBroker b;
    Aim(b);
    const EBrokerError e = ConnectFails(b);
    EXPECT_EQ(e.ErrorCode(), 20004);
    EXPECT_FALSE(b.Connected());
    EXPECT_EQ(SignonForms().CurrentForm(), nullptr);
}

TEST_F(SignonForm, OnAFreshWorkstationTheFormOpensCentredAtNormalSizeInCream) {
    test::ScriptSetupAsksSignon(peer);
    ScriptIntro();
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) {
        EXPECT_EQ(form.size(), QSize(500, 300));
        const QRect screen = form.screen()->availableGeometry();
        const QRect frame = form.frameGeometry();
        EXPECT_EQ(frame.x(), screen.x() + (screen.width() - frame.width()) / 2);
        EXPECT_EQ(frame.y(), screen.y() + (screen.height() - frame.height()) / 2);
        EXPECT_EQ(form.introText->palette().color(QPalette::Base), QColor("#FFFBF0"));
        EXPECT_EQ(form.introText->font().family(), "System");
        EXPECT_EQ(form.introText->font().pointSize(), 14);
        EXPECT_EQ(form.introText->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        EXPECT_TRUE(form.introText->isReadOnly());
        form.btnCancel->click();
    });
    TRPCBroker b;
    Aim(b);
    EXPECT_THROW(b.SetConnected(true), EBrokerError);
    const auto value = [](const char* name) {
        return ReadRegistryText(RegistryRoot::LocalMachine, kSignonKey, name);
    };
    EXPECT_EQ(value("SignonPos"), "0");
    EXPECT_EQ(value("SignonSiz"), "0");
    EXPECT_EQ(value("IntroBackClr"), "0");
    EXPECT_EQ(value("IntroTextFont"), "System^14");
}

TEST_F(SignonForm, TheAgentsHelpFileIsTheApplicationsWhileTheFormIsShown) {
    WriteRegistryText(RegistryRoot::LocalMachine, kBrokerKey, "BrokerDr", "/opt/zizedez");
    ui::SetApplicationHelpFile("/usr/share/labtest/labtest.hlp");
    test::ScriptSetupAsksSignon(peer);
    ScriptIntro();
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) {
        EXPECT_EQ(ui::ApplicationHelpFile(), "/opt/zizedez/zizedez.hlp");
        EXPECT_EQ(ui::HelpContext(form), 1);
        form.btnCancel->click();
    });
    TRPCBroker b;
    Aim(b);
    EXPECT_THROW(b.SetConnected(true), EBrokerError);
    EXPECT_EQ(ui::ApplicationHelpFile(), "/usr/share/labtest/labtest.hlp");
    ui::SetApplicationHelpFile({});
}

TEST(SignonFormItself, ThePropertiesItemSitsInTheContextMenuAndOnAltP) {
    test::ScopedSettings settings;
    TfrmSignon form;
    EXPECT_EQ(form.contextMenuPolicy(), Qt::ActionsContextMenu);
    ASSERT_TRUE(form.actions().contains(form.propertiesAction));
    EXPECT_EQ(form.propertiesAction->text(), "&Properties...");
    EXPECT_EQ(form.propertiesAction->data().toInt(), 1);
    EXPECT_EQ(form.propertiesAction->shortcut(), QKeySequence("Alt+P"));
    EXPECT_EQ(form.RpcbiBroker->objectName(), "RpcbiBroker");
    EXPECT_EQ(form.accessCode->echoMode(), QLineEdit::Password);
    EXPECT_EQ(form.Tag, 0);
}

}  // namespace
}  // namespace vorn
