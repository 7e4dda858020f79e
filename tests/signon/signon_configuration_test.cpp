// The look of the sign-on form: the settings the workstation keeps and the properties dialog
// that edits them.
#include "signon/internal/signon_configuration.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <optional>

#include "broker/broker_error.h"
#include "signon/internal/signon_form.h"
#include "signon/internal/signon_settings.h"
#include "tests/signon/signon_form_test_support.h"
#include "toolkit/internal/help_file.h"
#include "toolkit/radio_group.h"

namespace vorn {
namespace {

using test::ExpectCentred;
using test::Store;
using test::Stored;

// A plain window stands for the sign-on form: the settings and the properties dialog on its own
// need no more than a window and a text.
class SignonProperties : public ::testing::Test {
  protected:
    test::ScopedSettings settings;
    test::ScriptedModalHost modal;
    QWidget window;
    QPlainTextEdit intro;
};
using SignonLookOnAWindow = SignonProperties;

TEST_F(SignonLookOnAWindow, MissingEmptyAndUnreadableValuesGiveTheDefaultsWrittenBack) {
    Store("SignonPos", "");
    Store("IntroTextFont", "");
    EXPECT_EQ(SignonSettings::Read(), SignonLook());
    EXPECT_EQ(Stored("SignonPos"), "0");
    EXPECT_EQ(Stored("SignonSiz"), "0");
    EXPECT_EQ(Stored("IntroBackClr"), "0");
    EXPECT_EQ(Stored("IntroTextFont"), "System^14");
    EXPECT_EQ(SignonSettings::PositionText(), "0");
    EXPECT_EQ(SignonSettings::SizeText(), "0");
    // Unreadable look values give cream and the default font.
    Store("IntroBackClr", "pink");
    Store("IntroTextFont", "^big");
    EXPECT_EQ(SignonSettings::Read(), SignonLook());
}

struct Placement {
    const char* what;
    const char* position;      // mode^top^left
    const char* size;          // mode^width^height
    std::optional<QPoint> at;  // none: centred
    QSize shape;
};

class Placements : public SignonLookOnAWindow, public ::testing::WithParamInterface<Placement> {};

TEST_P(Placements, PutTheNewWindowWhereTheStoredTextsSay) {
    const Placement& c = GetParam();
    Store("SignonPos", c.position);
    Store("SignonSiz", c.size);
    window.move(1, 2);
    SignonSettings::ApplyOnCreation(window, nullptr);
    EXPECT_EQ(window.size(), c.shape);
    if (c.at)
        EXPECT_EQ(window.pos(), *c.at);
    else
        ExpectCentred(window);
    EXPECT_EQ(SignonSettings::PositionText(), c.position);
    EXPECT_EQ(SignonSettings::SizeText(), c.size);
}

const QSize kNormal(500, 300);

INSTANTIATE_TEST_SUITE_P(
    Texts, Placements,
    ::testing::Values(Placement{"FixedPlaceRememberedSize", "1^40^70", "2^610^350", QPoint(70, 40),
                                QSize(610, 350)},
                      Placement{"CentredAtAFixedSize", "0", "1^420^260", {}, QSize(420, 260)},
                      Placement{"EachFallsBackOnItsOwn", "2^40^70", "2", QPoint(70, 40), kNormal},
                      // Modes without usable coordinates: the normal size, centred.
                      Placement{"ModesAlone", "2", "2", {}, kNormal},
                      Placement{"FixedModesAlone", "1", "1", {}, kNormal},
                      Placement{"OneCoordinate", "2^40", "1^640", {}, kNormal},
                      Placement{"NotNumbersOrZero", "1^x^70", "2^0^300", {}, kNormal},
                      Placement{"EmptyOrNegative", "2^^", "1^-5^300", {}, kNormal},
                      Placement{"UnknownModes", "7^40^70", "9^640^480", {}, kNormal},
                      Placement{"NoModes", "junk", "^640^480", {}, kNormal}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(SignonLookOnAWindow, TheStoredLookIsAppliedToTheIntroText) {
    Store("IntroBackClr", "1");
    Store("IntroTextFont", "Courier^11");
    SignonSettings::ApplyOnCreation(window, &intro);
    EXPECT_EQ(intro.palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(intro.font().family(), "Courier");
    EXPECT_EQ(intro.font().pointSize(), 11);
}

// The modes with coordinates are saved through the dialog and tested there.
TEST_F(SignonLookOnAWindow, SavingWithoutAFormStoresTheFixedModeAlone) {
    SignonLook look;
    look.positionMode = spFixed;
    SignonSettings::Save(look, nullptr);
    EXPECT_EQ(Stored("SignonPos"), "1") << "without a form there are no coordinates to fix";
}

TEST_F(SignonLookOnAWindow, ClosingRemembersOnlyWhatIsInModeTwo) {
    Store("SignonPos", "2");
    Store("SignonSiz", "1^450^280");
    SignonSettings::ApplyOnCreation(window, nullptr);
    Store("SignonPos", "0");  // changed behind the program's back: the text in memory counts
    window.move(70, 50);
    window.resize(610, 350);
    SignonSettings::RememberOnClose(window);
    EXPECT_EQ(Stored("SignonPos"), "2^50^70");
    EXPECT_EQ(Stored("SignonSiz"), "1^450^280") << "a fixed size is not remembered";
    EXPECT_EQ(SignonSettings::PositionText(), "2^50^70");
}

using SignonLookOnAReadOnlyStore = SignonProperties;

TEST_F(SignonLookOnAReadOnlyStore, WorksWithTheDefaultsAndPassesOverFailedWrites) {
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, "/dev/null/unwritable");
    SignonSettings::ApplyOnCreation(window, &intro);
    EXPECT_EQ(window.size(), QSize(500, 300));
    EXPECT_EQ(intro.palette().color(QPalette::Base), QColor(0xFF, 0xFB, 0xF0));
    SignonLook look;
    look.positionMode = spRemember;
    look.sizeMode = spRemember;
    EXPECT_NO_THROW(SignonSettings::Save(look, &window));
    EXPECT_EQ(SignonSettings::SizeText(), "2") << "the choice holds for this run";
    window.resize(510, 310);
    EXPECT_NO_THROW(SignonSettings::RememberOnClose(window));
    EXPECT_EQ(SignonSettings::SizeText(), "2^510^310");
    EXPECT_EQ(Stored("SignonSiz"), "");
}

// A font in points: the properties dialog's font test.
TEST(SignonLookFont, AFontInPixelsStillGetsAPointSize) {
    SignonLook look;
    QFont pixels("Courier");
    pixels.setPixelSize(20);
    look.SetIntroFont(pixels);
    EXPECT_EQ(look.fontName, "Courier");
    EXPECT_GT(look.fontSize, 0);
}

QStringList Items(const ui::RadioGroup& group) {
    QStringList items;
    for (int i = 0; i < group.Count(); ++i)
        items << group.Button(i)->text();
    return items;
}

TEST_F(SignonProperties, ShowTheStoredSettingsAndDefaultsResetThemAfterYesButOnlyOkSavesThem) {
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
        // The stored settings, the choices in the order of the stored modes.
        EXPECT_EQ(Items(*d.rgrWindowPosition), (QStringList{"Center", "Current", "Remember"}));
        EXPECT_EQ(Items(*d.rgrWindowSize), (QStringList{"Normal", "Current", "Remember"}));
        EXPECT_EQ(Items(*d.rgrIntroBackClr), (QStringList{"Cream", "White"}));
        EXPECT_EQ(d.rgrWindowSize->ItemIndex(), 2);
        EXPECT_EQ(d.rgrIntroBackClr->ItemIndex(), 1);
        EXPECT_EQ(d.FontDialog1.Font.pointSize(), 11);
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
    const QColor before = intro.palette().color(QPalette::Base);
    EXPECT_EQ(TSignonConfiguration::Open(&window, &intro), QDialog::Rejected);
    EXPECT_EQ(intro.palette().color(QPalette::Base), before);
    EXPECT_EQ(Stored("SignonSiz"), "2^600^400");
    EXPECT_EQ(Stored("IntroBackClr"), "1");

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
    EXPECT_EQ(asked, (std::vector<std::pair<QString, int>>{{"/opt/zizedez/zizedez.hlp", 2}}));
    ui::SetApplicationHelpFile({});
}

// The dialog opened from the sign-on form's "&Properties..." during a sign-on.
class PropertiesDuringSignon : public test::WindowedSignon {
  protected:
    void SignOnAndCancel() { EXPECT_THROW(b.SetConnected(true), EBrokerError); }
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
        EXPECT_EQ(form.pos(), QPoint(60, 40)) << "mode 1 leaves the open form as it is";
        EXPECT_EQ(form.size(), QSize(520, 340));
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
        test::ExpectCentred(form);
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
