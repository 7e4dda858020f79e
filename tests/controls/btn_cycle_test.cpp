// The ten operation buttons of a form through a whole cycle of its record, for a user with
// every right and for a reader: each step's enabled buttons, as the source's state and the
// user's access allow them.
#include <gtest/gtest.h>

#include "controls/vorn_btn.h"
#include "controls/vorn_edit.h"
#include "source/timed_dialog.h"
#include "tests/controls/control_form.h"

namespace vorn {
namespace {

using K = ui::MessageKind;

class ButtonCycle : public test::ControlForm {
  protected:
    void Make(TRPCBroker& broker) {
        source->SetRPCBroker(&broker);
        abbreviation = Add<TvornEdit>(".01", "Abbreviation");
        name = Add<TvornEdit>("2", "Full name");
        for (int op = DoFirst; op <= DoDelete; ++op) {
            auto* button = new TvornBtn(&form);
            button->SetOperation(static_cast<TvornBtnOperation>(op));
            button->SetvornSource(source);
            button->move(400, 10 + 28 * op);
            buttons.append(button);
        }
        Open();
    }
    // One letter per button, First to Delete: 'x' enabled, '.' disabled.
    std::string Enabled() const {
        std::string shown;
        for (TvornBtn* b : buttons)
            shown += b->isEnabled() ? 'x' : '.';
        return shown;
    }
    void Press(TvornBtnOperation op) {
        QApplication::setActiveWindow(&form);
        QTest::mouseClick(buttons[op], Qt::LeftButton);
    }
    void Type(TvornEdit* edit, const QString& text) {
        QApplication::setActiveWindow(&form);
        Focus(edit);
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    TvornEdit* abbreviation = nullptr;
    TvornEdit* name = nullptr;
    QList<TvornBtn*> buttons;
};

TEST_F(ButtonCycle, AUserWithEveryRight) {
    Make(Broker());
    //                  First Prior Next Last Save SaveAs Clear New Cancel Delete
    EXPECT_EQ(Enabled(), "x..x..xx..") << "empty";
    source->GetAndFill("1");
    EXPECT_EQ(Enabled(), "xxxx.xxx.x") << "found";
    Type(name, "Haemoglobin");
    EXPECT_EQ(Enabled(), "xxxxxxxxxx") << "edited";
    test::ExpectToolsetMessage(modal, K::Information, "Saved: Demo Lab Test: HB Haemoglobin\r\n");
    Press(DoSave);
    EXPECT_EQ(Enabled(), "xxxx.xxx.x") << "saved";
    Press(DoInsert);
    EXPECT_EQ(Enabled(), "x..x.xxxx.") << "new";
    Type(abbreviation, "ZZ9");
    EXPECT_EQ(Enabled(), "x..x.xxxx.") << "new, typed";
    Press(DoCancel);
    EXPECT_EQ(Enabled(), "x..x..xx..") << "cancelled";
    EXPECT_EQ(abbreviation->text(), "");

    Press(DoInsert);
    Type(abbreviation, "ZZ9");
    Type(name, "To go");
    test::ExpectToolsetMessage(modal, K::Information, "Saved new: Demo Lab Test: ZZ9 To go\r\n");
    Press(DoSaveAs);
    ASSERT_EQ(source->State(), ssBrowse);
    EXPECT_EQ(Enabled(), "xx...xxx.x") << "saved new: the last record";
    test::ExpectToolsetMessage(modal, K::Confirmation, "Delete Demo Lab Test: ZZ9 To go?\r\n",
                               ui::mrYes);
    test::ExpectToolsetMessage(modal, K::Information, "Deleted: Demo Lab Test: ZZ9\r\n");
    Press(DoDelete);
    EXPECT_EQ(Enabled(), "x..x..xx..") << "deleted";
}

TEST_F(ButtonCycle, AReader) {
    Make(SecondBroker(test::kReaderCodes));
    EXPECT_EQ(Enabled(), "x..x..x...") << "empty";
    EXPECT_FALSE(name->isEnabled());
    source->GetAndFill("1");
    EXPECT_EQ(Enabled(), "xxxx..x...") << "found";
    Type(name, "Haemoglobin");
    EXPECT_EQ(name->text(), "Hemoglobin") << "a reader's edits are disabled";
    EXPECT_EQ(source->State(), ssBrowse);
    Press(DoLast);
    EXPECT_EQ(Enabled(), "xx....x...") << "at the last record";
    Press(DoClear);
    EXPECT_EQ(Enabled(), "x..x..x...") << "cleared";
}

TEST_F(ButtonCycle, AlwaysDisabledHoldsInEveryStateAndLettingGoRefreshesAtOnce) {
    Make(Broker());
    buttons[DoClear]->SetAlwaysDisabled(true);
    source->GetAndFill("1");
    EXPECT_FALSE(buttons[DoClear]->isEnabled());
    buttons[DoClear]->SetAlwaysDisabled(false);
    EXPECT_TRUE(buttons[DoClear]->isEnabled());
}

}  // namespace
}  // namespace vorn
