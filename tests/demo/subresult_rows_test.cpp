// Tab 5's subresults and the subresult form that Zoom and Insert open: what the form deletes or
// adds is what the tab's grid lists once the form has closed, and the grid highlights only the
// row of the record its source shows.
#include <QItemSelectionModel>

#include "tests/demo/lab_test_app.h"

namespace vorn {
namespace {

using K = ui::MessageKind;

class SubresultRows : public test::LabTestApp {
  protected:
    // Lab test U-STIX on tab 5, its first subresult GLUCOSE shown.
    void ShowSubresults() {
        Show("35");
        Page(5);
        ASSERT_EQ(form->xgrdHieOpen->Cell(0, 1), "GLUCOSE");
    }
    // Zoom on GLUCOSE, and Delete on the subresult form, answered Yes.
    void DeleteGlucoseThroughZoom(const std::function<void(TfrmSubresult&)>& afterDelete = {}) {
        modal.OnForm<TfrmSubresult>([afterDelete](TfrmSubresult& f) {
            ASSERT_EQ(f.xedtSubresult->text(), "GLUCOSE");
            ASSERT_TRUE(f.xbtnDelete->isEnabled());
            test::Activate(f);
            QTest::mouseClick(f.xbtnDelete, Qt::LeftButton);
            if (afterDelete) afterDelete(f);
            f.BtnExit->click();
        });
        test::ExpectToolsetMessage(modal, K::Confirmation, "Delete Subresult: GLUCOSE?\r\n",
                                   ui::mrYes);
        test::ExpectToolsetMessage(modal, K::Information, "Deleted: Subresult: GLUCOSE\r\n");
        Click(form->btnZoom2);
    }
    QString Listed() const { return form->xgrdHieOpen->RowLines().join(u'|'); }
    // The highlighted row is the record the source shows; with none shown, no row is.
    void ExpectHighlightFollowsSource() {
        TvornGrid* grid = form->xgrdHieOpen;
        const QModelIndexList selected = grid->selectionModel()->selectedRows();
        if (form->vornSource5->State() != ssBrowse) {
            EXPECT_TRUE(selected.isEmpty()) << "a row highlighted for no record";
            return;
        }
        ASSERT_EQ(selected.size(), 1);
        EXPECT_EQ(grid->RecordNumberAt(selected.first().row() + 1),
                  form->vornSource5->Address().Number());
        EXPECT_EQ(grid->Cell(0, selected.first().row() + 1),
                  form->vornSource5->GetFieldText(QStringLiteral(".01")));
    }
};

// Once, the deleted subresult stayed on the form with Delete enabled, and a second Delete
// asked "Delete Subresult: ?" and failed.
TEST_F(SubresultRows, ASubresultDeletedThroughZoomLeavesTheFormEmptyAndDeleteDisabled) {
    ShowSubresults();
    DeleteGlucoseThroughZoom([](TfrmSubresult& f) {
        EXPECT_EQ(f.xedtSubresult->text(), "");
        EXPECT_EQ(f.vornSource1->State(), ssEmpty);
        EXPECT_FALSE(f.xbtnDelete->isEnabled());
        EXPECT_FALSE(f.xbtnSave->isEnabled());
    });
    EXPECT_FALSE(Listed().contains("GLUCOSE"));
    ExpectHighlightFollowsSource();
    EXPECT_EQ(Stored("80001.02", "1,35", ".01"), "");
}

// A subresult inserted after a zoomed deletion is listed and highlighted right, and leaving the
// tab and coming back keeps what the form filed.
TEST_F(SubresultRows, ASubresultInsertedAfterAZoomedDeletionIsListedAndHighlightedRight) {
    ShowSubresults();
    DeleteGlucoseThroughZoom();
    InsertKetones();
    EXPECT_TRUE(Listed().contains("KETONES"));
    EXPECT_FALSE(Listed().contains("GLUCOSE"));
    ExpectHighlightFollowsSource();
    EXPECT_TRUE(form->btnZoom2->isEnabled());
    for (int tab : {1, 4, 5})
        Page(tab);
    ASSERT_EQ(form->xPageCtrl1->currentIndex(), 4);
    EXPECT_TRUE(Listed().contains("KETONES"));
    EXPECT_FALSE(Listed().contains("GLUCOSE"));
    ExpectHighlightFollowsSource();
    // Another lab test and back: the grid is read for each.
    Page(1);
    ASSERT_TRUE(form->vornSource1->GetAndFill("36"));
    ASSERT_TRUE(form->vornSource1->GetAndFill("35"));
    Page(5);
    EXPECT_TRUE(Listed().contains("KETONES"));
    ExpectHighlightFollowsSource();
}

}  // namespace
}  // namespace vorn
