// The secondary forms end to end, as the program's start-up makes them, opened through the entry
// points the main form calls and driven with keys and clicks against the real vorn-server. A
// person added by name is the tabs test's; a person's first two tabs, the page change test's.
#include "output/internal/print_form.h"
#include "output/internal/sel_dev_form.h"
#include "source/timed_dialog.h"
#include "tests/demo/lab_test_app.h"

namespace vorn {
namespace {

using K = ui::MessageKind;

// The page shown after a click on the tab of `page`.
int ClickTab(QTabWidget* pages, int page) {
    test::Activate(*pages->window());
    QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(page).center());
    return pages->currentIndex();
}

class SecondaryForms : public test::LabTestApp {
  protected:
    void SetUp() override { Start(); }
    // Lab test `ien` on the main form, `f`'s source made its detail as the main form's zooms do,
    // and Zoom on `f`'s record `record`.
    template <typename Form>
    void Zoom(Form& f, const char* ien, TvornSubFileType type, const char* record) {
        ASSERT_TRUE(forms.frmLabTest->vornSource1->GetAndFill(ien));
        f.vornSource1->Close();
        f.vornSource1->SetMasterSource(forms.frmLabTest->vornSource1);
        f.vornSource1->TypeIfSubFile = type;
        f.vornSource1->LinkField = QStringLiteral("2");
        f.Zoom(QString::fromLatin1(record));
    }
    void ZoomLabResult() { Zoom(*forms.frmLabResult, "1", TvornSubFileType::Logical, "57"); }
    void ZoomSubresult() { Zoom(*forms.frmSubresult, "35", TvornSubFileType::Hierarchical, "1"); }
};

TEST_F(SecondaryForms, ThePatientTabAndPrintingWantAStoredPersonWhoseLabTestsPrint) {
    modal.OnForm<TfrmPerson>([](TfrmPerson& f) {
        EXPECT_FALSE(f.LabTests->isEnabled());
        // A new person begun and its only change taken back is no person yet.
        TypeInto(f.xDlgEditName, QStringLiteral("X"));
        QTest::keyClick(f.xDlgEditName, Qt::Key_Backspace);
        ASSERT_EQ(f.vornSource1->State(), ssNew);
        EXPECT_EQ(ClickTab(f.xPageCtrl1, 1), 0);
        ASSERT_TRUE(f.vornSource1->GetAndFill(QStringLiteral("1")));
        EXPECT_TRUE(f.LabTests->isEnabled());
        EXPECT_EQ(ClickTab(f.xPageCtrl1, 1), 1);
        EXPECT_EQ(f.vornLabel1->text(), "VIRTANEN,AINO");
        ClickTab(f.xPageCtrl1, 0);
        Click(f.xbtnClear);
        EXPECT_FALSE(f.LabTests->isEnabled());
        EXPECT_EQ(f.focusWidget(), f.xDlgEditName);
        Click(f.BtnExit);
    });
    Expect(K::Warning, "Choose or add a record first!");
    EXPECT_EQ(forms.frmPerson->Browse(), "");
    // A person zoomed to: its lab tests print to the preview.
    QStringList preview;
    modal.OnForm<TfrmPerson>([](TfrmPerson& f) {
        f.LabTests->trigger();
        Click(f.BtnExit);
    });
    modal.OnForm<TfrmSelDev>([](TfrmSelDev& d) {
        d.rbScreen->click();
        d.btnSulje->click();
    });
    modal.OnForm<TfrmPrint>([&](TfrmPrint& p) {
        preview = p.Lines();
        p.btnExit->click();
    });
    const std::size_t mark = server.Mark();
    forms.frmPerson->Zoom(QStringLiteral("1"));
    const std::vector<test::LoggedCall> calls = server.CallsSince(mark);
    const auto print =
        std::ranges::find(calls, std::string("ZORADOD TUL POTTUTK"), &test::LoggedCall::name);
    ASSERT_NE(print, calls.end());
    EXPECT_EQ(print->Entry("\"POT\""), "1");
    EXPECT_EQ(print->Entry("\"IOP\""), "CLIENT WORKSTATION");
    EXPECT_TRUE(preview.join('\n').contains("LAB RESULTS: VIRTANEN,AINO (CHILDREN'S WARD)"));
}

// No question of the demo names its default button: Enter answers "Save new ...?" with Yes.
TEST_F(SecondaryForms, AUnitWithoutPatientsOffersNoZoomAndEnterAnswersSaveNewWithYes) {
    modal.OnForm<TfrmUnit>([](TfrmUnit& f) {
        EXPECT_EQ(ClickTab(f.xPageCtrl1, 1), 0);
        TypeInto(f.xedtName, QStringLiteral("PAIN CLINIC"));
        TypeInto(f.xedtCode, QStringLiteral("PAIN"));
        f.xrgUnitType->Button(1)->click();
        Click(f.xbtnSaveAs);
        EXPECT_EQ(f.vornSource1->State(), ssBrowse) << "saved";
        ASSERT_EQ(ClickTab(f.xPageCtrl1, 1), 1);
        EXPECT_FALSE(f.btnZoom->isEnabled());
        ClickTab(f.xPageCtrl1, 0);
        ASSERT_TRUE(f.vornSource1->GetAndFill(QStringLiteral("1")));
        ClickTab(f.xPageCtrl1, 1);
        EXPECT_TRUE(f.btnZoom->isEnabled());
        EXPECT_EQ(f.xlblPaasaso2->text(), "MEDICAL WARD 1");
        Click(f.BtnExit);
    });
    Expect(K::Warning, "First select or add a record!");
    modal.OnForm<TTimedDlg>([](TTimedDlg& d) {
        EXPECT_EQ(
            d.RichEdit1->toPlainText().toStdString(),
            test::ShownToolsetText("Save new Demo Ward/Clinic: PAIN CLINIC\r\n").toStdString());
        EXPECT_EQ(d.windowTitle().section(QStringLiteral("  - "), 0, 0), "Confirmation");
        QTest::keyClick(&d, Qt::Key_Return);
        EXPECT_EQ(d.result(), ui::mrYes);
    });
    Expect(K::Information, "Saved new: Demo Ward/Clinic: PAIN CLINIC PAIN\r\n");
    forms.frmUnit->Browse();
}

TEST_F(SecondaryForms, ALabResultOpensWithItsPatientLockedAndASubresultWithItsCodes) {
    modal.OnForm<TfrmLabResult>([](TfrmLabResult& f) {
        EXPECT_FALSE(f.xedtName->isEnabled());
        EXPECT_FALSE(f.xedtName->text().isEmpty());
        EXPECT_EQ(f.xedtResult->text(), "60.2");
        EXPECT_EQ(f.focusWidget(), f.xedtDate);
        // Escape closes as Exit does, once the change is saved or dropped.
        TypeInto(f.xedtResult, QStringLiteral("1"));
        QTest::keyClick(f.xedtResult, Qt::Key_Escape);
        EXPECT_TRUE(f.isVisible());
        QTest::keyClick(f.xedtResult, Qt::Key_Escape);
    });
    for (const int answer : {ui::mrCancel, ui::mrNo})
        Expect(K::Confirmation, "Save  Demo Lab Result: NIEMI,VEIKKO HB SEP 22, 2023?\r\n", answer);
    ZoomLabResult();
    // A subresult shows its codes, and a new one stays on its first tab.
    modal.OnForm<TfrmSubresult>([](TfrmSubresult& f) {
        EXPECT_EQ(f.xlblLabTest->text(), "U-STIX");
        EXPECT_EQ(f.xedtSubresult->text(), "GLUCOSE");
        ASSERT_EQ(ClickTab(f.xPageCtrl1, 1), 1);
        EXPECT_EQ(f.vornGrid1->RowCount(), 5);
        EXPECT_EQ(f.xedtSubResCode->text(), "+");
        Click(f.BtnExit);
    });
    ZoomSubresult();
    modal.OnForm<TfrmSubresult>([](TfrmSubresult& f) {
        EXPECT_EQ(ClickTab(f.xPageCtrl1, 1), 0) << "refused without a word";
        Click(f.BtnExit);
    });
    forms.frmSubresult->InsertSubresult();
}

class FormKeys : public SecondaryForms, public ::testing::WithParamInterface<std::string> {};

// Each page of the form in turn, reached with its tab's accelerator.
TEST_P(FormKeys, AcceleratorsAreUniqueAndReachTheirTargetsAndTabReachesEveryField) {
    const std::string name = GetParam();
    const char* record = name == "person" || name == "unit" ? "1" : nullptr;
    modal.OnModal([record](QDialog& form) {
        if (record) form.findChild<TvornSource*>("vornSource1")->GetAndFill(record);
        auto* pages = form.findChild<QTabWidget*>("xPageCtrl1");
        for (int page = 0; page < (pages ? pages->count() : 1); ++page) {
            test::Activate(form);
            if (page > 0) test::Press(form, QChar(u'1' + page));
            ASSERT_TRUE(!pages || pages->currentIndex() == page);
            test::PressEach(form);
            test::WalkWithTab(form, pages ? *pages->currentWidget() : form);
        }
        form.close();
    });
    if (name == "person") forms.frmPerson->Browse();
    if (name == "unit") forms.frmUnit->Browse();
    if (name == "lab result") ZoomLabResult();
    if (name == "subresult") ZoomSubresult();
}

INSTANTIATE_TEST_SUITE_P(Forms, FormKeys,
                         ::testing::Values("person", "unit", "lab result", "subresult"));

}  // namespace
}  // namespace vorn
