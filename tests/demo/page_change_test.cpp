// Changing tabs as a user does (a click on the tab, its Alt accelerator, Ctrl+Tab): the page
// left is asked about while it is still the one shown, and a refusal leaves it shown.
#include <QTabBar>

#include "tests/demo/lab_test_app.h"

namespace vorn {
namespace {

using K = ui::MessageKind;

enum class Route { Click, Accelerator, ControlTab };
const char* const kRouteNames[] = {"Click", "Accelerator", "ControlTab"};

// Goes from the page shown to the next one (index `next`) by `route`.
void GoToNextPage(QTabWidget& pages, int next, Route route) {
    test::Activate(*pages.window());
    QWidget* focus = QApplication::focusWidget();
    if (route == Route::Click)
        QTest::mouseClick(pages.tabBar(), Qt::LeftButton, {},
                          pages.tabBar()->tabRect(next).center());
    else if (route == Route::Accelerator)
        test::Press(*pages.window(), QChar(u'1' + next));
    else
        QTest::keyClick(focus ? focus : pages.window(), Qt::Key_Tab, Qt::ControlModifier);
}

class PageChange : public test::LabTestApp, public ::testing::WithParamInterface<Route> {
  protected:
    // Goes on from page `shown`: the question its rule asks comes while `shown` is still the
    // page shown, and is answered `answer`.
    void LeaveAsked(QTabWidget& pages, int shown, K kind, const QString& text, int answer) {
        test::ExpectToolsetMessage(modal, kind, text, answer, [&pages, shown] {
            EXPECT_EQ(pages.currentIndex(), shown);
            EXPECT_TRUE(pages.widget(shown)->isVisible()) << "the page asked about is shown";
        });
        GoToNextPage(pages, shown + 1, GetParam());
    }
};

// Once, the page the user went to showed already when the question about the one left came,
// and was taken back after it.
TEST_P(PageChange, AChangedResultCodeIsAskedAboutOverItsOwnTab) {
    Show("33");
    Page(3);
    TypeInto(form->xedtResCode, QStringLiteral("NEW"));
    ASSERT_EQ(form->vornSource3->State(), ssEdit);
    LeaveAsked(*form->xPageCtrl1, 2, K::Confirmation, "Save  Result code: NEG?\r\n", ui::mrCancel);
    EXPECT_EQ(form->xPageCtrl1->currentIndex(), 2);
    EXPECT_EQ(form->xedtResCode->text(), "NEW") << "Cancel keeps the edit";
    LeaveAsked(*form->xPageCtrl1, 2, K::Confirmation, "Save  Result code: NEG?\r\n", ui::mrNo);
    EXPECT_EQ(form->xPageCtrl1->currentIndex(), 3);
    EXPECT_EQ(form->vornSource3->State(), ssBrowse) << "No drops the edit";
    EXPECT_TRUE(form->vornSource4->Active()) << "the tab entered opened its source";
}

// A new record is no saved record: the first tab stays as it does without one, and a person's
// first tab stays until a person is shown.
TEST_P(PageChange, TheFirstTabWithoutASavedRecordWarnsWhileItIsShown) {
    Start();
    FetchCaptions();
    modal.OnForm<TfrmPerson>([this](TfrmPerson& f) {
        LeaveAsked(*f.xPageCtrl1, 0, K::Warning, "Choose or add a record first!", ui::mrOk);
        EXPECT_EQ(f.xPageCtrl1->currentIndex(), 0);
        ASSERT_TRUE(f.vornSource1->GetAndFill(QStringLiteral("1")));
        GoToNextPage(*f.xPageCtrl1, 1, GetParam());
        EXPECT_EQ(f.xPageCtrl1->currentIndex(), 1);
        EXPECT_EQ(f.xDlgEditWard->text(), "CHILDREN'S WARD");
        f.BtnExit->click();
    });
    form->Persons->trigger();
    for (const bool inserted : {false, true}) {
        SCOPED_TRACE(inserted ? "a new record" : "no record");
        if (inserted) form->vornSource1->Insert();
        LeaveAsked(*form->xPageCtrl1, 0, K::Warning, "Choose or save a record first!", ui::mrOk);
        EXPECT_EQ(form->xPageCtrl1->currentIndex(), 0);
        EXPECT_FALSE(form->vornSource2->Active()) << "the tab refused was never entered";
    }
}

INSTANTIATE_TEST_SUITE_P(Routes, PageChange,
                         ::testing::Values(Route::Click, Route::Accelerator, Route::ControlTab),
                         [](const auto& info) {
                             return std::string(kRouteNames[static_cast<int>(info.param)]);
                         });

}  // namespace
}  // namespace vorn
