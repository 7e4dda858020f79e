#include "signon/signon_configuration.h"

#include <QAction>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "broker/broker_error.h"
#include "broker/registry_settings.h"
#include "signon/signon_form.h"
#include "tests/signon/signon_form_test_support.h"
#include "tests/support/signon_script.h"
#include "toolkit/help_file.h"
#include "toolkit/radio_group.h"

namespace vorn {
namespace {

QString Stored(const char* name) {
    return ReadRegistryText(RegistryRoot::LocalMachine, kSignonKey, name);
}
void Store(const char* name, const QString& text) {
    WriteRegistryText(RegistryRoot::LocalMachine, kSignonKey, name, text);
}

QStringList Items(const ui::RadioGroup& group) {
    QStringList items;
    for (int i = 0; i < group.Count(); ++i)
        items << group.Button(i)->text();
    return items;
}

// The dialog on its own, for a plain window standing in for the sign-on form.
class SignonProperties : public ::testing::Test {
  protected:
    test::ScopedSettings settings;
    test::ScriptedModalHost modal;
    QWidget window;
    QPlainTextEdit intro;
};

TEST_F(SignonProperties, ShowsTheStoredSettingsWithItsOwnTexts) {
    Store("SignonPos", "1^10^20");
    Store("SignonSiz", "2");
    Store("IntroBackClr", "1");
    Store("IntroTextFont", "Courier^11");
    modal.OnForm<TSignonConfiguration>([](TSignonConfiguration& d) {
        EXPECT_EQ(d.windowTitle(), "Sign-on Properties");
        EXPECT_EQ(d.rgrWindowPosition->title(), "Window Position");
        EXPECT_EQ(Items(*d.rgrWindowPosition), (QStringList{"Center", "Current", "Remember"}));
        EXPECT_EQ(d.rgrWindowSize->title(), "Window Size");
        EXPECT_EQ(Items(*d.rgrWindowSize), (QStringList{"Normal", "Current", "Remember"}));
        EXPECT_EQ(d.grpIntroText->title(), "Intro Text");
        EXPECT_EQ(d.Button1->text(), "Change Font");
        EXPECT_EQ(d.rgrIntroBackClr->title(), "Background Color");
        EXPECT_EQ(Items(*d.rgrIntroBackClr), (QStringList{"Cream", "White"}));
        EXPECT_EQ(d.rgrIntroBackClr->Columns(), 2);
        EXPECT_EQ(d.btnDefaults->text(), "&Defaults");
        EXPECT_EQ(ui::HelpContext(d), 2);
        EXPECT_EQ(ui::HelpContext(*d.btnDefaults), 4);
        for (const char* name : {"rgrWindowPosition", "rgrWindowSize", "Button1", "rgrIntroBackClr",
                                 "OKBtn", "CancelBtn", "HelpBtn", "btnDefaults"})
            EXPECT_NE(d.findChild<QWidget*>(name), nullptr) << name;

        EXPECT_EQ(d.rgrWindowPosition->ItemIndex(), 1);
        EXPECT_EQ(d.rgrWindowSize->ItemIndex(), 2);
        EXPECT_EQ(d.rgrIntroBackClr->ItemIndex(), 1);
        EXPECT_EQ(d.FontDialog1.Font.family(), "Courier");
        EXPECT_EQ(d.FontDialog1.Font.pointSize(), 11);
        d.CancelBtn->click();
    });
    EXPECT_EQ(TSignonConfiguration::Open(&window, &intro), QDialog::Rejected);
}

TEST_F(SignonProperties, CancelSavesNothing) {
    modal.OnForm<TSignonConfiguration>([](TSignonConfiguration& d) {
        d.rgrWindowPosition->SetItemIndex(2);
        d.rgrIntroBackClr->SetItemIndex(1);
        d.CancelBtn->click();
    });
    const QColor before = intro.palette().color(QPalette::Base);
    EXPECT_EQ(TSignonConfiguration::Open(&window, &intro), QDialog::Rejected);
    EXPECT_EQ(Stored("SignonPos"), "0");
    EXPECT_EQ(Stored("IntroBackClr"), "0");
    EXPECT_EQ(intro.palette().color(QPalette::Base), before) << "nothing is applied either";
}

TEST_F(SignonProperties, DefaultsResetTheDialogAfterYesButSaveNothingUntilOk) {
    Store("SignonPos", "1^10^20");
    Store("SignonSiz", "2^600^400");
    Store("IntroBackClr", "1");
    Store("IntroTextFont", "Courier^11");
    const auto question = [](int answer) {
        return [answer](const ui::MessageRequest& r) {
            EXPECT_EQ(r.text, "Are you sure you want to reset all settings to their defaults?");
            EXPECT_EQ(r.kind, ui::MessageKind::Warning);
            EXPECT_EQ(r.buttons, ui::mbYes | ui::mbNo);
            return answer;
        };
    };
    modal.OnForm<TSignonConfiguration>([](TSignonConfiguration& d) {
        d.btnDefaults->click();  // No
        EXPECT_EQ(d.rgrWindowPosition->ItemIndex(), 1);
        EXPECT_EQ(d.FontDialog1.Font.family(), "Courier");
        d.btnDefaults->click();  // Yes
        EXPECT_EQ(d.rgrWindowPosition->ItemIndex(), 0);
        EXPECT_EQ(d.rgrWindowSize->ItemIndex(), 0);
        EXPECT_EQ(d.rgrIntroBackClr->ItemIndex(), 0);
        EXPECT_EQ(d.FontDialog1.Font.family(), "System");
        EXPECT_EQ(d.FontDialog1.Font.pointSize(), 14);
        EXPECT_EQ(Stored("SignonPos"), "1^10^20") << "nothing is saved before OK";
        EXPECT_EQ(Stored("IntroTextFont"), "Courier^11");
        d.CancelBtn->click();
    });
    modal.OnMessage(question(ui::mrNo));
    modal.OnMessage(question(ui::mrYes));
    TSignonConfiguration::Open(&window, &intro);
    EXPECT_EQ(Stored("SignonPos"), "1^10^20");
    EXPECT_EQ(Stored("SignonSiz"), "2^600^400");
    EXPECT_EQ(Stored("IntroBackClr"), "1");
    EXPECT_EQ(Stored("IntroTextFont"), "Courier^11");

    modal.OnForm<TSignonConfiguration>([](TSignonConfiguration& d) {
        EXPECT_EQ(d.rgrWindowPosition->ItemIndex(), 1) << "read again when shown again";
        d.btnDefaults->click();
        d.OKBtn->click();
    });
    modal.OnMessage(question(ui::mrYes));
    TSignonConfiguration::Open(&window, &intro);
    EXPECT_EQ(Stored("SignonPos"), "0");
    EXPECT_EQ(Stored("SignonSiz"), "0");
    EXPECT_EQ(Stored("IntroBackClr"), "0");
    EXPECT_EQ(Stored("IntroTextFont"), "System^14");
}

TEST_F(SignonProperties, TheFontComesFromTheFontDialogAndIsAppliedAtOk) {
    modal.OnForm<TSignonConfiguration>([](TSignonConfiguration& d) {
        d.Button1->click();  // the font dialog is cancelled
        EXPECT_EQ(d.FontDialog1.Font.family(), "System");
        d.Button1->click();
        EXPECT_EQ(d.FontDialog1.Font.family(), "Courier");
        d.rgrIntroBackClr->Button(1)->click();
        d.OKBtn->click();
    });
    modal.OnFont([](QFont& font) {
        EXPECT_EQ(font.family(), "System");
        EXPECT_EQ(font.pointSize(), 14);
        font = QFont("Courier", 30);
        return false;
    });
    modal.OnFont([](QFont& font) {
        EXPECT_EQ(font.family(), "System") << "the font dialog shows the intro-text font";
        font = QFont("Courier", 9);
        return true;
    });
    EXPECT_EQ(TSignonConfiguration::Open(&window, &intro), QDialog::Accepted);
    EXPECT_EQ(Stored("IntroTextFont"), "Courier^9");
    EXPECT_EQ(Stored("IntroBackClr"), "1");
    EXPECT_EQ(intro.font().family(), "Courier");
    EXPECT_EQ(intro.font().pointSize(), 9);
    EXPECT_EQ(intro.palette().color(QPalette::Base), QColor(Qt::white));
}

TEST_F(SignonProperties, HelpShowsTopicTwoOfTheAgentsHelpFile) {
    WriteRegistryText(RegistryRoot::LocalMachine, kBrokerKey, "BrokerDr", "/opt/zizedez");
    ui::SetApplicationHelpFile("labtest.hlp");
    std::vector<std::pair<QString, int>> asked;
    ui::SetHelpHandler(
        [&](const QString& file, int context) { asked.emplace_back(file, context); });
    modal.OnForm<TSignonConfiguration>([](TSignonConfiguration& d) {
        EXPECT_EQ(ui::ApplicationHelpFile(), "/opt/zizedez/zizedez.hlp");
        d.HelpBtn->click();
        d.CancelBtn->click();
    });
    TSignonConfiguration::Open(&window, &intro);
    ui::SetHelpHandler(nullptr);
    EXPECT_EQ(ui::ApplicationHelpFile(), "labtest.hlp");
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].first, "/opt/zizedez/zizedez.hlp");
    EXPECT_EQ(asked[0].second, 2);
    ui::SetApplicationHelpFile({});
}

// The dialog opened from the sign-on form's "&Properties..." during a sign-on.
class PropertiesDuringSignon : public test::WindowedSignon {
  protected:
    void ScriptShownForm() {
        test::ScriptSetupAsksSignon(peer);
        peer.ReplyLines({"Welcome."});
    }
    void SignOnAndCancel() {
        TRPCBroker b;
        Aim(b);
        EXPECT_THROW(b.SetConnected(true), EBrokerError);
    }
    static void Choose(TSignonConfiguration& d, int position, int size) {
        d.rgrWindowPosition->Button(position)->click();
        d.rgrWindowSize->Button(size)->click();
        d.OKBtn->click();
    }
};

TEST_F(PropertiesDuringSignon, CurrentStoresTheCoordinatesAtOkAndNotLaterMoves) {
    ScriptShownForm();
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) {
        form.move(60, 40);
        form.resize(520, 340);
        form.propertiesAction->trigger();
        EXPECT_EQ(Stored("SignonPos"), "1^40^60");
        EXPECT_EQ(Stored("SignonSiz"), "1^520^340");
        EXPECT_EQ(form.pos(), QPoint(60, 40)) << "mode 1 leaves the open form where it is";
        form.move(5, 5);
        form.resize(450, 290);
        form.btnCancel->click();
    });
    modal.OnForm<TSignonConfiguration>([](TSignonConfiguration& d) { Choose(d, 1, 1); });
    SignOnAndCancel();
    EXPECT_EQ(Stored("SignonPos"), "1^40^60");
    EXPECT_EQ(Stored("SignonSiz"), "1^520^340");

    ScriptShownForm();
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) {
        EXPECT_EQ(form.pos(), QPoint(60, 40));
        EXPECT_EQ(form.size(), QSize(520, 340));
        form.btnCancel->click();
    });
    SignOnAndCancel();
}

TEST_F(PropertiesDuringSignon, RememberStoresTheModeAtOkAndTheCoordinatesAtClose) {
    ScriptShownForm();
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) {
        form.propertiesAction->trigger();
        EXPECT_EQ(Stored("SignonPos"), "2");
        EXPECT_EQ(Stored("SignonSiz"), "2");
        form.move(70, 50);
        form.resize(610, 350);
        form.btnCancel->click();
    });
    modal.OnForm<TSignonConfiguration>([](TSignonConfiguration& d) { Choose(d, 2, 2); });
    SignOnAndCancel();
    EXPECT_EQ(Stored("SignonPos"), "2^50^70");
    EXPECT_EQ(Stored("SignonSiz"), "2^610^350");

    ScriptShownForm();
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) {
        EXPECT_EQ(form.pos(), QPoint(70, 50));
        EXPECT_EQ(form.size(), QSize(610, 350));
        form.move(90, 80);
        form.btnCancel->click();
    });
    SignOnAndCancel();
    EXPECT_EQ(Stored("SignonPos"), "2^80^90");
}

TEST_F(PropertiesDuringSignon, CenterAndNormalResetTheOpenFormAtOnce) {
    ScriptShownForm();
    modal.OnForm<TfrmSignon>([](TfrmSignon& form) {
        form.move(7, 9);
        form.resize(640, 420);
        form.propertiesAction->trigger();
        EXPECT_EQ(form.size(), QSize(500, 300));
        const QRect screen = form.screen()->availableGeometry();
        const QRect frame = form.frameGeometry();
        EXPECT_EQ(frame.x(), screen.x() + (screen.width() - frame.width()) / 2);
        EXPECT_EQ(frame.y(), screen.y() + (screen.height() - frame.height()) / 2);
        EXPECT_EQ(form.introText->palette().color(QPalette::Base), QColor(Qt::white));
        form.btnCancel->click();
    });
    modal.OnForm<TSignonConfiguration>([](TSignonConfiguration& d) {
        d.rgrIntroBackClr->Button(1)->click();
        Choose(d, 0, 0);
    });
    SignOnAndCancel();
    EXPECT_EQ(Stored("SignonPos"), "0");
    EXPECT_EQ(Stored("IntroBackClr"), "1");
}

}  // namespace
}  // namespace vorn
