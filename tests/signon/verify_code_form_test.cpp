#include "signon/verify_code_form.h"

#include <QPushButton>

#include "signon/code_edit.h"
#include "tests/signon/signon_form_test_support.h"

namespace vorn {
namespace {

using test::Leave;
using test::PressKey;
using test::Strings;
using test::Type;

const QString kSame = QStringLiteral(
    "Your VERIFY code was not changed.\rThe new code is the same as the current one.\r");
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
    static void ExpectNewCodesEmptiedAndFocused(TfrmVCEdit& form) {
        EXPECT_EQ(form.edtNewVC->text(), "");
        EXPECT_EQ(form.edtConfirmVC->text(), "");
        EXPECT_EQ(form.focusWidget(), form.edtNewVC);
        EXPECT_TRUE(form.isVisible());
    }

    TVCEdit edit;
};

// The same code again is refused in a plain message, without asking the server.
TEST_F(VerifyCodeDialog, AKnownOldCodeIsShownLockedInTheButtonFaceColourAndNotTakenAgain) {
    modal.OnForm<TfrmVCEdit>([](TfrmVCEdit& form) {
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
        form.btnCancel->click();
    });
    modal.ExpectMessage(kSame);
    EXPECT_FALSE(edit.ChangeVerifyCode("OLD.CODE.1"));
    EXPECT_TRUE(CallsAfterSignon().empty());
    ASSERT_EQ(modal.Log().size(), 2u);
    EXPECT_EQ(modal.Log()[1].messageKind, ui::MessageKind::None);
    EXPECT_EQ(modal.Log()[1].buttons, ui::mbOK);
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

// Three mismatches say "Try again" and keep the new code; from the fourth both codes are
// emptied. Only leaving the new-code field after the user edited it starts the count again.
TEST_F(VerifyCodeDialog, MismatchesCountUntilTheNewCodeIsEdited) {
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
        Type(form.edtNewVC, "3");
        EXPECT_EQ(edit.MismatchCount(), 5) << "only leaving the field counts";
        Leave(form.edtNewVC);
        EXPECT_EQ(edit.MismatchCount(), 0);
        Type(form.edtConfirmVC, "x");
        form.btnOK->click();
        EXPECT_EQ(edit.MismatchCount(), 1);
        form.btnCancel->click();
    });
    modal.ExpectMessage(kTryAgain).ExpectMessage(kTryAgain).ExpectMessage(kTryAgain);
    modal.ExpectMessage(kNoMatch).ExpectMessage(kNoMatch).ExpectMessage(kTryAgain);
    EXPECT_FALSE(edit.ChangeVerifyCode("OLD.CODE.1"));
    EXPECT_TRUE(CallsAfterSignon().empty());
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

struct HelpCase {
    const char* what;
    const char* knownOldCode;
    std::vector<std::string> answer;
    const char* shown;
};

class HelpTexts : public VerifyCodeDialog, public ::testing::WithParamInterface<HelpCase> {};

TEST_P(HelpTexts, AreFetchedOnceAndShownAtEveryPress) {
    const HelpCase& c = GetParam();
    peer.ReplyLines(c.answer);
    modal.OnForm<TfrmVCEdit>([](TfrmVCEdit& form) {
        form.btnHelp->click();
        form.btnHelp->click();
        form.btnCancel->click();
    });
    modal.ExpectMessage(c.shown).ExpectMessage(c.shown);
    EXPECT_FALSE(edit.ChangeVerifyCode(c.knownOldCode));
    EXPECT_EQ(CallsAfterSignon(), Strings{"XUS AV HELP"});
}

INSTANTIATE_TEST_SUITE_P(
    Answers, HelpTexts,
    ::testing::Values(
        HelpCase{"KnownOldCode",
                 "OLD.CODE.1",
                 {"Codes are 8 to 20 characters.", "second line"},
                 "Enter a new verify code and then confirm it.\r\rCodes are 8 to 20 characters."},
        HelpCase{"OldCodeToType",
                 "",
                 {"Codes are 8 to 20 characters."},
                 "Enter your current verify code first.\r\nEnter a new verify code and then "
                 "confirm it.\r\rCodes are 8 to 20 characters."},
        HelpCase{
            "EmptyAnswer", "OLD.CODE.1", {}, "Enter a new verify code and then confirm it.\r\r"}),
    [](const auto& info) { return std::string(info.param.what); });

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
    EXPECT_TRUE(b.Connected()) << "an M error leaves the link up";
}

}  // namespace
}  // namespace vorn
