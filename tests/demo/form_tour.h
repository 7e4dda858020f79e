// Every form the program shows, reached on the user's own path to it with lab test 35 shown,
// each of its pages handed to a look: the screen reader's walk and the high-density check go
// through the same forms.
#pragma once

#include <functional>

#include <QTabWidget>

#include "output/help_window.h"
#include "output/internal/pntr_conf_form.h"
#include "output/internal/print_form.h"
#include "output/internal/sel_dev_form.h"
#include "signon/internal/signon_form.h"
#include "source/message_text.h"
#include "source/server_queries.h"
#include "source/timed_dialog.h"
#include "tests/demo/lab_test_app.h"

namespace vorn::test {

// Sees a form (or one page of it) as it is shown; `where` names the page.
using Look = std::function<void(QWidget& shown, const QString& where)>;

class FormTour;

struct TourStop {
    const char* name;
    void (*open)(FormTour& tour, const Look& look);
};

class FormTour : public LabTestApp, public ::testing::WithParamInterface<TourStop> {
  public:
    using LabTestApp::Click;
    using LabTestApp::form;
    using LabTestApp::modal;
    using LabTestApp::Page;
    using LabTestApp::TypeInto;

  protected:
    void Visit(const Look& look) {
        Show("35");
        GetParam().open(*this, look);
    }
    // What `check` finds wrong on every form and page of the tour, each line naming its place.
    QStringList Faults(const std::function<QStringList(QWidget& shown)>& check) {
        QStringList faults;
        Visit([&](QWidget& shown, const QString& where) {
            for (const QString& fault : check(shown))
                faults.append(shown.objectName() + u' ' + where + u' ' + fault);
        });
        return faults;
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

inline const TourStop kTourStops[] = {
    {"MainForm",
     [](FormTour& t, const Look& look) {
         for (int tab = 1; tab <= 5; ++tab) {
             t.Page(tab);
             look(*t.form, QStringLiteral("tab %1").arg(tab));
         }
     }},
    {"PickList",
     [](FormTour& t, const Look& look) {
         t.TypeInto(t.form->xDlgAbbreviation, QStringLiteral("H"));
         QTest::keyClick(t.form->xDlgAbbreviation, Qt::Key_Return);
         TfrmFind* list = ShownFind();
         ASSERT_NE(list, nullptr);
         look(*list, {});
         QTest::mouseClick(list->btnCancel, Qt::LeftButton);
     }},
    {"PersonForm",
     [](FormTour& t, const Look& look) {
         t.modal.OnForm<TfrmPerson>([look](TfrmPerson& f) {
             EachPage(f, look, true);
             f.BtnExit->click();
         });
         t.form->OpenPersons();
     }},
    {"UnitForm",
     [](FormTour& t, const Look& look) {
         t.modal.OnForm<TfrmUnit>([look](TfrmUnit& f) {
             EachPage(f, look, true);
             f.BtnExit->click();
         });
         t.form->OpenUnits();
     }},
    {"LabResult",
     [](FormTour& t, const Look& look) {
         t.Page(4);
         t.modal.OnForm<TfrmLabResult>([look](TfrmLabResult& f) {
             look(f, {});
             f.BtnExit->click();
         });
         t.Click(t.form->btnZoom1);
     }},
    {"Subresult",
     [](FormTour& t, const Look& look) {
         t.Page(5);
         t.modal.OnForm<TfrmSubresult>([look](TfrmSubresult& f) {
             EachPage(f, look);
             f.BtnExit->click();
         });
         t.Click(t.form->btnZoom2);
     }},
    // The message dialog that says why a tab stays.
    {"MessageDialog",
     [](FormTour& t, const Look& look) {
         t.modal.OnForm<TTimedDlg>([look](TTimedDlg& d) {
             look(d, {});
             d.done(ui::mrOk);
         });
         t.form->vornSource1->Clear();
         t.Page(2);  // "Choose or save a record first!"
     }},
    {"DeviceDialogAndPrintPreview",
     [](FormTour& t, const Look& look) {
         t.modal.OnForm<TfrmSelDev>([look](TfrmSelDev& d) {
             look(d, {});
             d.rbScreen->click();
             d.btnSulje->click();
         });
         t.modal.OnForm<TfrmPrint>([look](TfrmPrint& p) {
             look(p, {});
             p.btnExit->click();
         });
         t.form->ChosenLabTest->trigger();
     }},
    {"HelpWindow",
     [](FormTour& t, const Look& look) {
         t.form->HelpLabTest->trigger();
         ASSERT_NE(HelpWindow(), nullptr);
         look(*HelpWindow(), {});
         HelpWindow()->close();
     }},
    {"RelatedRecords",
     [](FormTour& t, const Look& look) {
         TfrmLabTest& f = *t.form;
         t.Page(2);
         TRPCBroker* broker = f.vornSource1->RPCBroker();
         const QString wards = f.vornSource2->FileName;
         const QString name = GetRecordIdentifiers("80001", "35", broker);
         ExpectToolsetMessage(t.modal, ui::MessageKind::Confirmation,
                              GetDialogText(119, name + '^' + wards, broker) + "\r\n" +
                                  GetDialogText(124, wards + '^' + f.vornSource1->FileName, broker),
                              ui::mrYes);
         t.modal.OnForm<TPntrConfFrm>([look](TPntrConfFrm& c) {
             look(c, {});
             c.CancelBtn->click();
         });
         t.Click(f.btnMoveAll);
     }},
    {"SignOn",
     [](FormTour&, const Look& look) {
         TfrmSignon signon;
         signon.show();
         look(signon, {});
     }},
};

inline std::string TourStopName(const ::testing::TestParamInfo<TourStop>& info) {
    return info.param.name;
}

}  // namespace vorn::test
