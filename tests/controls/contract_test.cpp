// What every bound control keeps with its source: registration when the form has loaded (and
// none without a field), leaving the source when destroyed, hints from the field help, the
// link field of a logical detail left to the source, and the kinds with their own ways: the
// list box with a finder, the memo and the label.
#include <gtest/gtest.h>

#include "controls/vorn_edit.h"
#include "controls/vorn_label.h"
#include "controls/vorn_list_box.h"
#include "controls/vorn_memo.h"
#include "tests/controls/control_form.h"

namespace vorn {
namespace {

using test::ControlForm;

class Contract : public ControlForm {};

TEST_F(Contract, ControlsRegisterWhenLoadedAndLeaveWhenDestroyed) {
    auto* name = Add<TvornEdit>("2", "Full name");
    auto* unbound = Add<TvornEdit>(QString(), "Nothing");
    auto* label = Add<TvornLabel>("2", "Name");
    EXPECT_TRUE(source->Controls().isEmpty()) << "not before the form has loaded";
    Open();
    EXPECT_EQ(source->Controls(), (QList<TvornBoundControl*>{name, label}));
    EXPECT_EQ(source->Fields(), QStringList{"2"});
    Focus(name);
    EXPECT_EQ(source->CurrentControl(), name);
    delete name;
    EXPECT_EQ(source->Controls(), QList<TvornBoundControl*>{label});
    EXPECT_EQ(source->CurrentControl(), nullptr);
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

TEST_F(Contract, TheLinkFieldOfALogicalDetailIsNotReportedAsChanged) {
    source->TypeIfSubFile = TvornSubFileType::Logical;
    source->LinkField = "7";
    auto* link = Add<TvornEdit>("7", "Person");
    auto* name = Add<TvornEdit>("2", "Full name");
    Open();
    ASSERT_TRUE(source->GetAndFill("1"));
    link->setText("Someone else");
    EXPECT_TRUE(link->Modified());
    EXPECT_FALSE(IsChanged(link));
    EXPECT_EQ(source->State(), ssBrowse);
    Focus(name);
    QTest::keyClicks(name, "x");
    EXPECT_TRUE(IsChanged(name));
}

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

TEST_F(Contract, AMemoCountsEveryEditAndFilesItsLines) {
    auto* memo = Add<TvornMemo>("100", "Description");
    auto* name = Add<TvornEdit>("2", "Full name");
    Open();
    ASSERT_TRUE(source->GetAndFill("1"));
    ASSERT_EQ(memo->Lines().size(), 2);
    EXPECT_FALSE(memo->Modified()) << "filling is no edit";
    Focus(memo);
    QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, "Fasting is not needed.");
    EXPECT_TRUE(memo->Modified());
    EXPECT_TRUE(IsChanged(memo));
    Focus(name);
    EXPECT_TRUE(IsChanged(memo)) << "changed until filled again";
    test::ExpectToolsetMessage(modal, ui::MessageKind::Information,
                               QStringLiteral("Saved: Demo Lab Test: HB Hemoglobin\r\n"));
    ASSERT_TRUE(source->Save());
    EXPECT_EQ(memo->Lines(),
              (QStringList{"Hemoglobin (HB) is measured from a blood specimen.",
                           "Results are reported the same day.", "Fasting is not needed."}));
    EXPECT_FALSE(memo->Modified());
}

TEST_F(Contract, ALabelShowsTheMasterLinkAndIsNeverFiled) {
    auto* label = Add<TvornLabel>("7", "Person");
    EXPECT_TRUE(label->TakeMasterLink("12", "SMITH,JOHN"));
    EXPECT_EQ(label->text(), "SMITH,JOHN");
    EXPECT_EQ(label->InternalValue(), "12");
    EXPECT_TRUE(label->IsDisplayOnly());
    label->SetFMRequired(true);
    EXPECT_TRUE(label->IsFilled());
}

}  // namespace
}  // namespace vorn
