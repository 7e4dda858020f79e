#include "signon/verify_code_form.h"

#include <QPushButton>

#include "broker/broker_error.h"
#include "signon/code_edit.h"
#include "tests/signon/signon_form_test_support.h"
#include "tests/support/signon_script.h"

namespace vorn {
namespace {

using test::Leave;
using test::PressKey;
using test::Type;
using Strings = std::vector<std::string>;

const QString kSame = QStringLiteral(
    "Your VERIFY code was not changed.\rThe new code is the same as the current one.\r");
const QString kTryAgain = QStringLiteral(
    "Your VERIFY code was not changed.\rThe confirmation code does not match.  Try again.\r");
const QString kNoMatch =
    QStringLiteral("Your VERIFY code was not changed.\rThe confirmation code does not match.\r");
const QString kChanged = QStringLiteral("Your VERIFY CODE has been changed");

// A signed-on broker and a TVCEdit on it; the dialog is driven through the modal host.
class VerifyCodeDialog : public test::WindowedSignon {
  protected:
    void SetUp() override {
        WindowedSignon::SetUp();
        test::ScriptNoSignonNeeded(peer);
        Aim(broker);
        broker.SetConnected(true);
        edit.SetRPCBroker(&broker);
    }
    std::vector<std::string> CallsAfterSignon() const {
        auto names = CallNames();
        names.erase(names.begin());
        return names;
    }
    static void Fill(TfrmVCEdit& form, const QString& newCode, const QString& confirm) {
        Type(form.edtNewVC, newCode);
        Leave(form.edtNewVC);
        Type(form.edtConfirmVC, confirm);
    }
    static void ExpectNewCodesEmptiedAndFocused(TfrmVCEdit& form) {
        EXPECT_EQ(form.edtNewVC->text(), "");
        EXPECT_EQ(form.edtConfirmVC->text(), "");
        EXPECT_EQ(form.focusWidget(), form.edtNewVC);
        EXPECT_TRUE(form.isVisible());
    }

    TRPCBroker broker;
    TVCEdit edit;
};

TEST_F(VerifyCodeDialog, AKnownOldCodeIsShownLockedInTheButtonFaceColour) {
    modal.OnForm<TfrmVCEdit>([](TfrmVCEdit& form) {
        EXPECT_EQ(form.windowTitle(), "Change TREVANTA Verify Code");
        EXPECT_EQ(form.edtOldVC->text(), "OLD.CODE.1");
        EXPECT_EQ(form.edtOldVC->displayText(), "**********");
        EXPECT_FALSE(form.edtOldVC->isEnabled());
        EXPECT_EQ(form.edtOldVC->palette().color(QPalette::Base),
                  form.edtOldVC->palette().color(QPalette::Button));
        EXPECT_EQ(form.focusWidget(), form.edtNewVC);
        EXPECT_EQ(form.btnOK->text(), "OK");
        for (auto* e : {form.edtOldVC, form.edtNewVC, form.edtConfirmVC})
            EXPECT_EQ(e->echoMode(), QLineEdit::Password);
        form.btnCancel->click();
    });
    EXPECT_FALSE(edit.ChangeVerifyCode("OLD.CODE.1"));
    EXPECT_TRUE(CallsAfterSignon().empty());
}

TEST_F(VerifyCodeDialog, WithoutAKnownCodeTheOldCodeIsTypedAndCodesAreSentUpperCase) {
    peer.ReplyLines({"0"});
    modal.OnForm<TfrmVCEdit>([](TfrmVCEdit& form) {
        EXPECT_TRUE(form.edtOldVC->isEnabled());
        EXPECT_EQ(form.edtOldVC->text(), "");
        EXPECT_EQ(form.focusWidget(), form.edtOldVC);
        Type(form.edtOldVC, "old.code.1");
        Fill(form, "new.code.2", "new.code.2");
        form.btnOK->click();
        EXPECT_FALSE(form.isVisible());
    });
    modal.ExpectMessage(kChanged);
    EXPECT_TRUE(edit.ChangeVerifyCode());
    ASSERT_EQ(CallsAfterSignon(), Strings{"XUS CVC"});
    EXPECT_EQ(test::ChangedCodes(peer.Calls()[1]),
              (Strings{"OLD.CODE.1", "NEW.CODE.2", "NEW.CODE.2"}));
}

TEST_F(VerifyCodeDialog, OkIsTheDefaultButtonOnlyWhileAllThreeFieldsHoldACode) {
    peer.ReplyLines({"0"});
    modal.OnForm<TfrmVCEdit>([](TfrmVCEdit& form) {
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
    modal.ExpectMessage(kChanged);
    EXPECT_TRUE(edit.ChangeVerifyCode("OLD.CODE.1"));
}

TEST_F(VerifyCodeDialog, TheSameCodeAgainIsRefusedWithoutAskingTheServer) {
    modal.OnForm<TfrmVCEdit>([](TfrmVCEdit& form) {
        Fill(form, "old.code.1", "old.code.1");
        form.btnOK->click();
        ExpectNewCodesEmptiedAndFocused(form);
        form.btnCancel->click();
    });
    modal.ExpectMessage(kSame);
    EXPECT_FALSE(edit.ChangeVerifyCode("OLD.CODE.1"));
    EXPECT_TRUE(CallsAfterSignon().empty());
}

TEST_F(VerifyCodeDialog, ThreeMismatchesSayTryAgainAndTheFourthEmptiesBothFields) {
    modal.OnForm<TfrmVCEdit>([this](TfrmVCEdit& form) {
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
        form.btnCancel->click();
    });
    modal.ExpectMessage(kTryAgain).ExpectMessage(kTryAgain).ExpectMessage(kTryAgain);
    modal.ExpectMessage(kNoMatch).ExpectMessage(kNoMatch);
    EXPECT_FALSE(edit.ChangeVerifyCode("OLD.CODE.1"));
    EXPECT_TRUE(CallsAfterSignon().empty());
}

TEST_F(VerifyCodeDialog, EditingTheNewCodeStartsTheCountAgain) {
    modal.OnForm<TfrmVCEdit>([this](TfrmVCEdit& form) {
        Fill(form, "new.code.2", "x1");
        form.btnOK->click();
        Type(form.edtConfirmVC, "x2");
        form.btnOK->click();
        Type(form.edtConfirmVC, "x3");
        form.btnOK->click();
        EXPECT_EQ(edit.MismatchCount(), 3);
        Type(form.edtNewVC, "3");
        EXPECT_EQ(edit.MismatchCount(), 3) << "only leaving the field counts";
        Leave(form.edtNewVC);
        EXPECT_EQ(edit.MismatchCount(), 0);
        Type(form.edtConfirmVC, "x4");
        form.btnOK->click();
        EXPECT_EQ(edit.MismatchCount(), 1);
        form.btnCancel->click();
    });
    for (int i = 0; i < 4; ++i)
        modal.ExpectMessage(kTryAgain);
    EXPECT_FALSE(edit.ChangeVerifyCode("OLD.CODE.1"));
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

TEST_F(VerifyCodeDialog, TheHelpTextIsFetchedOnceWithAKnownOldCode) {
    peer.ReplyLines({"Codes are 8 to 20 characters.", "second line"});
    const QString help = QStringLiteral(
        "Enter a new verify code and then confirm it.\r\rCodes are 8 to 20 characters.");
    modal.OnForm<TfrmVCEdit>([](TfrmVCEdit& form) {
        form.btnHelp->click();
        form.btnHelp->click();
        form.btnHelp->click();
        form.btnCancel->click();
    });
    modal.ExpectMessage(help).ExpectMessage(help).ExpectMessage(help);
    EXPECT_FALSE(edit.ChangeVerifyCode("OLD.CODE.1"));
    EXPECT_EQ(CallsAfterSignon(), Strings{"XUS AV HELP"});
}

TEST_F(VerifyCodeDialog, TheHelpTextWithoutAKnownOldCodeAsksForTheCurrentCodeFirst) {
    peer.ReplyLines({"Codes are 8 to 20 characters."});
    const QString help = QStringLiteral(
        "Enter your current verify code first.\r\nEnter a new verify code and then confirm "
        "it.\r\rCodes are 8 to 20 characters.");
    modal.OnForm<TfrmVCEdit>([](TfrmVCEdit& form) {
        form.btnHelp->click();
        form.btnHelp->click();
        form.btnCancel->click();
    });
    modal.ExpectMessage(help).ExpectMessage(help);
    EXPECT_FALSE(edit.ChangeVerifyCode());
    EXPECT_EQ(CallsAfterSignon(), Strings{"XUS AV HELP"});
}

TEST_F(VerifyCodeDialog, AnEmptyHelpAnswerLeavesOnlyTheDialogsOwnText) {
    peer.Reply("");
    modal.OnForm<TfrmVCEdit>([](TfrmVCEdit& form) {
        form.btnHelp->click();
        form.btnCancel->click();
    });
    modal.ExpectMessage("Enter a new verify code and then confirm it.\r\r");
    EXPECT_FALSE(edit.ChangeVerifyCode("OLD.CODE.1"));
}

TEST_F(VerifyCodeDialog, MessagesArePlainMessageBoxes) {
    modal.OnForm<TfrmVCEdit>([](TfrmVCEdit& form) {
        Fill(form, "old.code.1", "old.code.1");
        form.btnOK->click();
        form.btnCancel->click();
    });
    modal.OnMessage([](const ui::MessageRequest& r) {
        EXPECT_EQ(r.kind, ui::MessageKind::None);
        EXPECT_EQ(r.buttons, ui::mbOK);
        return ui::mrOk;
    });
    edit.ChangeVerifyCode("OLD.CODE.1");
}

TEST_F(VerifyCodeDialog, AnErrorOfTheChangeCallIsShownAndClosesTheDialogUnchanged) {
    peer.MError("UNDEFINED^XUSRB");
    modal.OnForm<TfrmVCEdit>([this](TfrmVCEdit& form) {
        Fill(form, "new.code.2", "new.code.2");
        modal.ExpectMessage(
            "Error encountered.\nFunction was: UNDEFINED^XUSRB\nError was: M Error - Use ^XTER");
        form.btnOK->click();
        EXPECT_FALSE(form.isVisible());
    });
    EXPECT_FALSE(edit.ChangeVerifyCode("OLD.CODE.1"));
    EXPECT_TRUE(broker.Connected()) << "an M error leaves the link up";
}

}  // namespace
}  // namespace vorn
