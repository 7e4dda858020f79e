// What every bound control keeps with its source: registration when the form has loaded (and
// none without a field), leaving the source when destroyed, hints from the field help, the
// link field of a logical detail left to the source, and the kinds with their own ways: the
// list box with a finder, the memo and the label; and each kind filled from a record.
#include <gtest/gtest.h>

#include <functional>

#include "controls/dialog_edit.h"
#include "controls/vorn_btn.h"
#include "controls/vorn_check_box.h"
#include "controls/vorn_combo_box.h"
#include "controls/vorn_combo_box_lookup.h"
#include "controls/vorn_edit.h"
#include "controls/vorn_label.h"
#include "controls/vorn_list_box.h"
#include "controls/vorn_memo.h"
#include "controls/vorn_radio_group.h"
#include "tests/controls/control_form.h"

namespace vorn {
namespace {

using test::ControlForm;

class Contract : public ControlForm {};

TEST_F(Contract, ControlsRegisterWhenLoadedAndLeaveWhenDestroyed) {
    auto* name = Add<TvornEdit>("2", "Full name");
    auto* unbound = Add<TvornEdit>(QString(), "Nothing");
    auto* label = Add<TvornLabel>("2", "Name");
    const auto& registry = SourceCore::Of(*source).Registry();
    EXPECT_TRUE(registry.Controls().isEmpty()) << "not before the form has loaded";
    Open();
    EXPECT_EQ(registry.Controls(), (QList<TvornBoundControl*>{name, label}));
    EXPECT_EQ(registry.Fields(), QStringList{"2"});
    Focus(name);
    EXPECT_EQ(registry.CurrentControl(), name);
    delete name;
    EXPECT_EQ(registry.Controls(), QList<TvornBoundControl*>{label});
    EXPECT_EQ(registry.CurrentControl(), nullptr);
    QTest::keyClicks(unbound, "free text");
    EXPECT_EQ(source->State(), ssEmpty) << "an unbound edit is an ordinary edit";
}

TEST_F(Contract, AControlThatShowsHintsGetsTheFieldHelpAsItsHint) {
    auto* hinted = Add<TvornEdit>("6", "Length");
    hinted->SetShowHint(true);
    auto* own = Add<TvornEdit>("4", "Date");
    own->SetShowHint(true);
    own->setToolTip("The form's own hint");
    auto* silent = Add<TvornEdit>("2", "Name");
    Open();
    EXPECT_EQ(hinted->toolTip(), "Answer with a whole number from 1 to 250.");
    EXPECT_EQ(own->toolTip(), "The form's own hint");
    EXPECT_EQ(silent->toolTip(), "");
}

// Every kind of edit on the shared base keeps the same contract: entering makes it the current
// control, typing starts the edit and marks it changed, leaving for the Clear button checks
// nothing, F1 shows the field's help and description, and the link field of a logical detail
// stays the source's own business.
struct EditKind {
    const char* name;
    std::function<BoundControlBase*(ControlForm&)> make;
};

template <typename Control>
Control* PersonInCharge(ControlForm& f) {
    return f.Add<Control>("7", "Person in charge");
}

class BaseContract : public ControlForm, public ::testing::WithParamInterface<EditKind> {
  protected:
    QWidget* Make() {
        control = GetParam().make(*this);
        control->OnEnter = [this](QObject*) { ++enters; };
        control->OnExit = [this](QObject*) { ++exits; };
        return control->Widget();
    }
    // Types a letter as a user would: into a combo box's line edit.
    static void Type(QWidget* widget) {
        auto* combo = qobject_cast<QComboBox*>(widget);
        QTest::keyClicks(combo ? combo->lineEdit() : widget, "x");
    }
    BoundControlBase* control = nullptr;
    int enters = 0;
    int exits = 0;
};

TEST_P(BaseContract, EntersMarksSkipsTheClearButtonAndShowsHelp) {
    QWidget* widget = Make();
    auto* clear = Button(DoClear);
    test::HelpCapture help;
    Open("1");
    Focus(widget);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(SourceCore::Of(*source).Registry().CurrentControl(), control);
    QTest::keyClick(widget, Qt::Key_F1);
    EXPECT_EQ(help.shown, test::kPersonInChargeHelp);
    Type(widget);
    EXPECT_EQ(source->State(), ssEdit);
    EXPECT_TRUE(IsChanged(control));
    const std::size_t mark = CallMark();
    Focus(clear);
    EXPECT_EQ(CallNamesSince(mark), std::vector<std::string>{});
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(SourceCore::Of(*source).Registry().CurrentControl(), nullptr);
}

TEST_P(BaseContract, LeavesTheLinkFieldOfALogicalDetailToTheSource) {
    source->TypeIfSubFile = TvornSubFileType::Logical;
    source->LinkField = "7";
    QWidget* widget = Make();
    Open("1");
    widget->setEnabled(true);
    Focus(widget);
    Type(widget);
    EXPECT_FALSE(IsChanged(control));
    EXPECT_EQ(source->State(), ssBrowse);
}

const EditKind kEditKinds[] = {
    {"Edit", PersonInCharge<TvornEdit>},
    {"DialogEdit", PersonInCharge<TvornDialogEdit>},
    {"LookupCombo",
     [](ControlForm& f) -> BoundControlBase* {
         auto* finder = test::NewFinder(f.form, "80000");
         auto* box = PersonInCharge<TvornComboBoxLookUp>(f);
         box->SetvornFinder(finder);
         return box;
     }},
};

INSTANTIATE_TEST_SUITE_P(Kinds, BaseContract, ::testing::ValuesIn(kEditKinds), test::ByName());

TEST_F(Contract, AListBoxWithAFinderTakesTheRecordNumberOfTheChosenRow) {
    TvornFinder persons;
    persons.Records = {"3^Baker Anna", "1^Adams John"};
    auto* person = Add<TvornListBox>("7", "Person");
    person->addItems({"Baker Anna", "Adams John"});
    person->SetvornFinder(&persons);
    auto* name = Add<TvornEdit>("2", "Full name");
    Open();
    EXPECT_EQ(person->FieldNumber(), QStringList{".01,nimi,150"});
    ASSERT_TRUE(source->GetAndFill("1"));
    ASSERT_EQ(person->currentRow(), -1) << "the stored person is not listed";
    Focus(person);
    person->setCurrentRow(0);
    EXPECT_TRUE(IsChanged(person));
    EXPECT_EQ(source->State(), ssEdit);
    Focus(name);
    EXPECT_EQ(person->InternalValue(), "3");
}

// A memo counts every edit and files its lines. Made in code, as a form or Designer makes it,
// with nothing set about Tab, it is left by Tab, and Ctrl+Tab types a tab.
TEST_F(Contract, AMemoCountsEveryEditAndFilesItsLinesAndTabLeavesIt) {
    auto* name = Add<TvornEdit>("2", "Full name");
    auto* memo = Add<TvornMemo>("100", "Description");
    auto* after = Add<TvornEdit>("6", "Length of result");
    Open("1");
    ASSERT_EQ(memo->Lines().size(), 2);
    EXPECT_EQ(memo->InternalValue(), memo->Lines().join(u'\n'));
    EXPECT_FALSE(memo->Modified()) << "filling is no edit";
    Focus(memo);
    QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "Fasting is not needed.");
    EXPECT_TRUE(memo->Modified());
    EXPECT_TRUE(IsChanged(memo));
    Focus(name);
    EXPECT_TRUE(IsChanged(memo)) << "changed until filled again";
    Expect(ui::MessageKind::Information, QStringLiteral("Saved: Demo Lab Test: HB Hemoglobin\r\n"));
    ASSERT_TRUE(source->Save());
    EXPECT_EQ(memo->Lines(),
              (QStringList{"Hemoglobin (HB) is measured from a blood specimen.",
                           "Results are reported the same day.", "Fasting is not needed."}));
    EXPECT_FALSE(memo->Modified());
    Activate();
    const QString filled = memo->toPlainText();
    Focus(name);
    QTest::keyClick(name, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), memo);
    QTest::keyClick(memo, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), after) << "Tab leaves the memo";
    EXPECT_EQ(memo->toPlainText(), filled);
    EXPECT_FALSE(memo->Modified());
    QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(QApplication::focusWidget(), memo);
    QTest::keyClick(memo, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(QApplication::focusWidget(), name) << "Shift+Tab leaves it backwards";
    QTest::keyClick(name, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), memo);
    QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClicks(memo, "x");
    EXPECT_EQ(QApplication::focusWidget(), memo) << "Ctrl+Tab stays in the memo";
    EXPECT_EQ(memo->toPlainText(), filled + QStringLiteral("\tx"));
    EXPECT_TRUE(memo->Modified());
    EXPECT_TRUE(IsChanged(memo));
}

// Each control filled from a record of the development server as the source's fill table
// says, and from record lines the server never sends (codes of other languages, long values).
const QStringList kFormats = {"Free", "Number", "Sign", "Codes", "Memo", "Built"};

class Fill : public test::ControlForm {
  protected:
    // The result format (field 8) as a combo box.
    TvornComboBox* Format(const QStringList& items, const QStringList& values,
                          bool editable = false) {
        auto* combo = Add<TvornComboBox>("8", "Result format");
        combo->setEditable(editable);
        combo->addItems(items);
        combo->SetValues(values);
        return combo;
    }
    // Opens the form and reads `record`; filling changes nothing.
    void Read(const char* record) {
        if (!source->Active()) Open();
        ASSERT_TRUE(source->GetAndFill(record));
        EXPECT_EQ(source->State(), ssBrowse);
        EXPECT_TRUE(test::Owners(*source).saver.Changed().isEmpty());
    }
};

// The fills the choice tests do not reach: a label, a combo box by its code, by the text for
// want of the code and by the text alone, a radio group with codes, and a list box by text.
TEST_F(Fill, EachKindOfControlShowsTheStoredValue) {
    auto* label = Add<TvornLabel>("2", "Name");
    auto* byCode = Format(kFormats, {"1", "2", "3", "4", "5", "6"});
    auto* lackingTheCode = Format(kFormats, {"A", "B", "C"}, true);
    auto* byText = Format({"FREE FORMAT STRING", "NUMERICAL", "PLUS OR MINUS", "SET OF CODES",
                           "MEMORANDUM", "CONSTRUCTED FROM SUBTEST RESULTS"},
                          {});
    auto* taker =
        Add<TvornRadioGroup>("5", "Taker", "Taker", QStringList{"Ward", "Lab", "External"}, 1);
    taker->SetValues({"2", "1", "3"});
    auto* list = Add<TvornListBox>("5", "Taker");
    list->addItems({"LABORATORY", "WARD", "EXTERNAL INSTITUTION"});
    Read("1");
    EXPECT_EQ(label->text(), "Hemoglobin");
    EXPECT_EQ(label->InternalValue(), "Hemoglobin");
    for (TvornComboBox* combo : {byCode, lackingTheCode})
        EXPECT_EQ(combo->InternalValue(), "2");
    EXPECT_EQ(byCode->currentText(), "Number");
    EXPECT_EQ(lackingTheCode->currentText(), "NUMERICAL") << "the text, for want of its code";
    EXPECT_EQ(taker->ItemIndex(), 1) << "the item of code 1";
    EXPECT_EQ(taker->InternalValue(), "1");
    Read("7");
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->text(), "WARD") << "the item of the external value";
    EXPECT_EQ(list->InternalValue(), "2");
    Read("39");
    EXPECT_EQ(byText->currentText(), "MEMORANDUM");
    EXPECT_EQ(byText->InternalValue(), "5");
}

// Record lines the demo server does not produce, handed over as the source hands them: a check
// box takes the codes of both languages for checked, an edit shows a long internal value that
// has no external one, and a label shows markup as text.
TEST(FillFromLine, CheckBoxEditAndLabel) {
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
    TvornEdit edit;
    const QString long101(101, u'x');
    edit.FillFromRecord(long101, {});
    EXPECT_EQ(edit.text(), long101);
    EXPECT_EQ(edit.FilledText(), long101);
    edit.FillFromRecord(QString(100, u'x'), {});
    EXPECT_EQ(edit.text(), "");
    TvornLabel label;
    label.FillFromRecord("1", "<b>bold</b>");
    EXPECT_EQ(label.textFormat(), Qt::PlainText);
    EXPECT_EQ(label.text(), "<b>bold</b>");
}

}  // namespace
}  // namespace vorn
