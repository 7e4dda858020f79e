// Tab 5's subresults and the subresult form that Zoom and Insert open: what the form deletes or
// adds is what the tab's grid lists once the form has closed, and the grid highlights only the
// row of the record its source shows.
#include <QItemSelectionModel>

#include "tests/demo/lab_test_app.h"

namespace vorn {
namespace {

using K = ui::MessageKind;
using SubresultRows = test::LabTestApp;

// Once, the deleted subresult stayed on the form with Delete enabled, and a second Delete
// asked "Delete Subresult: ?" and failed. A subresult inserted after it is listed and
// highlighted right, and leaving the tab and coming back keeps what the form filed.
TEST_F(SubresultRows, ASubresultDeletedThroughZoomGoesAndOneInsertedAfterIsListedRight) {
    // The grid lists each of `listed` and none of `gone`, and highlights the row of the record
    // its source shows (with none shown, no row).
    const auto expectRows = [this](const QStringList& listed, const QStringList& gone) {
        TvornGrid* grid = form->xgrdHieOpen;
        const QString rows = grid->RowLines().join(u'|');
        for (const QString& name : listed + gone)
            EXPECT_EQ(rows.contains(name), listed.contains(name))
                << name.toStdString() << " in " << rows.toStdString();
        const QModelIndexList selected = grid->selectionModel()->selectedRows();
        if (form->vornSource5->State() != ssBrowse) {
            EXPECT_TRUE(selected.isEmpty()) << "a row highlighted for no record";
            return;
        }
        ASSERT_EQ(selected.size(), 1);
        const int row = selected.first().row() + 1;
        EXPECT_EQ(grid->RecordNumberAt(row), form->vornSource5->Address().Number());
        EXPECT_EQ(grid->Cell(0, row), form->vornSource5->GetFieldText(QStringLiteral(".01")));
    };
    Show("35");  // lab test U-STIX, its first subresult GLUCOSE
    Page(5);
    ASSERT_EQ(form->xgrdHieOpen->Cell(0, 1), "GLUCOSE");
    // Zoom on GLUCOSE, and Delete on the subresult form, answered Yes.
    modal.OnForm<TfrmSubresult>([](TfrmSubresult& f) {
        ASSERT_EQ(f.xedtSubresult->text(), "GLUCOSE");
        ASSERT_TRUE(f.xbtnDelete->isEnabled());
        test::Activate(f);
        QTest::mouseClick(f.xbtnDelete, Qt::LeftButton);
        EXPECT_EQ(f.xedtSubresult->text(), "");
        EXPECT_EQ(f.vornSource1->State(), ssEmpty);
        EXPECT_FALSE(f.xbtnDelete->isEnabled());
        EXPECT_FALSE(f.xbtnSave->isEnabled());
        f.BtnExit->click();
    });
    Expect(K::Confirmation, "Delete Subresult: GLUCOSE?\r\n", ui::mrYes);
    Expect(K::Information, "Deleted: Subresult: GLUCOSE\r\n");
    Click(form->btnZoom2);
    expectRows({}, {"GLUCOSE"});
    EXPECT_EQ(Stored("80001.02", "1,35", ".01"), "");
    InsertKetones();
    expectRows({"KETONES"}, {"GLUCOSE"});
    EXPECT_TRUE(form->btnZoom2->isEnabled());
    for (int tab : {1, 4, 5})
        Page(tab);
    ASSERT_EQ(form->xPageCtrl1->currentIndex(), 4);
    expectRows({"KETONES"}, {"GLUCOSE"});
    // Another lab test and back: the grid is read for each.
    Page(1);
    ASSERT_TRUE(form->vornSource1->GetAndFill("36"));
    ASSERT_TRUE(form->vornSource1->GetAndFill("35"));
    Page(5);
    expectRows({"KETONES"}, {});
}

}  // namespace
}  // namespace vorn
