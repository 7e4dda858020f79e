// A lab-test form of the edit-integrity tests, made in code from the real controls, for one
// user's broker: the lab test (80001) with edits, a check box, a combo box, a radio group and a
// pointer to its person in charge; its subresults (the hierarchical sub-file 80001.02) and its
// departmental lab tests (80006, a logical detail pointing to it); the operation buttons; and,
// when asked, a grid of lab tests that the master follows, and the lookups: the abbreviation as
// a find field, a memo, a list box of the subresult's type, a lookup combo box of the
// departmental ward, and Escape closing the form through its close event.
#pragma once

#include <QCloseEvent>
#include <QShortcut>
#include <functional>

#include "controls/dialog_edit.h"
#include "controls/vorn_btn.h"
#include "controls/vorn_check_box.h"
#include "controls/vorn_combo_box.h"
#include "controls/vorn_combo_box_lookup.h"
#include "controls/vorn_edit.h"
#include "controls/vorn_list_box.h"
#include "controls/vorn_memo.h"
#include "controls/vorn_radio_group.h"
#include "lookup/bound_grid.h"
#include "lookup/vorn_finder.h"
#include "tests/controls/control_form.h"
#include "tests/support/departmental_detail.h"
#include "tests/support/fake_timers.h"
#include "toolkit/event_guard.h"

namespace vorn::test {

// The lock timer of `source`: the tests fire its minutes.
inline FakeTimer& LockTimer(TvornSource& source) {
    return static_cast<FakeTimer&>(SourceCore::Of(source).Owners().locker.Timer());
}

class LabTestEditForm {
  public:
    explicit LabTestEditForm(TRPCBroker& broker, bool withGrid = false, bool withLookups = false) {
        form.resize(760, 620);
        labTest = NewSource(form, "vornLabTest", "Demo Lab Test", "80001", broker);
        labTest->HistorySize = 4;
        if (withLookups) {
            labTests = new TvornFinder(&form);
            labTests->FileNumber = "80001";
            labTests->SetRPCBroker(&broker);
            findEdit = Bound<TvornDialogEdit>(labTest, ".01", "Abbreviation");
            findEdit->SetFMRequired(true);
            findEdit->FMIsPointerField = false;
            findEdit->FMIsFindField = true;
            findEdit->SetvornFinderForFind(labTests);
        } else {
            abbreviation = Edit(labTest, ".01", "Abbreviation", true);
        }
        name = Edit(labTest, "2", "Full name", true);
        length = Edit(labTest, "6", "Length of result field");
        inUse = Bound<TvornCheckBox>(labTest, "3", "Currently in use", QStringLiteral("In use"));
        taker =
            Bound<TvornRadioGroup>(labTest, "5", "Who takes the specimen", QStringLiteral("Taker"),
                                   QStringList{"Laboratory", "Ward", "External"}, 3);
        taker->SetValues({"1", "2", "3"});
        taker->resize(300, 50);
        format = Bound<TvornComboBox>(labTest, "8", "Result format");
        format->addItems({"Free", "Numerical", "Plus or minus", "Codes", "Memo", "Built"});
        format->SetValues({"1", "2", "3", "4", "5", "6"});
        persons = new TvornFinder(&form);
        persons->FileNumber = "80000";
        persons->SetRPCBroker(&broker);
        person = Bound<TvornDialogEdit>(labTest, "7", "Person in charge");
        person->SetvornFinderForPointer(persons);
        person->ExecIfOneMatch = false;
        for (TvornBtnOperation op : {DoFirst, DoPrior, DoNext, DoLast, DoSave, DoSaveAs, DoClear,
                                     DoInsert, DoCancel, DoDelete})
            buttons[op] = Button(labTest, op);
        if (withGrid) {
            grid = new TvornGrid(&form);
            grid->setObjectName("grdLabTest");
            grid->SetvornSource(labTest);
            grid->SetFields({".01,Abbreviation,120", "2,Full name,250"});
            grid->setGeometry(400, 10, 350, 240);
        }

        subresult = NewSource(form, "vornSubresult", "Subresult", "80001.02", broker);
        subresult->TypeIfSubFile = TvornSubFileType::Hierarchical;
        subresult->SetMasterSource(labTest);
        explanation = Edit(subresult, ".01", "Explanation", true);
        subresultSave = Button(subresult, DoSave);
        subresultNext = Button(subresult, DoNext);

        departmental =
            NewSource(form, "vornDepartmental", "Departmental lab test", "80006", broker);
        MakeDepartmentalDetail(*departmental, *labTest);
        ordering = Bound<TvornRadioGroup>(departmental, "3", "Ordering allowed",
                                          QStringLiteral("Ordering"),
                                          QStringList{"Always", "Office hours", "Emergency"}, 3);
        ordering->SetValues({"1", "2", "3"});
        ordering->resize(300, 50);
        departmentalSave = Button(departmental, DoSave);
        if (withLookups) AddLookups(broker);
    }

    // Loads the components, opens the master and then its details, and shows the form active.
    void Open() {
        ui::LoadComponents(form);
        OpenSources();
        form.show();
        Activate();
    }
    void OpenSources() {
        for (TvornSource* s : {labTest, subresult, departmental})
            s->Open();
    }
    // As the demo's forms ask before they close: the details first, then the master.
    bool MayClose() {
        for (TvornSource* s : {departmental, subresult, labTest})
            if (!s->CheckSaveChanges()) return false;
        return true;
    }
    void CloseSources() {
        for (TvornSource* s : {labTest, subresult, departmental})
            s->Close();
    }
    // The form active again (after a message, or after another user's form was).
    void Activate() {
        QApplication::setActiveWindow(&form);
        (void)QTest::qWaitForWindowActive(&form);
    }

    TvornBtn* Btn(TvornBtnOperation op) const { return buttons[op]; }

    QWidget form;
    TvornSource* labTest;
    TvornEdit* abbreviation = nullptr;
    TvornEdit* name;
    TvornEdit* length;
    TvornCheckBox* inUse;
    TvornRadioGroup* taker;
    TvornComboBox* format;
    TvornFinder* persons;
    TvornDialogEdit* person;
    TvornBtn* buttons[10] = {};
    TvornGrid* grid = nullptr;
    TvornSource* subresult;
    TvornEdit* explanation;
    TvornBtn* subresultSave;
    TvornBtn* subresultNext;
    TvornSource* departmental;
    TvornRadioGroup* ordering;
    TvornBtn* departmentalSave;
    // The lookups, when asked for.
    TvornFinder* labTests = nullptr;
    TvornDialogEdit* findEdit = nullptr;
    TvornMemo* description = nullptr;
    TvornListBox* subresultType = nullptr;
    TvornFinder* wards = nullptr;
    TvornComboBoxLookUp* ward = nullptr;
    // Set when the close event let the form close; `onClose` hears each close event's end.
    bool closed = false;
    std::function<void(bool closed)> onClose;

  private:
    void AddLookups(TRPCBroker& broker) {
        description = Bound<TvornMemo>(labTest, "100", "Description");
        description->setTabChangesFocus(true);
        description->resize(300, 50);
        subresultType = Bound<TvornListBox>(subresult, "2", "Type");
        subresultType->addItems({"FREE TEXT OR NUMBER", "SET OF CODES", "BOGUS"});
        subresultType->resize(200, 60);
        wards = new TvornFinder(&form);
        wards->FileNumber = "80002";
        wards->Number = "5";
        wards->SetRPCBroker(&broker);
        ward = Bound<TvornComboBoxLookUp>(departmental, ".01", "Ward/clinic");
        ward->SetvornFinder(wards);
        ward->resize(200, 24);
        // Escape closes the form; its close event asks the details, then the master, as the
        // demo's forms do, and stays open on Cancel.
        auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), &form);
        QObject::connect(escape, &QShortcut::activated, &form, [this] { form.close(); });
        closer_.form = this;
        form.installEventFilter(&closer_);
    }
    struct Closer : QObject {
        LabTestEditForm* form = nullptr;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() != QEvent::Close) return false;
            // As the demo's close event: the questions may reach the server, and no exception
            // may leave through Qt's event dispatch; one the guard caught keeps the form open.
            bool mayClose = false;
            ui::Guarded([&] { mayClose = form->MayClose(); }, &form->form);
            if (form->onClose) form->onClose(mayClose);
            if (mayClose) {
                form->CloseSources();
                form->closed = true;
            }
            // The window itself stays, to open its sources again at once.
            event->ignore();
            return true;
        }
    };

    template <typename Control, typename... Args>
    Control* Bound(TvornSource* source, const char* field, const char* displayName,
                   Args&&... args) {
        auto* control =
            Bind<Control>(form, source, field, displayName, std::forward<Args>(args)...);
        control->move(10, 10 + 28 * placed_++);
        return control;
    }
    TvornEdit* Edit(TvornSource* source, const char* field, const char* displayName,
                    bool required = false) {
        auto* edit = Bound<TvornEdit>(source, field, displayName);
        edit->SetFMRequired(required);
        return edit;
    }
    TvornBtn* Button(TvornSource* source, TvornBtnOperation op) {
        auto* button = new TvornBtn(&form);
        button->SetOperation(op);
        button->SetvornSource(source);
        button->move(400 + 90 * (buttonsPlaced_ % 4), 260 + 30 * (buttonsPlaced_ / 4));
        ++buttonsPlaced_;
        return button;
    }

    Closer closer_;
    int placed_ = 0;
    int buttonsPlaced_ = 0;
};

}  // namespace vorn::test
