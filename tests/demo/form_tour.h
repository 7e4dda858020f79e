// Every form the program shows, reached on the user's own path with lab test 35 shown, each of its
// pages handed to a look: the screen reader's walk and the high-density check share the tour.
#pragma once

#include <functional>
#include <type_traits>

#include <QTabWidget>

#include "output/help_window.h"
#include "output/internal/pntr_conf_form.h"
#include "output/internal/print_form.h"
#include "output/internal/sel_dev_form.h"
#include "source/timed_dialog.h"
#include "tests/demo/lab_test_app.h"

namespace vorn::test {

// Sees a form (or one page of it) as it is shown; `where` names the page.
using Look = std::function<void(QWidget& shown, const QString& where)>;

struct TourStop {
    const char* name;
    void (*open)(LabTestApp& app, const Look& look);
};

class FormTour : public LabTestApp, public ::testing::WithParamInterface<TourStop> {
  protected:
    // No fault that `check` finds on any form and page of the tour; each is said with its place.
    void ExpectNoFault(QStringList (*check)(QWidget& shown), const std::string& context = {}) {
        QStringList faults;
        Show("35");
        GetParam().open(*this, [&](QWidget& shown, const QString& where) {
            for (const QString& fault : check(shown))
                faults.append(shown.objectName() + u' ' + where + u' ' + fault);
        });
        EXPECT_TRUE(faults.isEmpty()) << context << faults.join(u'\n').toStdString();
    }
};

// Every page of `form`'s page control (the form as it stands when it has none), then the first
// page again; a record shown first when the form has a source, as a detail page opens only on one.
inline void EachPage(QWidget& form, const Look& look, bool showRecord = false) {
    if (auto* source = form.findChild<TvornSource*>(); source && showRecord) {
        EXPECT_TRUE(source->GetAndFill(QStringLiteral("1"))) << form.objectName().toStdString();
    }
    auto* pages = form.findChild<QTabWidget*>();
    for (int page = 0; page < (pages ? pages->count() : 1); ++page) {
        if (pages) pages->setCurrentIndex(page);
        look(form, QStringLiteral("page %1").arg(page + 1));
    }
    if (pages) pages->setCurrentIndex(0);
}

// Looks at the next `Form` shown, then closes it by `close`.
template <typename Form>
void LookAtNext(LabTestApp& t, const Look& look, void (*close)(Form&)) {
    t.modal.OnForm<Form>([look, close](Form& f) {
        look(f, {});
        close(f);
    });
}

// The next `Form` shown, reached by `open` of the main form (a call, or a click on the button)
// on tab `tab` if not 0: each of its pages looked at, a record shown first if `record`; exited.
template <typename Form, auto open, int tab = 0, bool record = false>
void LookThrough(LabTestApp& t, const Look& look) {
    if (tab) t.Page(tab);
    t.modal.OnForm<Form>([look](Form& f) {
        EachPage(f, look, record);
        f.BtnExit->click();
    });
    if constexpr (std::is_member_function_pointer_v<decltype(open)>)
        (t.form->*open)();
    else
        t.Click(t.form->*open);
}

inline const TourStop kTourStops[] = {
    {"MainForm", [](LabTestApp& t, const Look& look) { EachPage(*t.form, look); }},
    {"PickList",
     [](LabTestApp& t, const Look& look) {
         t.TypeInto(t.form->xDlgAbbreviation, QStringLiteral("H"));
         QTest::keyClick(t.form->xDlgAbbreviation, Qt::Key_Return);
         TfrmFind* list = ShownFind();
         ASSERT_NE(list, nullptr);
         look(*list, {});
         QTest::mouseClick(list->btnCancel, Qt::LeftButton);
     }},
    {"PersonForm", LookThrough<TfrmPerson, &TfrmLabTest::OpenPersons, 0, true>},
    {"UnitForm", LookThrough<TfrmUnit, &TfrmLabTest::OpenUnits, 0, true>},
    {"LabResult", LookThrough<TfrmLabResult, &TfrmLabTest::btnZoom1, 4>},
    {"Subresult", LookThrough<TfrmSubresult, &TfrmLabTest::btnZoom2, 5>},
    // The message dialog that says why a tab stays.
    {"MessageDialog",
     [](LabTestApp& t, const Look& look) {
         LookAtNext<TTimedDlg>(t, look, [](TTimedDlg& d) { d.done(ui::mrOk); });
         t.form->vornSource1->Clear();
         t.Page(2);  // "Choose or save a record first!"
     }},
    {"DeviceDialogAndPrintPreview",
     [](LabTestApp& t, const Look& look) {
         LookAtNext<TfrmSelDev>(t, look, [](TfrmSelDev& d) {
             d.rbScreen->click();
             d.btnSulje->click();
         });
         LookAtNext<TfrmPrint>(t, look, [](TfrmPrint& p) { p.btnExit->click(); });
         t.form->ChosenLabTest->trigger();
     }},
    {"HelpWindow",
     [](LabTestApp& t, const Look& look) {
         t.form->HelpLabTest->trigger();
         ASSERT_NE(HelpWindow(), nullptr);
         look(*HelpWindow(), {});
         HelpWindow()->close();
     }},
    {"RelatedRecords",
     [](LabTestApp& t, const Look& look) {
         t.Page(2);
         t.Expect(ui::MessageKind::Confirmation,
                  "U-STIX Urine dipstick test has related records in Demo Departmental Lab Test."
                  "\r\nMove all related records of Demo Departmental Lab Test to another Demo Lab "
                  "Test?",
                  ui::mrYes);
         LookAtNext<TPntrConfFrm>(t, look, [](TPntrConfFrm& c) { c.CancelBtn->click(); });
         t.Click(t.form->btnMoveAll);
     }},
    {"SignOn",
     [](LabTestApp&, const Look& look) {
         TfrmSignon signon;
         signon.show();
         look(signon, {});
     }},
};

inline std::string TourStopName(const ::testing::TestParamInfo<TourStop>& info) {
    return info.param.name;
}

}  // namespace vorn::test
