// Controls that choose among items: a stored code survives a fill, an unchanged exit and a
// save whichever way its item was found, and a changed choice writes the code the fill reads
// back; radio buttons and check boxes mark what the user clicked; and which item a stored
// value chooses.
#include <gtest/gtest.h>

#include <QRadioButton>

#include "controls/internal/item_choice.h"
#include "controls/vorn_check_box.h"
#include "controls/vorn_combo_box.h"
#include "controls/vorn_edit.h"
#include "controls/vorn_radio_button.h"
#include "controls/vorn_radio_group.h"
#include "tests/controls/control_form.h"
#include "tests/support/another_user.h"

namespace vorn {
namespace {

using test::ControlForm;

class Choice : public ControlForm {
  protected:
    Choice() { name = Add<TvornEdit>("2", "Full name"); }

    // The taker (field 5) as a radio group without codes, on record 7 (code 2, the second item),
    // with the focus on its filled item.
    TvornRadioGroup* TakerOfRecord7() {
        auto* taker = Add<TvornRadioGroup>("5", "Taker", QStringLiteral("Taker"),
                                           QStringList{"Lab", "Ward", "External"}, 1);
        Open("7");
        EXPECT_EQ(taker->ItemIndex(), 1) << "code 2 is the second item";
        Focus(taker->Button(1));
        return taker;
    }
    // The result format (field 8) as a combo box on record 1 (code 2, NUMERICAL), focused.
    TvornComboBox* FormatOfRecord1(const QStringList& values = {}, bool editable = false) {
        auto* format = Add<TvornComboBox>("8", "Result format");
        format->setEditable(editable);
        format->addItems({"Free", "Number", "Sign", "Codes", "Memo", "Built"});
        format->SetValues(values);
        Open("1");
        Focus(format);
        return format;
    }
    // Saves through the source, which reports the record by its abbreviation and name.
    void Save(const char* abbreviation) {
        Expect(ui::MessageKind::Information, QStringLiteral("Saved: Demo Lab Test: ") +
                                                 abbreviation + QStringLiteral(" ") + name->text() +
                                                 QStringLiteral("\r\n"));
        ASSERT_TRUE(source->Save());
    }
    // Changes the name so that there is something to save, then saves.
    void SaveWithChangedName(const char* abbreviation) {
        Retype(name, "Renamed test");
        Save(abbreviation);
    }
    // The record's field as another user reads it afresh, not from the last read.
    QString Stored(const char* field) {
        return test::Stored(SecondBroker(), "80001", source->Address().RecordAddress(), field);
    }

    TvornEdit* name;
};

TEST_F(Choice, ARadioGroupFilledByPositionKeepsItsCodeThroughAnUnchangedExitAndASave) {
    TvornRadioGroup* taker = TakerOfRecord7();
    const std::size_t mark = CallMark();
    Focus(name);
    EXPECT_FALSE(IsChanged(taker));
    EXPECT_EQ(source->State(), ssBrowse);
    EXPECT_EQ(CallCount(mark, "VRNX LOCKS"), 0u);
    SaveWithChangedName("GLUC");
    EXPECT_EQ(Stored("5"), "2");
    EXPECT_EQ(taker->ItemIndex(), 1);
}

// A click back onto the filled item is no change; another item writes its position.
TEST_F(Choice, ARadioGroupWithoutCodesWritesThePositionItIsFilledBy) {
    TvornRadioGroup* taker = TakerOfRecord7();
    QTest::mouseClick(taker->Button(0), Qt::LeftButton);
    ASSERT_EQ(source->State(), ssEdit);
    QTest::mouseClick(taker->Button(1), Qt::LeftButton);
    EXPECT_FALSE(IsChanged(taker));
    EXPECT_EQ(source->State(), ssBrowse);
    QTest::mouseClick(taker->Button(2), Qt::LeftButton);
    EXPECT_TRUE(IsChanged(taker));
    EXPECT_EQ(source->State(), ssEdit);
    Focus(name);
    EXPECT_EQ(taker->InternalValue(), "3");
    Save("GLUC");
    EXPECT_EQ(Stored("5"), "3");
    EXPECT_EQ(taker->ItemIndex(), 2) << "read back onto the item that wrote it";
}

TEST_F(Choice, AComboFilledByPositionKeepsItsCodeThroughAnUnchangedExitAndASave) {
    TvornComboBox* format = FormatOfRecord1();
    ASSERT_EQ(format->currentText(), "Number");
    const std::size_t mark = CallMark();
    Focus(name);
    EXPECT_EQ(CallCount(mark, "DDR VALIDATOR"), 0u) << "an unchanged choice is not validated";
    EXPECT_FALSE(IsChanged(format));
    EXPECT_EQ(format->InternalValue(), "2");
    SaveWithChangedName("HB");
    EXPECT_EQ(Stored("8"), "2");
}

TEST_F(Choice, AComboWithCodesFilesTheCodeOfTheChosenItem) {
    TvornComboBox* format = FormatOfRecord1({"1", "2", "3", "4", "5", "6"});
    format->setCurrentIndex(4);
    EXPECT_TRUE(IsChanged(format));
    const std::size_t mark = CallMark();
    Focus(name);
    EXPECT_EQ(CallCount(mark, "DDR VALIDATOR"), 1u);
    EXPECT_EQ(format->InternalValue(), "5");
    EXPECT_EQ(format->ExternalValue(), "MEMORANDUM");
    EXPECT_EQ(format->currentText(), "Memo");
    Save("HB");
    EXPECT_EQ(Stored("8"), "5");
}

TEST_F(Choice, AnEmptiedComboIsFiledWithoutValidation) {
    TvornComboBox* format = FormatOfRecord1({}, true);
    format->setCurrentIndex(-1);
    format->setEditText({});
    ASSERT_EQ(source->State(), ssEdit);
    const std::size_t mark = CallMark();
    Focus(name);
    EXPECT_EQ(CallCount(mark, "DDR VALIDATOR"), 0u);
    EXPECT_EQ(format->InternalValue(), "");
    EXPECT_TRUE(IsChanged(format));
}

TEST_F(Choice, RadioButtonsOfOneFieldMarkOnlyTheButtonThatChangedTheValue) {
    auto* lab = Add<TvornRadioButton>("5", "Taker", "Lab");
    auto* ward = Add<TvornRadioButton>("5", "Taker", "Ward");
    lab->ValueChecked = "1";
    ward->ValueChecked = "2";
    Open("7");
    ASSERT_TRUE(ward->isChecked());
    QTest::mouseClick(lab, Qt::LeftButton);
    EXPECT_TRUE(IsChanged(lab));
    EXPECT_FALSE(IsChanged(ward));
    EXPECT_EQ(ward->InternalValue(), "1") << "the field's value, asked of either button";
    EXPECT_TRUE(ward->HasValue());
    QTest::mouseClick(ward, Qt::LeftButton);
    EXPECT_FALSE(IsChanged(lab));
    EXPECT_FALSE(IsChanged(ward)) << "the stored value again";
    EXPECT_EQ(source->State(), ssBrowse);
}

TEST_F(Choice, ACheckBoxClickedTwiceIsUnchanged) {
    auto* inUse = Add<TvornCheckBox>("3", "In use");
    inUse->setText("In use");
    Open("1");
    QTest::mouseClick(inUse, Qt::LeftButton);
    EXPECT_TRUE(IsChanged(inUse));
    EXPECT_EQ(source->State(), ssEdit);
    Focus(name);
    EXPECT_EQ(inUse->InternalValue(), "0");
    QTest::mouseClick(inUse, Qt::LeftButton);
    EXPECT_FALSE(IsChanged(inUse));
    EXPECT_EQ(source->State(), ssBrowse);
}

// Which item a stored value chooses, for the cases the demo data do not reach.
struct ChoiceCase {
    const char* name;
    QStringList values;
    QString internal;
    QString external;
    int expected;
};

class ChooseItemFor : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChooseItemFor, StoredValue) {
    const ChoiceCase& c = GetParam();
    EXPECT_EQ(ChooseItem(c.values, {"Lab", "Ward", "", "External"}, c.internal, c.external),
              c.expected);
}

const ChoiceCase kChoiceCases[] = {
    {"CodeBeforeText", {"3", "1", "2", "4"}, "1", "External", 1},
    {"TextWhenNoCodeMatches", {"A", "B", "C", "D"}, "9", "Ward", 1},
    {"PositionFromOneWithoutCodes", {}, "2", "WARD", 1},
    {"PositionOfTheLastItem", {}, "4", "", 3},
    {"NoPositionZero", {}, "0", "", -1},
    {"NoPositionBeyondTheItems", {}, "5", "", -1},
    {"NoPositionWithCodes", {"A", "B", "C", "D"}, "2", "", -1},
    {"NoPositionForAText", {}, "2x", "", -1},
    {"AnEmptyValueChoosesNoItemWithAnEmptyText", {"", "", "", ""}, "", "", -1},
    {"ACodeBeyondTheItemsIsNoItem", {"1", "2", "3", "4", "5"}, "5", "", -1},
};
INSTANTIATE_TEST_SUITE_P(Controls, ChooseItemFor, ::testing::ValuesIn(kChoiceCases),
                         test::ByName());

}  // namespace
}  // namespace vorn
