// The bound edit as a user works it: typing marks the record changed (and locks it), typing
// back to the filled text ends the edit, leaving validates with the server (for any button but
// Clear: the bound controls' contract test), a rejected value is reported with the field's help,
// and F1 shows the field help.
#include <gtest/gtest.h>

#include "controls/vorn_btn.h"
#include "controls/vorn_edit.h"
#include "tests/controls/control_form.h"

namespace vorn {
namespace {

using test::ControlForm;

class Edit : public ControlForm {
  protected:
    Edit() {
        name = Add<TvornEdit>("2", "Full name");
        edit = Add<TvornEdit>("4", "Date of introduction");
        length = Add<TvornEdit>("6", "Length of result");
        edit->OnExit = [this](QObject*) { ++exits; };
    }
    void OpenRecord(const char* ien = "1") {
        Open(ien);
        Focus(edit);
    }

    TvornEdit* name;
    TvornEdit* edit;
    TvornEdit* length;
    int exits = 0;
};

// Typing back to the filled text, or a value the server writes as it, ends the edit; a value
// saved while the edit has the focus is committed first, as the server's internal value.
TEST_F(Edit, TypingLocksTheRecordTypingBackUnlocksItAndASavedValueIsTheServersInternalValue) {
    OpenRecord();
    ASSERT_EQ(edit->text(), "JAN 1, 2010");
    const std::size_t mark = CallMark();
    QTest::keyClick(edit, Qt::Key_End);
    QTest::keyClicks(edit, "x");
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(source->State(), ssEdit);
    EXPECT_TRUE(IsChanged(edit));
    EXPECT_EQ(CallCount(mark, "VRNX LOCKS"), 1u);
    QTest::keyClicks(edit, "y");
    EXPECT_EQ(CallCount(mark, "VRNX LOCKS"), 1u) << "one lock for the whole edit";
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_FALSE(edit->Modified());
    EXPECT_FALSE(IsChanged(edit));
    EXPECT_EQ(source->State(), ssBrowse);
    EXPECT_EQ(CallCount(mark, "VRNX LOCKS"), 2u) << "the lock is given back";
    EXPECT_EQ(CallCount(mark, "DDR VALIDATOR"), 0u);
    Retype(edit, "1/1/2010");
    ASSERT_EQ(source->State(), ssEdit);
    Focus(name);
    EXPECT_EQ(CallCount(mark, "DDR VALIDATOR"), 1u) << "leaving for another control validates";
    EXPECT_EQ(edit->text(), "JAN 1, 2010");
    EXPECT_EQ(edit->InternalValue(), "3100101");
    EXPECT_FALSE(IsChanged(edit));
    EXPECT_EQ(source->State(), ssBrowse);
    Retype(edit, "12/6/2026");
    Expect(ui::MessageKind::Information, QStringLiteral("Saved: Demo Lab Test: HB Hemoglobin\r\n"));
    EXPECT_TRUE(source->Save()) << "the focused edit is committed first";
    EXPECT_EQ(source->GetFieldValue("4"), "3261206");
    EXPECT_EQ(edit->text(), "DEC 6, 2026");
    EXPECT_EQ(source->State(), ssBrowse);
}

// Another window taking the focus is no exit; leaving for a button (any but Clear: the bound
// controls' contract test) validates, and the control entered next becomes the current one.
TEST_F(Edit, LeavingTakesTheServersInternalAndExternalValue) {
    auto* save = Button(DoSave);
    OpenRecord();
    Retype(edit, "12/6/2026");
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    EXPECT_EQ(exits, 0);
    Activate();
    EXPECT_TRUE(edit->Modified()) << "coming back is no enter";
    EXPECT_EQ(SourceCore::Of(*source).Registry().CurrentControl(), edit);
    const std::size_t mark = CallMark();
    Focus(save);
    EXPECT_EQ(CallCount(mark, "DDR VALIDATOR"), 1u);
    EXPECT_EQ(edit->text(), "DEC 6, 2026");
    EXPECT_EQ(edit->InternalValue(), "3261206");
    EXPECT_EQ(edit->ExternalValue(), "DEC 6, 2026");
    EXPECT_TRUE(IsChanged(edit));
    EXPECT_EQ(source->State(), ssEdit);
    EXPECT_EQ(exits, 1);
    Focus(name);
    EXPECT_EQ(SourceCore::Of(*source).Registry().CurrentControl(), name);
}

TEST_F(Edit, ARejectedValueIsReportedWithTheFieldsHelpAndTheFocusGoesBack) {
    OpenRecord();
    Retype(length, "999");
    ASSERT_EQ(source->State(), ssEdit);
    Expect(ui::MessageKind::Warning, test::kLengthRefused);
    Focus(name);
    EXPECT_EQ(form.focusWidget(), length);
    EXPECT_EQ(SourceCore::Of(*source).Registry().CurrentControl(), length);
    Activate();
    EXPECT_EQ(QApplication::focusWidget(), length);
    EXPECT_EQ(length->text(), "999");
    EXPECT_TRUE(length->Modified());
    // The typed value stays the user's change, to be corrected or dropped, and keeps its
    // record locked; what would be filed is still the stored value.
    EXPECT_TRUE(IsChanged(length));
    EXPECT_EQ(source->State(), ssEdit);
    EXPECT_EQ(length->InternalValue(), "6");
}

TEST_F(Edit, ARejectedValueOfAFieldWithoutHelpIsReportedByMessage1032) {
    auto* comment = Add<TvornEdit>("999", "Comment");
    Open();
    Focus(comment);
    QTest::keyClicks(comment, "abc");
    ASSERT_EQ(source->State(), ssNew);
    Expect(ui::MessageKind::Warning,
           QStringLiteral("Value \"abc\" is not valid for field Comment."));
    Focus(name);
    Activate();
    EXPECT_EQ(QApplication::focusWidget(), comment);
    // The new record keeps its only change, to be corrected.
    EXPECT_EQ(source->State(), ssNew);
    EXPECT_EQ(comment->text(), "abc");
}

// F1 asks nothing without a help window; with one it hands it the field's help and description
// (with their line marks, also when there is no description), unless field help is off; the key
// event fires either way. The save question asks about field .01 only.
TEST_F(Edit, F1ShowsHelpAndDescriptionUnlessFieldHelpIsOffAndTheSaveQuestionAsksAbout01) {
    auto* taker = Add<TvornEdit>("5", "Taker");
    auto* abbreviation = Add<TvornEdit>(".01", "Abbreviation");
    OpenRecord();
    int keys = 0;
    for (TvornEdit* e : {edit, taker})
        e->OnKeyDown = [&](QObject*, int& key, Qt::KeyboardModifiers) {
            keys += key == Qt::Key_F1;
        };
    std::size_t mark = CallMark();
    QTest::keyClick(edit, Qt::Key_F1);
    EXPECT_EQ(keys, 1);
    EXPECT_EQ(CallCount(mark, "VRNX HELP"), 0u);
    EXPECT_TRUE(modal.Log().empty());
    test::HelpCapture help;
    Focus(taker);
    QTest::keyClick(taker, Qt::Key_F1);
    EXPECT_EQ(keys, 2);
    EXPECT_EQ(help.shown,
              (QStringList{"Taker", "Choose who takes the specimen for the test.\r\r"}));
    Focus(edit);
    edit->SetFMHelpUsed(false);
    mark = CallMark();
    QTest::keyClick(edit, Qt::Key_F1);
    EXPECT_EQ(keys, 3);
    EXPECT_EQ(CallCount(mark, "VRNX HELP"), 0u);
    EXPECT_EQ(help.shown.size(), 2);
    EXPECT_EQ(abbreviation->ChangeQuestion("Demo Lab Test"), "Demo Lab Test: Abbreviation^HB");
    EXPECT_TRUE(name->ChangeQuestion("Demo Lab Test").isNull());
}

}  // namespace
}  // namespace vorn
