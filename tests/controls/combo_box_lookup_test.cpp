// The lookup combo box on the lab test of a lab result (80005, field 2, pointing to the 40 lab
// tests of 80001), with its list paged 15 at a time: searching, paging, walking with the keys,
// and settling a typed text when the user leaves, as the server's call log shows them.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QTextEdit>

#include "controls/vorn_combo_box_lookup.h"
#include "controls/vorn_edit.h"
#include "source/timed_dialog.h"
#include "tests/controls/control_form.h"
#include "tests/support/another_user.h"

namespace vorn {
namespace {

using Calls = std::vector<std::string>;

class LookupCombo : public test::ControlForm {
  protected:
    LookupCombo() {
        source->setObjectName("vornLabResult");
        source->FileName = "Demo Lab Result";
        source->FileNumber = "80005";
        tests = test::NewFinder(form, "80001", &Broker());
        tests->Number = "15";
        box = Add<TvornComboBoxLookUp>("2", "Lab test");
        box->SetvornFinder(tests);
        box->resize(200, 24);
        result = Add<TvornEdit>("4", "Result");
    }
    void Open(const char* record = nullptr) {
        ControlForm::Open(record);
        box->setFocus(Qt::TabFocusReason);
    }
    void Type(const QString& text) {
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), text);
    }
    QStringList Items() const {
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items.append(box->itemText(i));
        return items;
    }
    void TearDown() override { box->hidePopup(); }

    TvornFinder* tests;
    TvornComboBoxLookUp* box;
    TvornEdit* result;
};

// Down after a partial name takes the first entry that begins with it, with one call.
TEST_F(LookupCombo, LowerCaseTypingSearchesInUpperCaseWithAtMostThirtyCharacters) {
    Open();
    Type("hb");
    std::size_t mark = CallMark();
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(CallNamesSince(mark), Calls{"VRNX FINDER"});
    EXPECT_EQ(box->currentText(), "HB");
    Type("hb");
    mark = CallMark();
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(First(mark, "VRNX FINDER").Entry("\"VALUE\""), "HB");
    EXPECT_EQ(Items(), (QStringList{"HB", "HBA1C"}));
    EXPECT_EQ(box->currentText(), "hb") << "the typed text stays as typed";
    Type(QString(35, u'x'));
    mark = CallMark();
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(First(mark, "VRNX FINDER").Entry("\"VALUE\""), QString(30, u'X').toStdString());
}

// An empty drop-down lists from the start under a question mark; More appends the next page
// and chooses nothing: after Escape and Tab the box holds no entry, and no record was started.
TEST_F(LookupCombo, ChoosingMoreAppendsTheNextPageAndPutsTheMoreLineBackAtTheEnd) {
    Open();
    std::size_t mark = CallMark();
    box->showPopup();
    EXPECT_EQ(box->currentText(), "?");
    EXPECT_EQ(CallNamesSince(mark), Calls{"DDR LISTER"});
    QStringList items = Items();
    ASSERT_EQ(items.size(), 16);
    EXPECT_EQ(items.first(), "ALB");
    EXPECT_EQ(items.last(), " <<< More >>>");
    EXPECT_EQ(box->currentIndex(), -1) << "the box does not snap to its first entry";
    mark = CallMark();
    box->view()->setCurrentIndex(box->model()->index(15, 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
    EXPECT_EQ(CallNamesSince(mark), Calls{"DDR LISTER"});
    items = Items();
    ASSERT_EQ(items.size(), 31);
    EXPECT_EQ(items.last(), " <<< More >>>");
    EXPECT_EQ(items.count(" <<< More >>>"), 1);
    EXPECT_EQ(box->view()->currentIndex().row(), 15) << "the first entry of the new page";
    EXPECT_EQ(box->currentText(), "?") << "paging chooses nothing";
    QTest::keyClick(box->view(), Qt::Key_Escape);
    result->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(box->InternalValue(), "");
    EXPECT_TRUE(test::Owners(*source).saver.Changed().isEmpty());
    EXPECT_EQ(source->State(), ssEmpty);
}

TEST_F(LookupCombo, DownPastTheLastLoadedEntryFetchesMoreAndUpOnTheFirstStays) {
    Open();
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(box->currentText(), "ALB");
    for (int i = 1; i < 15; ++i)
        QTest::keyClick(box, Qt::Key_Down);
    ASSERT_EQ(box->currentIndex(), 14);
    const std::size_t mark = CallMark();
    QTest::keyClick(box, Qt::Key_Down);
    EXPECT_EQ(CallNamesSince(mark), Calls{"DDR LISTER"});
    EXPECT_EQ(box->currentIndex(), 15);
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(box, Qt::Key_Up);
    EXPECT_EQ(box->currentText(), "ALB");
    EXPECT_EQ(source->State(), ssNew) << "walking chose an entry";
}

// The stored entry is shown even beyond the first page. Leaving with a question mark restores
// it, and its own text typed again is no change; a typed text matching one entry takes its
// number.
TEST_F(LookupCombo, TheStoredEntryIsShownEvenBeyondTheFirstPageAndATypedMatchIsFiled) {
    std::size_t mark = CallMark();
    Open("14");
    EXPECT_EQ(box->currentText(), "U-STIX");
    EXPECT_EQ(First(mark, "VRNX FINDER").Entry("\"SCREEN\""), "I Y=35");
    box->showPopup();
    box->hidePopup();
    for (const char* typed : {"?", "u-stix"}) {
        box->setFocus(Qt::TabFocusReason);
        Type(typed);
        result->setFocus(Qt::TabFocusReason);
        EXPECT_EQ(box->currentText(), "U-STIX") << typed;
        EXPECT_EQ(source->State(), ssBrowse) << typed;
        EXPECT_TRUE(test::Owners(*source).saver.Changed().isEmpty()) << typed;
        EXPECT_FALSE(test::Owners(*source).locker.Locked()) << typed;
    }
    box->setFocus(Qt::TabFocusReason);
    Type("wbc");
    result->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(box->currentText(), "WBC");
    EXPECT_EQ(box->InternalValue(), "2");
    modal.OnForm<TTimedDlg>([](TTimedDlg& d) {
        EXPECT_TRUE(d.RichEdit1->toPlainText().startsWith("Saved:"));
        d.done(ui::mrOk);
    });
    mark = CallMark();
    source->Save();
    EXPECT_EQ(First(mark, "DDR FILER").Entry("1", 1), "80005^2^14^2");
}

TEST_F(LookupCombo, ATypedTextMatchingSeveralEntriesOrNoneIsNotResetAndKeepsTheFocus) {
    Open("14");
    Type("h");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(box->view()->isVisible());
    box->hidePopup();
    Type("zzz");
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FALSE(box->view()->isVisible());
    EXPECT_EQ(box->lineEdit()->selectedText(), "zzz");
    result->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(box->currentText(), "zzz");
    EXPECT_EQ(QApplication::focusWidget(), box);
    Type("hb");
    result->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(box->currentText(), "hb");
    EXPECT_EQ(form.focusWidget(), box) << "the focus stays to choose";
    EXPECT_TRUE(box->view()->isVisible()) << "with the list open";
}

// --- what the box files is the entry it shows ---

// Tabbing through a box that keeps its stored value files nothing, whether it pages through a
// finder that cannot list the stored entry, or has no finder at all.
enum class NoLocate { NoFinder, ScreenedOut };

class LookupComboKept : public LookupCombo, public ::testing::WithParamInterface<NoLocate> {};

TEST_P(LookupComboKept, TabbingThroughKeepsTheStoredValue) {
    if (GetParam() == NoLocate::NoFinder)
        box->SetvornFinder(nullptr);
    else
        tests->BeforeGetList = [](QObject*, QString& screen, QString&, QString&, QString&,
                                  QStringList&) { screen = QStringLiteral("I 0"); };
    Open("14");
    EXPECT_EQ(box->currentText(), "U-STIX");
    result->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(box->InternalValue(), "35");
    EXPECT_TRUE(test::Owners(*source).saver.Changed().isEmpty());
    EXPECT_EQ(source->State(), ssBrowse);
}

INSTANTIATE_TEST_SUITE_P(Ways, LookupComboKept,
                         ::testing::Values(NoLocate::NoFinder, NoLocate::ScreenedOut));

// Another box on the same finder fills it with its own entries; the choice is still this box's.
TEST_F(LookupCombo, TwoBoxesOnOneFinderEachFileTheirOwnChoice) {
    TvornSource* other = test::NewSource(form, "vornOther", "Demo Lab Result", "80005", Broker());
    auto* otherBox = test::Bind<TvornComboBoxLookUp>(form, other, "2", "Lab test");
    otherBox->SetvornFinder(tests);
    otherBox->setGeometry(10, 100, 200, 24);
    Open("14");
    other->Open();
    Type("hb");
    QTest::keyClick(box, Qt::Key_Return);
    ASSERT_EQ(Items(), (QStringList{"HB", "HBA1C"}));
    ASSERT_TRUE(other->GetAndFill("15"));
    box->setFocus(Qt::TabFocusReason);
    box->setCurrentIndex(1);
    result->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(box->InternalValue(), "21") << "HBA1C";
}

TEST_F(LookupCombo, OfTwoEntriesThatReadAlikeTheChosenOneIsFiled) {
    const QString second = test::AddLabTest(SecondBroker(), "HB", "Second hemoglobin");
    ASSERT_FALSE(second.isEmpty());
    Open("14");
    Type("hb");
    QTest::keyClick(box, Qt::Key_Return);
    ASSERT_EQ(Items().mid(0, 2), (QStringList{"HB", "HB"}));
    int chosen = -1;
    for (int i = 0; i < tests->Records.size(); ++i)
        if (tests->Records[i].section(u'^', 0, 0) == second) chosen = i;
    ASSERT_GE(chosen, 0);
    box->showPopup();
    box->view()->setCurrentIndex(box->model()->index(chosen, 0));
    QTest::keyClick(box->view(), Qt::Key_Return);
    result->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(box->InternalValue(), second);
}

}  // namespace
}  // namespace vorn
