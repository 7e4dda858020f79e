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

using test::ExpectCentred, test::Store, test::Stored;

// A plain window stands for the sign-on form: the settings and the properties dialog on its own
// need no more than a window and a text.
class SignonProperties : public ::testing::Test {
  protected:
    test::ScopedSettings settings;
    test::ScriptedModalHost modal;
    QWidget window;
    QPlainTextEdit intro;
};

// The stored look: position, size, intro background and intro font.
QStringList StoredLook() {
    return {Stored("SignonPos"), Stored("SignonSiz"), Stored("IntroBackClr"),
            Stored("IntroTextFont")};
}

TEST_F(SignonProperties, MissingEmptyOrUnreadableValuesGiveTheDefaultsAndOthersAreApplied) {
    Store("SignonPos", "");
    Store("IntroTextFont", "");
    EXPECT_EQ(SignonSettings::Read(), SignonLook());
    EXPECT_EQ(StoredLook(), (QStringList{"0", "0", "0", "System^14"}));
    EXPECT_EQ(SignonSettings::PositionText(), "0");
    EXPECT_EQ(SignonSettings::SizeText(), "0");
    // Unreadable look values give cream and the default font.
    Store("IntroBackClr", "pink");
    Store("IntroTextFont", "^big");
    EXPECT_EQ(SignonSettings::Read(), SignonLook());
    // A readable look is applied to the intro text.
    Store("IntroBackClr", "1");
    Store("IntroTextFont", "Courier^11");
    SignonSettings::ApplyOnCreation(window, &intro);
    EXPECT_EQ(intro.palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(intro.font().family(), "Courier");
    EXPECT_EQ(intro.font().pointSize(), 11);
}

// The normal size, centred, where a text gives no usable coordinates.
TEST_F(SignonProperties, PlacementsPutTheNewWindowWhereTheStoredTextsSay) {
    const QSize normal(500, 300);
    struct Placement {
        const char* position;      // mode^top^left
        const char* size;          // mode^width^height
        std::optional<QPoint> at;  // none: centred
        QSize shape;
    };
    const Placement placements[] = {
        {"1^40^70", "2^610^350", QPoint(70, 40), QSize(610, 350)},  // fixed place, remembered size
        {"0", "1^420^260", {}, QSize(420, 260)},                    // centred at a fixed size
        {"2^40^70", "2", QPoint(70, 40), normal},                   // each falls back on its own
        {"2", "2", {}, normal},                                     // modes alone
        {"1", "1", {}, normal},                                     // fixed modes alone
        {"2^40", "1^640", {}, normal},                              // one coordinate
        {"1^x^70", "2^0^300", {}, normal},                          // not numbers, or zero
        {"2^^", "1^-5^300", {}, normal},                            // empty or negative
        {"7^40^70", "9^640^480", {}, normal},                       // unknown modes
        {"junk", "^640^480", {}, normal}};                          // no modes
    for (const Placement& c : placements) {
        SCOPED_TRACE(std::string(c.position) + " / " + c.size);
        QWidget shown;
        Store("SignonPos", c.position);
        Store("SignonSiz", c.size);
        shown.move(1, 2);
        SignonSettings::ApplyOnCreation(shown, nullptr);
        EXPECT_EQ(shown.size(), c.shape);
        if (c.at)
            EXPECT_EQ(shown.pos(), *c.at);
        else
            ExpectCentred(shown);
        EXPECT_EQ(SignonSettings::PositionText(), c.position);
        EXPECT_EQ(SignonSettings::SizeText(), c.size);
    }
}

// The modes with coordinates are saved through the dialog and tested there.
TEST_F(SignonProperties, ClosingRemembersOnlyModeTwoAndSavingWithoutAFormOnlyTheFixedMode) {
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
    SignonLook look;
    look.positionMode = spFixed;
    SignonSettings::Save(look, nullptr);
    EXPECT_EQ(Stored("SignonPos"), "1") << "without a form there are no coordinates to fix";
}

TEST_F(SignonProperties, OnAReadOnlyStoreTheDefaultsHoldAndFailedWritesArePassedOver) {
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
        EXPECT_EQ(StoredLook(), (QStringList{"1^10^20", "2^600^400", "1", "Courier^11"}))
            << "nothing is saved before OK";
        d.CancelBtn->click();
    });
    modal.OnMessage(question(ui::mrNo));
    modal.OnMessage(question(ui::mrYes));
    const QColor before = intro.palette().color(QPalette::Base);
    EXPECT_EQ(TSignonConfiguration::Open(&window, &intro), QDialog::Rejected);
    EXPECT_EQ(intro.palette().color(QPalette::Base), before);
    EXPECT_EQ(StoredLook(), (QStringList{"1^10^20", "2^600^400", "1", "Courier^11"}));
    modal.OnForm<TSignonConfiguration>([](TSignonConfiguration& d) {
        EXPECT_EQ(d.rgrWindowPosition->ItemIndex(), 1) << "read again when shown again";
        d.btnDefaults->click();
        d.OKBtn->click();
    });
    modal.OnMessage(question(ui::mrYes));
    TSignonConfiguration::Open(&window, &intro);
    EXPECT_EQ(StoredLook(), (QStringList{"0", "0", "0", "System^14"}));
}

// Help shows topic 2 of the client agent's help file.
TEST_F(SignonProperties, TheFontComesFromTheFontDialogAndIsAppliedAtOkAndHelpIsTheAgents) {
    WriteRegistryText(RegistryRoot::LocalMachine, kBrokerKey, "BrokerDr", "/opt/zizedez");
    ui::SetApplicationHelpFile("labtest.hlp");
    std::vector<std::pair<QString, int>> asked;
    ui::SetHelpHandler(
        [&](const QString& file, int context) { asked.emplace_back(file, context); });
    modal.OnForm<TSignonConfiguration>([](TSignonConfiguration& d) {
        EXPECT_EQ(ui::ApplicationHelpFile(), "/opt/zizedez/zizedez.hlp");
        d.HelpBtn->click();
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
    ui::SetHelpHandler(nullptr);
    EXPECT_EQ(ui::ApplicationHelpFile(), "labtest.hlp");
    EXPECT_EQ(asked, (std::vector<std::pair<QString, int>>{{"/opt/zizedez/zizedez.hlp", 2}}));
    ui::SetApplicationHelpFile({});
    // A font in pixels still gets a point size.
    SignonLook look;
    QFont pixels("Courier");
    pixels.setPixelSize(20);
    look.SetIntroFont(pixels);
    EXPECT_EQ(look.fontName, "Courier");
    EXPECT_GT(look.fontSize, 0);
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

// Current stores the coordinates at OK and not later moves; Remember stores the mode at OK and
// the coordinates at close; Center and Normal reset the open form at once.
TEST_F(PropertiesDuringSignon, CurrentRememberAndCenterEachStoreAndPlaceTheFormInTheirTime) {
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
