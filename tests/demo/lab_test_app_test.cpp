// Demo lab test end to end: the real forms against the real vorn-server, driven with keys and
// clicks, each step's calls read from the server's log; and the main form's start-up failures.
#include "tests/demo/lab_test_app.h"
#include "lookup/internal/xde_string_grid.h"
#include "source/internal/source_core.h"
#include "tests/support/manual_clock.h"
#include "tests/support/signon_script.h"

namespace vorn {
namespace {

using K = ui::MessageKind;
using test::Calls;
using test::Then;

class LabTestApp : public test::LabTestApp {
  protected:
    // Saves a new lab test ZZ1 "Test one" through the form, as a user adds one.
    void SaveNewZZ1() {
        Expect(K::Confirmation, "Save new Demo Lab Test: ZZ1\r\n", ui::mrYes);
        Expect(K::Information, "Saved new: Demo Lab Test: ZZ1 Test one\r\n");
        TypeInto(form->xDlgAbbreviation, "ZZ1");
        TypeInto(form->xedtName, "Test one");
        Click(form->xbtnSaveAs);
    }
    void ExpectZZ1Deleted() {
        Expect(K::Confirmation, "Delete Demo Lab Test: ZZ1 Test one?\r\n", ui::mrYes);
        Expect(K::Information, "Deleted: Demo Lab Test: ZZ1\r\n");
    }
};

const Calls kShowRecord = {"DDR GETS ENTRY DATA", "DDR LISTER", "DDR LISTER"};

TEST_F(LabTestApp, FindsBrowsesEditsSavesAddsAndDeletesALabTest) {
    EXPECT_EQ(CallsOf([&] { Start(); }), (Calls{"XUS SIGNON SETUP", "XUS INTRO MSG", "XUS AV CODE",
                                                "XWB CREATE CONTEXT", "VRNX USERDATA"}));
    EXPECT_EQ(form->vornSource1->State(), ssEmpty);
    EXPECT_EQ(form->focusWidget(), form->xDlgAbbreviation);
    FetchCaptions();
    // The find dialog's captions and hint come from the server the first time it opens in a
    // session, and its sort field's type.
    EXPECT_EQ(CallsOf([&] {
                  QTest::keyClicks(form->xDlgAbbreviation, "hb");
                  QTest::keyClick(form->xDlgAbbreviation, Qt::Key_Return);
              }),
              (Calls{"VRNX FINDER", "VRNX DIALOG", "VRNX DIALOG", "VRNX DIALOG", "VRNX DIALOG",
                     "VRNX DIALOG", "VRNX DIALOG", "VRNX DDU FIELDS"}));
    TfrmFind* dialog = ShownFind();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Select lab test");
    ASSERT_EQ(dialog->grdPick->RowCount(), 3);
    EXPECT_EQ(dialog->grdPick->Cell(1, 1), "HB");
    EXPECT_EQ(dialog->grdPick->Cell(1, 2), "HBA1C");
    // The date of birth of the person in charge is the relational field "7:2".
    EXPECT_EQ(CallsOf([&] { QTest::keyClick(dialog->grdPick, Qt::Key_Return); }),
              Then(kShowRecord, {"DDR GETS ENTRY DATA", "VRNX IDENTIFIERS"}));
    EXPECT_EQ(form->xedtName->text(), "Hemoglobin");
    EXPECT_EQ(form->LabelDOB->text(), "FEB 10, 1953");
    EXPECT_EQ(form->xcbFormat->currentText(), "Numerical");
    EXPECT_EQ(form->xrgSpecTaker->ItemIndex(), 0);
    // A second find in the session asks for the list and the sort field's type alone.
    TypeInto(form->xDlgAbbreviation, "hb");
    EXPECT_EQ(CallsOf([&] { QTest::keyClick(form->xDlgAbbreviation, Qt::Key_Return); }),
              (Calls{"VRNX FINDER", "VRNX DDU FIELDS"}));
    ASSERT_NE(ShownFind(), nullptr);
    QTest::keyClick(ShownFind()->grdPick, Qt::Key_Return);
    EXPECT_EQ(form->vornSource1->State(), ssBrowse);
    const Calls move = Then({"DDR LISTER"}, Then(kShowRecord, {"DDR GETS ENTRY DATA"}));
    EXPECT_EQ(CallsOf([&] { Click(form->xbtnNext); }), move);
    EXPECT_EQ(form->xDlgAbbreviation->text(), "HBA1C");
    EXPECT_EQ(CallsOf([&] { Click(form->xbtnPrior); }), move);
    EXPECT_EQ(form->xDlgAbbreviation->text(), "HB");
    Expect(K::Information, "Saved: Demo Lab Test: HB Haemoglobin\r\n");
    EXPECT_EQ(
        CallsOf([&] {
            TypeInto(form->xedtName, "Haemoglobin");
            Click(form->xbtnSave);
        }),
        Then({"VRNX LOCKS", "DDR GETS ENTRY DATA", "DDR VALIDATOR", "DDR FILER", "VRNX LOCKS"},
             Then(kShowRecord, {"DDR GETS ENTRY DATA", "VRNX IDENTIFIERS", "VRNX DIALOG"})));
    EXPECT_EQ(form->vornSource1->State(), ssBrowse);
    EXPECT_EQ(form->focusWidget(), form->xDlgAbbreviation);
    EXPECT_EQ(CallsOf([&] { Click(form->xbtnClear); }), Calls{});
    EXPECT_EQ(CallsOf([&] { SaveNewZZ1(); }),
              Then({"DDR VALIDATOR", "DDR VALIDATOR", "VRNX DIALOG", "DDR FILER"},
                   Then(kShowRecord, {"VRNX IDENTIFIERS", "VRNX DIALOG"})));
    EXPECT_EQ(form->vornSource1->State(), ssBrowse);
    ExpectZZ1Deleted();
    EXPECT_EQ(CallsOf([&] { Click(form->xbtnDelete); }),
              (Calls{"VRNX RECORD POINTER CHECK", "VRNX IDENTIFIERS", "VRNX DIALOG",
                     "VRNX RECORD DELETE", "VRNX DIALOG"}));
    EXPECT_EQ(form->vornSource1->State(), ssEmpty);
    EXPECT_EQ(form->xedtName->text(), "");
}

// The history items appear only for visited records, a record chosen there goes to its head,
// and the history offers only records on file: one deleted here leaves it at once.
TEST_F(LabTestApp, TheHistoryOffersTheVisitedRecordsOnFile) {
    Start();
    for (QAction* item : form->Hist)
        EXPECT_FALSE(item->isVisible());
    FetchCaptions();
    SaveNewZZ1();
    form->vornSource1->UpdateHistory();
    for (const char* record : {"1", "3"}) {
        ASSERT_TRUE(form->vornSource1->GetAndFill(record));
        form->vornSource1->UpdateHistory();
    }
    EXPECT_EQ(form->Hist[0]->text(), "&1 PLT Thrombocytes");
    EXPECT_EQ(form->Hist[1]->text(), "&2 HB Hemoglobin");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(form->Hist[i]->isVisible(), i < 3) << "item " << i;
    form->Hist[2]->trigger();
    ASSERT_EQ(form->xDlgAbbreviation->text(), "ZZ1");
    ASSERT_EQ(form->Hist[0]->text(), "&1 ZZ1 Test one");
    ExpectZZ1Deleted();
    Click(form->xbtnDelete);
    EXPECT_EQ(form->Hist[0]->text(), "&1 PLT Thrombocytes");
    EXPECT_EQ(form->Hist[1]->text(), "&2 HB Hemoglobin");
    EXPECT_TRUE(form->Hist[0]->isVisible() && form->Hist[1]->isVisible());
    EXPECT_FALSE(form->Hist[2]->isVisible() || form->Hist[3]->isVisible());
    for (const TvornHistoryRecord& entry :
         SourceCore::Of(*form->vornSource1).Owners().history.Entries())
        EXPECT_FALSE(entry.Text.contains("ZZ1"));
}

// The form is left as it was rather than emptied without a word.
TEST_F(LabTestApp, ChoosingARecordAnotherUserDeletedSaysSoAndDropsIt) {
    Start();
    FetchCaptions();
    SaveNewZZ1();
    const QString zz1 = form->vornSource1->Address().Number();
    ASSERT_FALSE(zz1.isEmpty());
    form->vornSource1->UpdateHistory();
    ASSERT_TRUE(form->vornSource1->GetAndFill("1"));
    form->vornSource1->UpdateHistory();
    ASSERT_EQ(form->Hist[1]->text(), "&2 ZZ1 Test one");
    Other().Call(requests::RecordDelete("80001", zz1));
    Expect(K::Warning,
           "Demo Lab Test: ZZ1 Test one is no longer on file; it is taken off the history.");
    form->Hist[1]->trigger();
    EXPECT_EQ(form->Hist[0]->text(), "&1 HB Hemoglobin");
    EXPECT_TRUE(form->Hist[0]->isVisible());
    EXPECT_FALSE(form->Hist[1]->isVisible());
    ASSERT_EQ(SourceCore::Of(*form->vornSource1).Owners().history.Entries().size(), 5);
    EXPECT_TRUE(SourceCore::Of(*form->vornSource1).Owners().history.Entries()[1].Iens.isEmpty());
    EXPECT_EQ(form->xDlgAbbreviation->text(), "HB") << "the record shown before stays";
    EXPECT_EQ(form->vornSource1->State(), ssBrowse);
}

// Start-up failures of the main form, against a scripted server: the form made on `port` has
// no context and closes when first shown.
class LabTestStartUp : public ::testing::Test {
  protected:
    void ExpectClosedOnFirstShow(int port) {
        TfrmLabTest form({"127.0.0.1", port, {}});
        EXPECT_FALSE(form.ContextCreated());
        form.show();
        QApplication::processEvents();
        EXPECT_FALSE(form.isVisible());
    }
    test::ClockOverride clock;
    test::TestPeer peer;
    test::ScriptedModalHost modal;
};

TEST_F(LabTestStartUp, ARefusedContextClosesTheFormOnFirstShowWithoutAMessage) {
    test::ScriptNoSignonNeeded(peer);
    peer.Reply("The context 'ZAZIRERO' does not exist on server.");
    ExpectClosedOnFirstShow(peer.Port());
    EXPECT_TRUE(modal.Log().empty());
}

TEST_F(LabTestStartUp, AFailedConnectionSaysConnectionFailedAndCloses) {
    modal.OnMessage([](const ui::MessageRequest& r) {
        EXPECT_EQ(r.text, "Connection failed!");
        EXPECT_EQ(r.kind, ui::MessageKind::Error);
        EXPECT_EQ(r.buttons, ui::mbOK);
        return ui::mrOk;
    });
    ExpectClosedOnFirstShow(test::ClosedPort());
}

}  // namespace
}  // namespace vorn
