// Each control filled from a record of the development server as the source's fill table
// says, and from record lines the server never sends (codes of other languages, long values).
#include <gtest/gtest.h>

#include <functional>

#include "controls/vorn_check_box.h"
#include "controls/vorn_combo_box.h"
#include "controls/vorn_edit.h"
#include "controls/vorn_label.h"
#include "controls/vorn_list_box.h"
#include "controls/vorn_memo.h"
#include "controls/vorn_radio_button.h"
#include "controls/vorn_radio_group.h"
#include "tests/controls/control_form.h"

namespace vorn {
namespace {

const QStringList kFormats = {"Free", "Number", "Sign", "Codes", "Memo", "Built"};
const QStringList kFormatNames = {"FREE FORMAT STRING", "NUMERICAL",
                                  "PLUS OR MINUS",      "SET OF CODES",
                                  "MEMORANDUM",         "CONSTRUCTED FROM SUBTEST RESULTS"};
const QStringList kTakers = {"LABORATORY", "WARD", "EXTERNAL INSTITUTION"};

QString Checked(QAbstractButton* button) {
    return button->isChecked() ? QStringLiteral("checked") : QStringLiteral("unchecked");
}

// Adds the control of a case to the form and tells what it shows.
using Shown = std::function<QString()>;
using Make = std::function<Shown(test::ControlForm&, TvornBoundControl*&)>;

struct FillCase {
    const char* name;
    const char* record;
    Make make;
    QString shown;
    QString internal;
};

class Fill : public test::ControlForm, public ::testing::WithParamInterface<FillCase> {
  public:
    using ControlForm::Add;
};

TEST_P(Fill, ShowsTheStoredValue) {
    const FillCase& c = GetParam();
    TvornBoundControl* control = nullptr;
    const Shown shown = c.make(*this, control);
    Open();
    ASSERT_TRUE(source->GetAndFill(QString::fromLatin1(c.record)));
    EXPECT_EQ(shown(), c.shown);
    EXPECT_EQ(control->InternalValue(), c.internal);
    EXPECT_EQ(source->State(), ssBrowse);
    EXPECT_TRUE(source->ChangedControls().isEmpty());
}

Shown EditOn(test::ControlForm& f, TvornBoundControl*& out, const char* field) {
    auto* edit = static_cast<Fill&>(f).Add<TvornEdit>(QString::fromLatin1(field), "Field");
    out = edit;
    return [edit] { return edit->text(); };
}

Shown ComboOn8(test::ControlForm& f, TvornBoundControl*& out, const QStringList& items,
               const QStringList& values, bool editable) {
    auto* combo = static_cast<Fill&>(f).Add<TvornComboBox>("8", "Result format");
    combo->setEditable(editable);
    combo->addItems(items);
    combo->SetValues(values);
    out = combo;
    return [combo] { return combo->currentText(); };
}

const FillCase kFillCases[] = {
    {"EditShowsTheExternalValue", "1", [](auto& f, auto*& c) { return EditOn(f, c, ".01"); }, "HB",
     "HB"},
    {"LabelShowsTheExternalValue", "1",
     [](auto& f, auto*& c) -> Shown {
         auto* label = static_cast<Fill&>(f).Add<TvornLabel>("2", "Name");
         c = label;
         return [label] { return label->text(); };
     },
     "Hemoglobin", "Hemoglobin"},
    {"CheckBoxIsCheckedByOne", "1",
     [](auto& f, auto*& c) -> Shown {
         auto* box = static_cast<Fill&>(f).Add<TvornCheckBox>("3", "In use");
         c = box;
         return [box] { return Checked(box); };
     },
     "checked", "1"},
    {"CheckBoxIsUncheckedByZero", "32",
     [](auto& f, auto*& c) -> Shown {
         auto* box = static_cast<Fill&>(f).Add<TvornCheckBox>("3", "In use");
         c = box;
         return [box] { return Checked(box); };
     },
     "unchecked", "0"},
    {"ComboFindsTheItemByItsCode", "1",
     [](auto& f, auto*& c) {
         return ComboOn8(f, c, kFormats, {"1", "2", "3", "4", "5", "6"}, false);
     },
     "Number", "2"},
    {"ComboWithoutCodesFindsTheItemByItsText", "39",
     [](auto& f, auto*& c) { return ComboOn8(f, c, kFormatNames, {}, false); }, "MEMORANDUM", "5"},
    {"ComboWithoutCodesTakesANumberAsPositionFromOne", "1",
     [](auto& f, auto*& c) { return ComboOn8(f, c, kFormats, {}, false); }, "Number", "2"},
    {"ComboWithCodesThatLackTheValueShowsItsText", "1",
     [](auto& f, auto*& c) {
         return ComboOn8(f, c, kFormats, {"A", "B", "C"}, true);
     },
     "NUMERICAL", "2"},
    {"ListBoxShowsTheItemOfTheExternalValue", "7",
     [](auto& f, auto*& c) -> Shown {
         auto* list = static_cast<Fill&>(f).Add<TvornListBox>("5", "Taker");
         list->addItems(kTakers);
         c = list;
         return [list] { return list->currentItem() ? list->currentItem()->text() : QString(); };
     },
     "WARD", "2"},
    {"MemoShowsTheWordProcessingLines", "4",
     [](auto& f, auto*& c) -> Shown {
         auto* memo = static_cast<Fill&>(f).Add<TvornMemo>("100", "Description");
         c = memo;
         return [memo] { return memo->Lines().join(u'|'); };
     },
     "Sodium (NA) is measured from a blood specimen.|Results are reported the same day.|"
     "Ask the laboratory before ordering it out of office hours.",
     "Sodium (NA) is measured from a blood specimen.\nResults are reported the same day.\n"
     "Ask the laboratory before ordering it out of office hours."},
    {"RadioButtonOfTheStoredValueIsChecked", "7",
     [](auto& f, auto*& c) -> Shown {
         auto& form = static_cast<Fill&>(f);
         auto* lab = form.Add<TvornRadioButton>("5", "Taker", "Lab");
         auto* ward = form.Add<TvornRadioButton>("5", "Taker", "Ward");
         lab->ValueChecked = "1";
         ward->ValueChecked = "2";
         c = lab;
         return [lab, ward] { return Checked(lab) + u' ' + Checked(ward); };
     },
     "unchecked checked", "2"},
    {"RadioGroupWithoutCodesTakesANumberAsPositionFromOne", "14",
     [](auto& f, auto*& c) -> Shown {
         auto* group = static_cast<Fill&>(f).Add<TvornRadioGroup>(
             "5", "Taker", "Taker", QStringList{"Lab", "Ward", "External"}, 1);
         c = group;
         return [group] { return QString::number(group->ItemIndex()); };
     },
     "2", "3"},
    {"RadioGroupFindsTheItemByItsCode", "1",
     [](auto& f, auto*& c) -> Shown {
         auto* group = static_cast<Fill&>(f).Add<TvornRadioGroup>(
             "5", "Taker", "Taker", QStringList{"Ward", "Lab", "External"}, 1);
         group->SetValues({"2", "1", "3"});
         c = group;
         return [group] { return QString::number(group->ItemIndex()); };
     },
     "1", "1"},
};

INSTANTIATE_TEST_SUITE_P(Controls, Fill, ::testing::ValuesIn(kFillCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Record lines the demo server does not produce, handed over as the source hands them.
TEST(FillFromLine, CheckBoxTakesTheCodesOfBothLanguagesForChecked) {
    TvornCheckBox box;
    for (const char* code : {"1", "Y", "y", "K", "k"}) {
        box.FillFromRecord(QString::fromLatin1(code), {});
        EXPECT_TRUE(box.isChecked()) << code;
        EXPECT_TRUE(box.FilledChecked()) << code;
    }
    for (const char* code : {"", "0", "N", "YES", "2"}) {
        box.FillFromRecord(QString::fromLatin1(code), {});
        EXPECT_FALSE(box.isChecked()) << code;
    }
}

TEST(FillFromLine, EditShowsALongInternalValueThatHasNoExternalOne) {
    TvornEdit edit;
    const QString long101(101, u'x');
    edit.FillFromRecord(long101, {});
    EXPECT_EQ(edit.text(), long101);
    EXPECT_EQ(edit.FilledText(), long101);
    const QString long100(100, u'x');
    edit.FillFromRecord(long100, {});
    EXPECT_EQ(edit.text(), "");
}

TEST(FillFromLine, LabelShowsMarkupAsText) {
    TvornLabel label;
    label.FillFromRecord("1", "<b>bold</b>");
    EXPECT_EQ(label.textFormat(), Qt::PlainText);
    EXPECT_EQ(label.text(), "<b>bold</b>");
}

}  // namespace
}  // namespace vorn
