// A lab-test form of the edit-integrity tests, made in code from the real controls, for one
// user's broker: the lab test (80001) with edits, a check box, a combo box, a radio group and a
// pointer to its person in charge; its subresults (hierarchical sub-file 80001.02) and
// departmental lab tests (80006, a logical detail); the operation buttons; and, when asked, a
// grid the master follows, and the lookups: the abbreviation as a find field, a memo, a list box
// of the subresult's type, a lookup combo box of the ward, and Escape through the close event.
#pragma once

#include <QCloseEvent>
#include <QListWidget>
#include <QShortcut>
#include <array>
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
    return static_cast<FakeTimer&>(Owners(source).locker.Timer());
}
// Focuses `widget` as Tab would, and presses `keys` on it.
template <typename... Keys>
inline void Press(QWidget* widget, Keys... keys) {
    Focus(widget);
    (QTest::keyClick(widget, keys), ...);
}
// Focuses `box` and clicks its item `row`.
inline void ClickItem(QListWidget* box, int row) {
    Focus(box);
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {},
                      box->visualItemRect(box->item(row)).center());
}

class LabTestEditForm {
  public:
    explicit LabTestEditForm(TRPCBroker& broker, bool withGrid = false, bool withLookups = false) {
        form.resize(760, 620);
        labTest = NewSource(form, "vornLabTest", "Demo Lab Test", "80001", broker);
        labTest->HistorySize = 4;
        if (withLookups) {
            labTests = NewFinder(form, "80001", &broker);
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
        taker = Group(labTest, "5", "Who takes the specimen", "Taker",
                      {"Laboratory", "Ward", "External"});
        format = Bound<TvornComboBox>(labTest, "8", "Result format");
        format->addItems({"Free", "Numerical", "Plus or minus", "Codes", "Memo", "Built"});
        format->SetValues({"1", "2", "3", "4", "5", "6"});
        persons = NewFinder(form, "80000", &broker);
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
        ordering = Group(departmental, "3", "Ordering allowed", "Ordering",
                         {"Always", "Office hours", "Emergency"});
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
    // The master first, then its details.
    std::array<TvornSource*, 3> Sources() const { return {labTest, subresult, departmental}; }
    void OpenSources() {
        for (TvornSource* s : Sources())
            s->Open();
    }
    // As the demo's forms ask before they close: the details first, then the master.
    bool MayClose() {
        for (TvornSource* s : {departmental, subresult, labTest})
            if (!s->CheckSaveChanges()) return false;
        return true;
    }
    void CloseSources() {
        for (TvornSource* s : Sources())
            s->Close();
    }
    // The form active again (after a message, or after another user's form was).
    void Activate() {
        QApplication::setActiveWindow(&form);
        (void)QTest::qWaitForWindowActive(&form);
    }

    TvornBtn* Btn(TvornBtnOperation op) const { return buttons[op]; }

    QWidget form;
    TvornSource *labTest, *subresult, *departmental;
    TvornEdit *abbreviation = nullptr, *name, *length, *explanation;
    TvornCheckBox* inUse;
    TvornRadioGroup *taker, *ordering;
    TvornComboBox* format;
    TvornFinder* persons;
    TvornDialogEdit* person;
    TvornBtn* buttons[10] = {};
    TvornBtn *subresultSave, *subresultNext, *departmentalSave;
    TvornGrid* grid = nullptr;
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
        wards = NewFinder(form, "80002", &broker);
        wards->Number = "5";
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
    // A radio group of three buttons, valued 1 to 3.
    TvornRadioGroup* Group(TvornSource* source, const char* field, const char* displayName,
                           const char* caption, const QStringList& items) {
        auto* group =
            Bound<TvornRadioGroup>(source, field, displayName, QString(caption), items, 3);
        group->SetValues({"1", "2", "3"});
        group->resize(300, 50);
        return group;
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
