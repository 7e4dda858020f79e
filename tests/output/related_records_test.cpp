// The related-records operation against the development server: a lab test (80001) with its
// wards (80006, a logical detail pointing to it by field 2) and its subresults (80001.02, kept in
// its records). Deleting all, moving all to another lab test, clearing all, the confirmation
// form's texts and options, and a link that fails part-way.
#include <gtest/gtest.h>

#include <QLabel>
#include <QRadioButton>

#include "controls/dialog_edit.h"
#include "lookup/internal/logical_listing.h"
#include "output/internal/pntr_conf_form.h"
#include "output/related_records.h"
#include "source/internal/source_core.h"
#include "tests/output/output_form.h"
#include "tests/support/departmental_detail.h"

namespace vorn {
namespace {

using ui::MessageKind;

class Related : public test::OutputForm {
  protected:
    Related() {
        Detail(wards, "vornSource2", "Demo Departmental Lab Test", "80006");
        test::MakeDepartmentalDetail(wards, master);
        Detail(subresults, "vornSource5", "Subresult", "80001.02");
        subresults.TypeIfSubFile = TvornSubFileType::Hierarchical;
        master.FileName = "Demo Lab Test";
        master.FileNumber = "80001";
        for (TvornSource* s : {&master, &wards, &subresults}) {
            s->SetRPCBroker(&Broker());
            static_cast<ui::LoadedComponent&>(*s).Loaded();
            s->Open();
        }
    }
    void Detail(TvornSource& s, const char* name, const char* fileName, const char* file) {
        s.setObjectName(name);
        s.FileName = fileName;
        s.FileNumber = file;
        s.SetMasterSource(&master);
    }
    // The question about lab test ALT (9) and its wards, making `offer`, answered Yes.
    void ExpectAskedAboutAltsWards(const QString& offer) {
        Expect(
            MessageKind::Confirmation,
            "ALT Alanine aminotransferase has related records in Demo Departmental Lab Test.\r\n" +
                offer,
            ui::mrYes);
    }
    int WardsOf(const QString& labTest) {
        logical::Query query;
        query.file = "80006";
        query.xref = "C";
        query.masterRecord = labTest;
        query.fields = QStringList{".01"};
        return int(logical::ReadReply(Broker().Call(logical::Request(query))).lines.size());
    }

    TvornSource master, wards, subresults;
};

TEST_F(Related, DeleteAllDeletesTheThreeWardsAndSaysThree) {
    ASSERT_TRUE(master.GetAndFill("9"));
    ExpectAskedAboutAltsWards(" \r\nDelete all related records of Demo Departmental Lab Test?");
    Expect(MessageKind::Information, "3 records of Demo Departmental Lab Test deleted.");
    const std::size_t mark = CallMark();
    EXPECT_TRUE(RunRelatedRecords(&master, &wards, true, nullptr, false, false));
    EXPECT_EQ(CallCount(mark, "VRNX RECORD DELETE"), 3u);
    EXPECT_EQ(WardsOf("9"), 0);
    EXPECT_TRUE(wards.ShowMessages);
}

TEST_F(Related, MoveAllNeverOffersTheCurrentLabTestAndFilesTheWardsToThePickedOneInOneCall) {
    QWidget form;
    TvornDialogEdit chooser(&form);
    chooser.FieldsForFind = QStringList{"2,Full name,300", ".01,Abbreviation,100"};
    chooser.FormCaption = "Select lab test";
    ASSERT_TRUE(master.GetAndFill("9"));
    ExpectAskedAboutAltsWards(
        "Move all related records of Demo Departmental Lab Test to another Demo Lab Test?");
    modal.OnForm<TPntrConfFrm>([](TPntrConfFrm& f) {
        TfrmFind* list = PickList();
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->windowTitle(), "Select lab test");
        EXPECT_FALSE(
            PickFromList("Aspartate aminotransferase").contains("Alanine aminotransferase"));
    });
    Expect(MessageKind::Information,
           "3 records of Demo Departmental Lab Test moved to AST Aspartate aminotransferase.");
    const std::size_t mark = CallMark();
    EXPECT_TRUE(RunRelatedRecords(&master, &wards, false, &chooser, false, true));
    EXPECT_EQ(CallCount(mark, "DDR FILER"), 1u);
    EXPECT_EQ(WardsOf("9"), 0);
    EXPECT_EQ(WardsOf("10"), 5);
    EXPECT_EQ(wards.TypeIfSubFile, TvornSubFileType::Logical);
    EXPECT_EQ(wards.State(), ssEmpty);
}

// Delete all on a lab test without wards is true without asking.
TEST_F(Related, NothingToDeleteIsTrueAndAHierarchicalDetailOffersOnlyDeletion) {
    ASSERT_TRUE(master.GetAndFill("7"));
    EXPECT_TRUE(RunRelatedRecords(&master, &wards, true, nullptr, false, false));
    EXPECT_TRUE(modal.Log().empty());
    ASSERT_TRUE(master.GetAndFill("35"));
    EXPECT_FALSE(RunRelatedRecords(&master, &subresults, false, nullptr, true, true));
    EXPECT_TRUE(modal.Log().empty()) << "nothing left to offer";
    Expect(MessageKind::Confirmation,
           "U-STIX Urine dipstick test has related records in Subresult.\r\n \r\nDelete all "
           "related records of Subresult?",
           ui::mrNo);
    EXPECT_FALSE(RunRelatedRecords(&master, &subresults, true, nullptr, true, true));
    EXPECT_TRUE(subresults.Address().HasRecord());
}

// The confirmation form asks the question and offers only the options given.
TEST_F(Related, TheConfirmationFormAsksAndAClearAllThatTheServerRefusesChangesNothing) {
    ASSERT_TRUE(master.GetAndFill("9"));
    TPntrConfFrm form;
    form.Setup(master, wards, true, true, true, nullptr);
    EXPECT_EQ(form.windowTitle(), "Confirmation");
    EXPECT_EQ(form.OKBtn->text(), "&Ok");
    EXPECT_EQ(form.CancelBtn->text(), "&Cancel");
    EXPECT_EQ(form.Label3->text(),
              "ALT Alanine aminotransferase has related records in Demo Departmental Lab "
              "Test.\nWhat do you want to do with them?");
    EXPECT_EQ(form.Label2->text(),
              "Move the records related to ALT Alanine aminotransferase to another Demo Lab Test");
    EXPECT_EQ(form.Label1->text(),
              "Delete all records of Demo Departmental Lab Test related to ALT Alanine "
              "aminotransferase");
    EXPECT_EQ(form.vornFinder1->Screen, "I Y'=9") << "the lab test is no target of its own";
    EXPECT_TRUE(form.RadioButton2->isChecked());
    TPntrConfFrm deleteOnly;
    deleteOnly.Setup(master, wards, false, false, true, nullptr);
    EXPECT_TRUE(deleteOnly.RadioButton2->isHidden());
    EXPECT_TRUE(deleteOnly.RadioButton1->isChecked());
    ExpectAskedAboutAltsWards("Clear all references to this record?");
    Expect(MessageKind::Error, "Error in saving!");
    EXPECT_FALSE(RunRelatedRecords(&master, &wards, false, nullptr, true, false));
    EXPECT_EQ(WardsOf("9"), 3) << "the link field is required";
    EXPECT_FALSE(SourceCore::Of(wards).Owners().saver.HasChanges());
}

TEST_F(Related, ALinkFailingPartWayThroughDeleteAllTellsWhatWasDeletedAndWhatNot) {
    ASSERT_TRUE(master.GetAndFill("9"));
    wards.AfterDelete = [this](QObject*, bool) {
        if (Server().Running()) Server().Kill();
    };
    ExpectAskedAboutAltsWards(" \r\nDelete all related records of Demo Departmental Lab Test?");
    modal.ExpectMessage("The link to the server failed while the records of " + wards.FileName +
                        " were being deleted.\n1 deleted, 2 not deleted.");
    EXPECT_FALSE(RunRelatedRecords(&master, &wards, true, nullptr, false, false));
    Server().Start();
    EXPECT_EQ(WardsOf("9"), 2);
}

// The server is gone before the filing call goes out, so the call is never sent: the user is
// told that nothing was moved or cleared rather than that it is not known.
TEST_F(Related, ALinkDeadBeforeTheFilingSaysNoneWasMovedOrCleared) {
    ASSERT_TRUE(master.GetAndFill("9"));
    wards.BeforeSave = [this](QObject*, bool&) { Server().Kill(); };
    modal.ExpectMessage(
        "The link to the server failed before the records of Demo Departmental Lab Test were "
        "moved. None of the 3 was moved.");
    EXPECT_FALSE(MoveAll(master, wards, "10"));
    Server().Start();
    EXPECT_EQ(WardsOf("9"), 3);
    EXPECT_FALSE(SourceCore::Of(wards).Owners().saver.HasChanges());
    ExpectAskedAboutAltsWards("Clear all references to this record?");
    modal.ExpectMessage(
        "The link to the server failed before the references in Demo Departmental Lab Test were "
        "cleared. None of the 3 was cleared.");
    EXPECT_FALSE(RunRelatedRecords(&master, &wards, false, nullptr, true, false));
    Server().Start();
    EXPECT_EQ(WardsOf("9"), 3);
}

}  // namespace
}  // namespace vorn
