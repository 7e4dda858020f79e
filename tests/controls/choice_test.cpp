// Controls that choose among items: a stored code survives a fill, an unchanged exit and a
// save whichever way its item was found, and a changed choice writes the code the fill reads
// back; radio buttons and check boxes mark what the user clicked.
#include <gtest/gtest.h>

#include <QRadioButton>

#include "controls/vorn_check_box.h"
#include "controls/vorn_combo_box.h"
#include "controls/vorn_edit.h"
#include "controls/vorn_radio_button.h"
#include "controls/vorn_radio_group.h"
#include "tests/controls/control_form.h"

namespace vorn {
namespace {

using test::ControlForm;

class Choice : public ControlForm {
  protected:
    Choice() { name = Add<TvornEdit>(QStringLiteral("2"), QStringLiteral("Full name")); }

    // Changes the name so that there is something to save, then saves through the source.
    void SaveWithChangedName(const char* ien) {
        Focus(name);
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("Renamed test"));
        ExpectSaved(ien);
        ASSERT_TRUE(source->Save());
    }
    void ExpectSaved(const char* ien) {
        const QString abbreviation = ien == std::string("1") ? "HB" : "GLUC";
        test::ExpectToolsetMessage(modal, ui::MessageKind::Information,
                                   QStringLiteral("Saved: Demo Lab Test: ") + abbreviation +
                                       QStringLiteral(" ") + name->text() + QStringLiteral("\r\n"));
    }
    QString Stored(const char* field) {
        // Read afresh from the server, not from the last read.
        TvornSource reader;
        reader.FileNumber = QStringLiteral("80001");
        reader.SetRPCBroker(&Broker());
        reader.SetIens(source->Iens());
        return reader.GetFieldValue(QString::fromLatin1(field));
    }

    TvornEdit* name;
};

TEST_F(Choice, ARadioGroupFilledByPositionKeepsItsCodeThroughAnUnchangedExitAndASave) {
    auto* taker =
        Add<TvornRadioGroup>(QStringLiteral("5"), QStringLiteral("Taker"), QStringLiteral("Taker"),
                             QStringList{"Lab", "Ward", "External"}, 1);
    Open();
    ASSERT_TRUE(source->GetAndFill(QStringLiteral("7")));
    ASSERT_EQ(taker->ItemIndex(), 1) << "code 2 is the second item";
    const std::size_t mark = Mark();
    Focus(taker->Button(1));
    Focus(name);
    EXPECT_FALSE(IsChanged(taker));
    EXPECT_EQ(source->State(), ssBrowse);
    EXPECT_EQ(Calls(mark, "VRNX LOCKS"), 0u);
    SaveWithChangedName("7");
    EXPECT_EQ(Stored("5"), "2");
    EXPECT_EQ(taker->ItemIndex(), 1);
}

TEST_F(Choice, ARadioGroupWithoutCodesWritesThePositionItIsFilledBy) {
    auto* taker =
        Add<TvornRadioGroup>(QStringLiteral("5"), QStringLiteral("Taker"), QStringLiteral("Taker"),
                             QStringList{"Lab", "Ward", "External"}, 1);
    Open();
    ASSERT_TRUE(source->GetAndFill(QStringLiteral("7")));
    Focus(taker->Button(1));
    QTest::mouseClick(taker->Button(2), Qt::LeftButton);
    EXPECT_TRUE(IsChanged(taker));
    EXPECT_EQ(source->State(), ssEdit);
    Focus(name);
    EXPECT_EQ(taker->InternalValue(), "3");
    test::ExpectToolsetMessage(modal, ui::MessageKind::Information,
                               QStringLiteral("Saved: Demo Lab Test: GLUC Glucose, fasting\r\n"));
    ASSERT_TRUE(source->Save());
    EXPECT_EQ(Stored("5"), "3");
    EXPECT_EQ(taker->ItemIndex(), 2) << "read back onto the item that wrote it";
}

TEST_F(Choice, ARadioGroupClickedBackToItsFilledItemIsUnchanged) {
    auto* taker =
        Add<TvornRadioGroup>(QStringLiteral("5"), QStringLiteral("Taker"), QStringLiteral("Taker"),
                             QStringList{"Lab", "Ward", "External"}, 1);
    Open();
    ASSERT_TRUE(source->GetAndFill(QStringLiteral("7")));
    Focus(taker->Button(1));
    QTest::mouseClick(taker->Button(0), Qt::LeftButton);
    ASSERT_EQ(source->State(), ssEdit);
    QTest::mouseClick(taker->Button(1), Qt::LeftButton);
    EXPECT_FALSE(IsChanged(taker));
    EXPECT_EQ(source->State(), ssBrowse);
}

TEST_F(Choice, AComboFilledByPositionKeepsItsCodeThroughAnUnchangedExitAndASave) {
    auto* format = Add<TvornComboBox>(QStringLiteral("8"), QStringLiteral("Result format"));
    format->addItems({"Free", "Number", "Sign", "Codes", "Memo", "Built"});
    Open();
    ASSERT_TRUE(source->GetAndFill(QStringLiteral("1")));
    ASSERT_EQ(format->currentText(), "Number");
    const std::size_t mark = Mark();
    Focus(format);
    Focus(name);
    EXPECT_EQ(Calls(mark, "DDR VALIDATOR"), 0u) << "an unchanged choice is not validated";
    EXPECT_FALSE(IsChanged(format));
    EXPECT_EQ(format->InternalValue(), "2");
    SaveWithChangedName("1");
    EXPECT_EQ(Stored("8"), "2");
}

TEST_F(Choice, AComboWithCodesFilesTheCodeOfTheChosenItem) {
    auto* format = Add<TvornComboBox>(QStringLiteral("8"), QStringLiteral("Result format"));
    format->addItems({"Free", "Number", "Sign", "Codes", "Memo", "Built"});
    format->SetValues({"1", "2", "3", "4", "5", "6"});
    Open();
    ASSERT_TRUE(source->GetAndFill(QStringLiteral("1")));
    Focus(format);
    format->setCurrentIndex(4);
    EXPECT_TRUE(IsChanged(format));
    const std::size_t mark = Mark();
    Focus(name);
    EXPECT_EQ(Calls(mark, "DDR VALIDATOR"), 1u);
    EXPECT_EQ(format->InternalValue(), "5");
    EXPECT_EQ(format->ExternalValue(), "MEMORANDUM");
    EXPECT_EQ(format->currentText(), "Memo");
    test::ExpectToolsetMessage(modal, ui::MessageKind::Information,
                               QStringLiteral("Saved: Demo Lab Test: HB Hemoglobin\r\n"));
    ASSERT_TRUE(source->Save());
    EXPECT_EQ(Stored("8"), "5");
}

TEST_F(Choice, AnEmptiedComboIsFiledWithoutValidation) {
    auto* format = Add<TvornComboBox>(QStringLiteral("8"), QStringLiteral("Result format"));
    format->setEditable(true);
    format->addItems({"Free", "Number"});
    Open();
    ASSERT_TRUE(source->GetAndFill(QStringLiteral("1")));
    Focus(format);
    format->setCurrentIndex(-1);
    format->setEditText({});
    ASSERT_EQ(source->State(), ssEdit);
    const std::size_t mark = Mark();
    Focus(name);
    EXPECT_EQ(Calls(mark, "DDR VALIDATOR"), 0u);
    EXPECT_EQ(format->InternalValue(), "");
    EXPECT_TRUE(IsChanged(format));
}

TEST_F(Choice, RadioButtonsOfOneFieldMarkOnlyTheButtonThatChangedTheValue) {
    auto* lab =
        Add<TvornRadioButton>(QStringLiteral("5"), QStringLiteral("Taker"), QStringLiteral("Lab"));
    auto* ward =
        Add<TvornRadioButton>(QStringLiteral("5"), QStringLiteral("Taker"), QStringLiteral("Ward"));
    lab->ValueChecked = QStringLiteral("1");
    ward->ValueChecked = QStringLiteral("2");
    Open();
    ASSERT_TRUE(source->GetAndFill(QStringLiteral("7")));
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
    auto* inUse = Add<TvornCheckBox>(QStringLiteral("3"), QStringLiteral("In use"));
    inUse->setText(QStringLiteral("In use"));
    Open();
    ASSERT_TRUE(source->GetAndFill(QStringLiteral("1")));
    QTest::mouseClick(inUse, Qt::LeftButton);
    EXPECT_TRUE(IsChanged(inUse));
    EXPECT_EQ(source->State(), ssEdit);
    Focus(name);
    EXPECT_EQ(inUse->InternalValue(), "0");
    QTest::mouseClick(inUse, Qt::LeftButton);
    EXPECT_FALSE(IsChanged(inUse));
    EXPECT_EQ(source->State(), ssBrowse);
}

}  // namespace
}  // namespace vorn
