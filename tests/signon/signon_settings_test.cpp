#include "signon/signon_settings.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include "broker/registry_settings.h"
#include "tests/support/isolated_settings.h"

namespace vorn {
namespace {

QString Stored(const QString& name) {
    return ReadRegistryText(RegistryRoot::LocalMachine, kSignonKey, name);
}
void Store(const QString& name, const QString& text) {
    ASSERT_TRUE(WriteRegistryText(RegistryRoot::LocalMachine, kSignonKey, name, text));
}

void ExpectCentred(const QWidget& window) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect frame = window.frameGeometry();
    EXPECT_EQ(frame.x(), screen.x() + (screen.width() - frame.width()) / 2);
    EXPECT_EQ(frame.y(), screen.y() + (screen.height() - frame.height()) / 2);
}

// A plain window stands for the sign-on form: the settings need no more than a window and a
// text.
class SignonLookOnAWindow : public ::testing::Test {
  protected:
    test::ScopedSettings settings;
    QWidget window;
    QPlainTextEdit intro;
};

TEST_F(SignonLookOnAWindow, AFreshStoreGetsTheFourDefaultsOnTheFirstRead) {
    const SignonLook look = SignonSettings::Read();
    EXPECT_EQ(look, SignonLook());
    EXPECT_EQ(look.positionMode, 0);
    EXPECT_EQ(look.sizeMode, 0);
    EXPECT_EQ(look.introBackClr, 0);
    EXPECT_EQ(look.fontName, "System");
    EXPECT_EQ(look.fontSize, 14);
    EXPECT_EQ(Stored("SignonPos"), "0");
    EXPECT_EQ(Stored("SignonSiz"), "0");
    EXPECT_EQ(Stored("IntroBackClr"), "0");
    EXPECT_EQ(Stored("IntroTextFont"), "System^14");
    EXPECT_EQ(SignonSettings::PositionText(), "0");
    EXPECT_EQ(SignonSettings::SizeText(), "0");
}

TEST_F(SignonLookOnAWindow, EmptyValuesAreWrittenBackWithTheirDefaults) {
    Store("SignonPos", "");
    Store("IntroTextFont", "");
    SignonSettings::Read();
    EXPECT_EQ(Stored("SignonPos"), "0");
    EXPECT_EQ(Stored("IntroTextFont"), "System^14");
}

TEST_F(SignonLookOnAWindow, TheDefaultsGiveTheNormalSizeCentredAndCream) {
    window.move(3, 4);
    window.resize(123, 45);
    SignonSettings::ApplyOnCreation(window, &intro);
    EXPECT_EQ(window.size(), QSize(500, 300));
    ExpectCentred(window);
    EXPECT_EQ(intro.palette().color(QPalette::Base), QColor(0xFF, 0xFB, 0xF0));
    EXPECT_EQ(intro.font().family(), "System");
    EXPECT_EQ(intro.font().pointSize(), 14);
}

TEST_F(SignonLookOnAWindow, StoredCoordinatesAndLookAreApplied) {
    Store("SignonPos", "1^40^70");
    Store("SignonSiz", "2^610^350");
    Store("IntroBackClr", "1");
    Store("IntroTextFont", "Courier^11");
    SignonSettings::ApplyOnCreation(window, &intro);
    EXPECT_EQ(window.pos(), QPoint(70, 40)) << "the position is mode^top^left";
    EXPECT_EQ(window.size(), QSize(610, 350));
    EXPECT_EQ(intro.palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(intro.font().family(), "Courier");
    EXPECT_EQ(intro.font().pointSize(), 11);
    EXPECT_EQ(SignonSettings::PositionText(), "1^40^70");
    EXPECT_EQ(SignonSettings::SizeText(), "2^610^350");
}

TEST_F(SignonLookOnAWindow, ASizeWithTheCentredPositionIsCentredAtThatSize) {
    Store("SignonSiz", "1^420^260");
    SignonSettings::ApplyOnCreation(window, nullptr);
    EXPECT_EQ(window.size(), QSize(420, 260));
    ExpectCentred(window);
}

TEST_F(SignonLookOnAWindow, PositionAndSizeFallBackEachOnItsOwn) {
    Store("SignonPos", "2^40^70");
    Store("SignonSiz", "2");
    SignonSettings::ApplyOnCreation(window, nullptr);
    EXPECT_EQ(window.size(), QSize(500, 300));
    EXPECT_EQ(window.pos(), QPoint(70, 40));
}

struct Unusable {
    const char* position;
    const char* size;
};

class ModesWithoutCoordinates : public SignonLookOnAWindow,
                                public ::testing::WithParamInterface<Unusable> {};

TEST_P(ModesWithoutCoordinates, FallBackToTheNormalSizeAndTheCentre) {
    Store("SignonPos", GetParam().position);
    Store("SignonSiz", GetParam().size);
    window.move(1, 2);
    SignonSettings::ApplyOnCreation(window, &intro);
    EXPECT_EQ(window.size(), QSize(500, 300));
    ExpectCentred(window);
}

INSTANTIATE_TEST_SUITE_P(Texts, ModesWithoutCoordinates,
                         ::testing::Values(Unusable{"2", "2"}, Unusable{"1", "1"},
                                           Unusable{"2^40", "1^640"}, Unusable{"1^x^70", "2^0^300"},
                                           Unusable{"2^^", "1^-5^300"},
                                           Unusable{"7^40^70", "9^640^480"},
                                           Unusable{"junk", "^640^480"}));

TEST_F(SignonLookOnAWindow, UnreadableLookValuesGiveCreamAndTheDefaultFont) {
    Store("IntroBackClr", "pink");
    Store("IntroTextFont", "^big");
    const SignonLook look = SignonSettings::Read();
    EXPECT_EQ(look.introBackClr, 0);
    EXPECT_EQ(look.fontName, "System");
    EXPECT_EQ(look.fontSize, 14);
}

TEST_F(SignonLookOnAWindow, SavingModeOneStoresTheWindowsCoordinates) {
    window.move(60, 40);
    window.resize(520, 340);
    SignonLook look;
    look.positionMode = spFixed;
    look.sizeMode = spFixed;
    look.introBackClr = 1;
    look.fontName = "Courier";
    look.fontSize = 9;
    SignonSettings::Save(look, &window);
    EXPECT_EQ(Stored("SignonPos"), "1^40^60");
    EXPECT_EQ(Stored("SignonSiz"), "1^520^340");
    EXPECT_EQ(Stored("IntroBackClr"), "1");
    EXPECT_EQ(Stored("IntroTextFont"), "Courier^9");
    EXPECT_EQ(SignonSettings::PositionText(), "1^40^60");
    EXPECT_EQ(SignonSettings::SizeText(), "1^520^340");
}

TEST_F(SignonLookOnAWindow, SavingOtherModesStoresTheModeAlone) {
    SignonLook look;
    look.positionMode = spRemember;
    look.sizeMode = spDefault;
    SignonSettings::Save(look, &window);
    EXPECT_EQ(Stored("SignonPos"), "2");
    EXPECT_EQ(Stored("SignonSiz"), "0");
    look.positionMode = spFixed;
    SignonSettings::Save(look, nullptr);
    EXPECT_EQ(Stored("SignonPos"), "1") << "without a form there are no coordinates to fix";
}

TEST_F(SignonLookOnAWindow, ClosingRemembersOnlyWhatIsInModeTwo) {
    Store("SignonPos", "2");
    Store("SignonSiz", "1^450^280");
    SignonSettings::ApplyOnCreation(window, nullptr);
    window.move(70, 50);
    window.resize(610, 350);
    SignonSettings::RememberOnClose(window);
    EXPECT_EQ(Stored("SignonPos"), "2^50^70");
    EXPECT_EQ(Stored("SignonSiz"), "1^450^280") << "a fixed size is not remembered";
    EXPECT_EQ(SignonSettings::PositionText(), "2^50^70");

    QWidget next;
    SignonSettings::ApplyOnCreation(next, nullptr);
    EXPECT_EQ(next.pos(), QPoint(70, 50));
    EXPECT_EQ(next.size(), QSize(450, 280));
}

TEST_F(SignonLookOnAWindow, ClosingGoesByTheTextsInMemory) {
    Store("SignonSiz", "2");
    SignonSettings::ApplyOnCreation(window, nullptr);
    Store("SignonSiz", "0");  // changed behind the program's back
    window.resize(480, 320);
    SignonSettings::RememberOnClose(window);
    EXPECT_EQ(Stored("SignonSiz"), "2^480^320");
}

TEST_F(SignonLookOnAWindow, ChosenModeZeroResetsTheOpenWindowAtOnce) {
    window.move(10, 10);
    window.resize(640, 400);
    SignonLook look;
    look.introBackClr = 1;
    SignonSettings::ApplyChosen(look, window, &intro);
    EXPECT_EQ(window.size(), QSize(500, 300));
    ExpectCentred(window);
    EXPECT_EQ(intro.palette().color(QPalette::Base), QColor(Qt::white));

    look.positionMode = spFixed;
    look.sizeMode = spRemember;
    window.move(10, 10);
    window.resize(640, 400);
    SignonSettings::ApplyChosen(look, window, &intro);
    EXPECT_EQ(window.pos(), QPoint(10, 10));
    EXPECT_EQ(window.size(), QSize(640, 400));
}

TEST(SignonLookOnAReadOnlyStore, WorksWithTheDefaultsAndPassesOverFailedWrites) {
    test::ScopedSettings restore;
    QSettings::setPath(QSettings::IniFormat, QSettings::SystemScope, "/dev/null/unwritable");
    QWidget window;
    QPlainTextEdit intro;
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

TEST(SignonLookFont, TakesTheFamilyAndThePointSize) {
    SignonLook look;
    QFont font("Courier");
    font.setPointSize(12);
    look.SetIntroFont(font);
    EXPECT_EQ(look.fontName, "Courier");
    EXPECT_EQ(look.fontSize, 12);
    QFont pixels("Courier");
    pixels.setPixelSize(20);
    look.SetIntroFont(pixels);
    EXPECT_GT(look.fontSize, 0) << "a font in pixels still gets a point size";
}

}  // namespace
}  // namespace vorn
