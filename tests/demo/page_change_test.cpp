// Changing tabs as a user does (a click on the tab, its Alt accelerator, Ctrl+Tab): the page
// left is asked about while it is still the one shown, and a refusal leaves it shown.
#include <QTabBar>

#include "tests/demo/lab_test_app.h"

namespace vorn {
namespace {

using K = ui::MessageKind;

enum class Route { Click, Accelerator, ControlTab };

std::string RouteName(const ::testing::TestParamInfo<Route>& info) {
    const char* names[] = {"Click", "Accelerator", "ControlTab"};
    return names[static_cast<int>(info.param)];
}

// Goes from the page shown to the next one (index `next`) by `route`.
void GoToNextPage(QTabWidget& pages, int next, Route route) {
    test::Activate(*pages.window());
    QWidget* focus = QApplication::focusWidget();
    if (!focus) focus = pages.window();
    switch (route) {
        case Route::Click:
            QTest::mouseClick(pages.tabBar(), Qt::LeftButton, {},
                              pages.tabBar()->tabRect(next).center());
            break;
        case Route::Accelerator:
            test::Press(*pages.window(), QChar(u'1' + next));
            break;
        case Route::ControlTab:
            QTest::keyClick(focus, Qt::Key_Tab, Qt::ControlModifier);
            break;
    }
}

// The question a page's rule asks, answered `answer`, while page `shown` is the one shown.
void ExpectAskedOver(test::ScriptedModalHost& modal, QTabWidget& pages, int shown, K kind,
                     const QString& text, int answer) {
    test::ExpectToolsetMessage(modal, kind, text, answer, [&pages, shown] {
        EXPECT_EQ(pages.currentIndex(), shown);
        EXPECT_TRUE(pages.widget(shown)->isVisible()) << "the page asked about is shown";
    });
}

class PageChange : public test::LabTestApp, public ::testing::WithParamInterface<Route> {};

// Once, the page the user went to showed already when the question about the one left came,
// and was taken back after it.
TEST_P(PageChange, AChangedResultCodeIsAskedAboutOverItsOwnTab) {
    Show("33");
    Page(3);
    TypeInto(form->xedtResCode, QStringLiteral("NEW"));
    ASSERT_EQ(form->vornSource3->State(), ssEdit);
    const QString question = QStringLiteral("Save  Result code: NEG?\r\n");
    ExpectAskedOver(modal, *form->xPageCtrl1, 2, K::Confirmation, question, ui::mrCancel);
    GoToNextPage(*form->xPageCtrl1, 3, GetParam());
    EXPECT_EQ(form->xPageCtrl1->currentIndex(), 2);
    EXPECT_EQ(form->xedtResCode->text(), "NEW") << "Cancel keeps the edit";

    ExpectAskedOver(modal, *form->xPageCtrl1, 2, K::Confirmation, question, ui::mrNo);
    GoToNextPage(*form->xPageCtrl1, 3, GetParam());
    EXPECT_EQ(form->xPageCtrl1->currentIndex(), 3);
    EXPECT_EQ(form->vornSource3->State(), ssBrowse) << "No drops the edit";
    EXPECT_TRUE(form->vornSource4->Active()) << "the tab entered opened its source";
}

// A new record is no saved record: the first tab stays as it does without one.
TEST_P(PageChange, TheFirstTabWithoutASavedRecordWarnsWhileItIsShown) {
    Start();
    FetchCaptions();
    for (const bool inserted : {false, true}) {
        SCOPED_TRACE(inserted ? "a new record" : "no record");
        if (inserted) form->vornSource1->Insert();
        ExpectAskedOver(modal, *form->xPageCtrl1, 0, K::Warning,
                        QStringLiteral("Choose or save a record first!"), ui::mrOk);
        GoToNextPage(*form->xPageCtrl1, 1, GetParam());
        EXPECT_EQ(form->xPageCtrl1->currentIndex(), 0);
        EXPECT_FALSE(form->vornSource2->Active()) << "the tab refused was never entered";
    }
}

TEST_P(PageChange, APersonsFirstTabWithoutARecordWarnsWhileItIsShown) {
    Start();
    FetchCaptions();
    modal.OnForm<TfrmPerson>([this](TfrmPerson& f) {
        ExpectAskedOver(modal, *f.xPageCtrl1, 0, K::Warning,
                        QStringLiteral("Choose or add a record first!"), ui::mrOk);
        GoToNextPage(*f.xPageCtrl1, 1, GetParam());
        EXPECT_EQ(f.xPageCtrl1->currentIndex(), 0);
        ASSERT_TRUE(f.vornSource1->GetAndFill(QStringLiteral("1")));
        GoToNextPage(*f.xPageCtrl1, 1, GetParam());
        EXPECT_EQ(f.xPageCtrl1->currentIndex(), 1);
        EXPECT_EQ(f.xDlgEditWard->text(), "CHILDREN'S WARD");
        f.BtnExit->click();
    });
    form->Persons->trigger();
}

INSTANTIATE_TEST_SUITE_P(Routes, PageChange,
                         ::testing::Values(Route::Click, Route::Accelerator, Route::ControlTab),
                         RouteName);

}  // namespace
}  // namespace vorn
