// A master and its details end to end: the lab tests (80001) with their subresults (the
// hierarchical sub-file 80001.02) and their departmental lab tests (80006, a logical detail
// whose field 2 points to the lab test), each detail listed in a bound grid.
#include <gtest/gtest.h>

#include "lookup/bound_grid.h"
#include "source/record_requests.h"
#include "tests/lookup/grid_form.h"

namespace vorn {
namespace {

using test::FakeBoundControl;
using test::FakeOperationButton;

class MasterDetail : public test::GridForm {
  protected:
    void SetUp() override {
        master = NewSource("vornLabTest", "80001");
        masterName = NewControl(*master, ".01");

        subresult = NewSource("vornSubresult", "80001.02");
        subresult->TypeIfSubFile = TvornSubFileType::Hierarchical;
        subresult->SetMasterSource(master);
        explanation = NewControl(*subresult, ".01");
        subresultGrid = NewGrid("grdSubresult", subresult, {".01,Explanation,200", "2,Type,200"});

        departmental = NewSource("vornDepartmental", "80006");
        departmental->TypeIfSubFile = TvornSubFileType::Logical;
        departmental->SetMasterSource(master);
        departmental->LinkField = "2";
        departmental->FMIndex = "C";
        departmental->FMIndexField = "2";
        departmental->FMIndexType = itInternal;
        departmental->InformMessages = {};
        ward = NewControl(*departmental, ".01");
        ordering = NewControl(*departmental, "3");
        departmentalGrid = NewGrid("grdDepartmental", departmental,
                                   {".01,Ward or clinic,250", "3,Ordering allowed,200"});
    }

    void OpenAll() {
        Load();
        master->Open();
        subresult->Open();
        departmental->Open();
    }

    // The internal value of the departmental record's link field, read by another user.
    QString StoredLink(const QString& record) {
        const records::RecordAnswer answer = records::ReadRecordAnswer(
            SecondBroker().Call(records::ReadRequest("80006", {"2"}, record + u',')));
        return records::FieldPiece(answer.lines, "2", record, 4);
    }

    TvornSource* master = nullptr;
    FakeBoundControl* masterName = nullptr;
    TvornSource* subresult = nullptr;
    FakeBoundControl* explanation = nullptr;
    TvornGrid* subresultGrid = nullptr;
    TvornSource* departmental = nullptr;
    FakeBoundControl* ward = nullptr;
    FakeBoundControl* ordering = nullptr;
    TvornGrid* departmentalGrid = nullptr;
};

TEST_F(MasterDetail, AHierarchicalDetailListsAndReadsTheSubresultsOfTheMasterRecord) {
    OpenAll();
    ASSERT_TRUE(master->GetAndFill("35"));
    EXPECT_EQ(masterName->text(), "U-STIX");
    EXPECT_EQ(test::GridForm::ColumnTexts(*subresultGrid, 0),
              (QStringList{"GLUCOSE", "LEUKOCYTES", "PH", "PROTEIN"}));
    EXPECT_EQ(subresult->FullIens(), "1,35,") << "the detail shows its first record";
    EXPECT_EQ(explanation->text(), "GLUCOSE");

    test::GridForm::ClickRow(*subresultGrid, 3);
    EXPECT_EQ(subresult->State(), ssBrowse);
    EXPECT_EQ(subresult->FullIens(), "3,35,");
    EXPECT_EQ(subresult->RecordNumber(), "3");
    EXPECT_EQ(explanation->text(), "PH");
    ASSERT_FALSE(subresult->RecordLines().isEmpty());
    EXPECT_EQ(subresult->RecordLines().first().section(u'^', 0, 1), "80001.02^3,35");
    EXPECT_EQ(subresultGrid->Row(), 3);
}

TEST_F(MasterDetail, ALogicalDetailShowsTheRecordsThatPointToTheMasterRecord) {
    OpenAll();
    const std::size_t mark = CallMark();
    ASSERT_TRUE(master->GetAndFill("12"));
    EXPECT_EQ(departmental->LinkScreen(), "I 12=$P($G(^(0)),U,2)");
    EXPECT_EQ(CallCount(mark, "VRNX LOGICAL POINTER"), 1u);
    EXPECT_EQ(CallCount(mark, "DDR LISTER"), 1u) << "only the subresults are walked";
    ASSERT_EQ(departmentalGrid->RowCount(), 2);
    EXPECT_EQ(departmentalGrid->RecordNumberAt(1), "52");
    EXPECT_EQ(departmental->RecordNumber(), "52");
    EXPECT_EQ(departmental->GetFieldValue("2"), "12");

    ASSERT_TRUE(master->GetAndFill("22"));
    EXPECT_EQ(departmental->LinkScreen(), "I 22=$P($G(^(0)),U,2)");
    ASSERT_EQ(departmentalGrid->RowCount(), 7);
    const QStringList wards = test::GridForm::ColumnTexts(*departmentalGrid, 0);
    QStringList sorted = wards;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(wards, sorted) << "the server sorts on .01 when the grid is not sorted";
    for (int row = 1; row < departmentalGrid->RowCount(); ++row) {
        test::GridForm::ClickRow(*departmentalGrid, row);
        EXPECT_EQ(departmental->RecordNumber(), departmentalGrid->RecordNumberAt(row));
        EXPECT_EQ(departmental->GetFieldValue("2"), "22");
        EXPECT_EQ(ward->text(), wards[row - 1]);
    }
}

TEST_F(MasterDetail, ANewLogicalDetailRecordIsFiledPointingToItsMaster) {
    OpenAll();
    ASSERT_TRUE(master->GetAndFill("12"));
    departmental->Insert();
    ASSERT_EQ(departmental->State(), ssNew);
    EXPECT_TRUE(departmental->LinkPending()) << "no control shows the link field";
    EXPECT_EQ(departmentalGrid->RowCount(), 2);
    EXPECT_EQ(departmentalGrid->RecordNumber(), "");

    ward->Change("3", "SURGICAL WARD 1");
    ordering->Change("2", "OFFICE HOURS ONLY");
    ASSERT_TRUE(departmental->SaveAs());

    const QString added = departmental->RecordNumber();
    ASSERT_FALSE(added.isEmpty());
    EXPECT_NE(added, "52");
    EXPECT_EQ(StoredLink(added), "12");
    EXPECT_EQ(departmental->GetFieldValue("2"), "12");
    ASSERT_EQ(departmentalGrid->RowCount(), 3) << "the grid lists the new record beside 52";
    EXPECT_EQ(departmentalGrid->RecordNumber(), added);
}

TEST_F(MasterDetail, ClearingTheMasterLeavesEveryDetailWithoutMasterUntilItReadsARecord) {
    QList<FakeOperationButton*> buttons;
    for (TvornSource* detail : {subresult, departmental})
        for (TvornBtnOperation op : {DoFirst, DoNext, DoLast, DoInsert, DoClear})
            buttons.append(new FakeOperationButton(*detail, op, &form));
    OpenAll();
    ASSERT_TRUE(master->GetAndFill("36"));
    EXPECT_EQ(subresult->FullIens(), "4,36,") << "HEMATOCRIT heads the B index";
    EXPECT_EQ(departmental->RecordNumber(), departmentalGrid->RecordNumberAt(1));
    EXPECT_EQ(departmentalGrid->RowCount(), 3);

    master->Clear();
    for (TvornSource* detail : {subresult, departmental}) {
        SCOPED_TRACE(detail->objectName().toStdString());
        EXPECT_EQ(detail->State(), ssNoMaster);
        EXPECT_EQ(detail->RecordNumber(), "");
    }
    for (FakeOperationButton* button : buttons)
        EXPECT_FALSE(button->isEnabled()) << button->Operation();
    for (TvornGrid* grid : {subresultGrid, departmentalGrid}) {
        EXPECT_EQ(grid->RowCount(), 2);
        EXPECT_EQ(grid->Cell(0, 1), "");
        EXPECT_EQ(grid->RecordNumber(), "");
    }
    EXPECT_EQ(explanation->text(), "");
    EXPECT_EQ(ward->text(), "");

    ASSERT_TRUE(master->GetAndFill("36"));
    EXPECT_EQ(subresult->State(), ssBrowse);
    EXPECT_EQ(subresult->FullIens(), "4,36,");
    EXPECT_EQ(explanation->text(), "HEMATOCRIT");
    EXPECT_EQ(departmental->State(), ssBrowse);
    EXPECT_EQ(departmental->RecordNumber(), departmentalGrid->RecordNumberAt(1));
    EXPECT_EQ(departmental->GetFieldValue("2"), "36");
    for (FakeOperationButton* button : buttons) {
        const bool atFirstRow = button->Operation() == DoFirst;
        EXPECT_EQ(button->isEnabled(), !atFirstRow) << button->Operation();
    }
}

TEST_F(MasterDetail, ASortedLogicalGridHasTheServerSortDescending) {
    departmentalGrid->SetSorted(true);
    departmentalGrid->SetSortField("3");
    departmentalGrid->SortOrder = soDescending;
    QStringList sortedLines;
    departmentalGrid->OnSort = [&](QObject*, QStringList& lines) { sortedLines = lines; };
    OpenAll();
    const std::size_t mark = CallMark();
    ASSERT_TRUE(master->GetAndFill("22"));
    EXPECT_EQ(CallCount(mark, "VRNX DDU FIELDS"), 0u) << "nothing is sorted here";
    const QStringList ordering = test::GridForm::ColumnTexts(*departmentalGrid, 1);
    ASSERT_EQ(ordering.size(), 6);
    QStringList descending = ordering;
    std::sort(descending.begin(), descending.end(), std::greater<QString>());
    EXPECT_EQ(ordering, descending);
    EXPECT_EQ(sortedLines, departmentalGrid->RowLines());
}

TEST_F(MasterDetail, ALogicalDetailWithoutBrokerSaysSoAndKeepsItsRows) {
    departmental->SetRPCBroker(nullptr);
    Load();
    master->Open();
    ASSERT_TRUE(master->GetAndFill("22"));
    test::ExpectToolsetMessage(
        modal, ui::MessageKind::Error,
        QStringLiteral("vornDepartmental is not associated with a RPC Broker component!"));
    EXPECT_FALSE(departmentalGrid->Fill());
    EXPECT_EQ(departmentalGrid->RowCount(), 2);
}

}  // namespace
}  // namespace vorn
