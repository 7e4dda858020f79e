// A seeded, model-based hunt for lost, misfiled and falsely reported edits. Two users work at
// once against the real vorn-server on lab-test forms of the real controls: a master (the lab
// tests, followed through a grid, found through its abbreviation's find field), a hierarchical
// detail (the subresults) and a logical detail (the departmental lab tests). Random sequences of
// user actions (typing valid and invalid values into edits, a memo, a list box, a check box and
// radio groups by keys; looking up a person, a ward and a lab test through the dialog edit and
// the lookup combo box, picking, cancelling or leaving the list open; Tab and Shift+Tab, the
// operation buttons, Delete and Save new, the details' own buttons, a grid row, a history item,
// the lock timer, Escape through the form's close event, the server killed and started again)
// are answered at random (Yes, No, Cancel, Ignore, or no answer until the question times out),
// while a second user holds locks, saves, and deletes what the first added; some sequences are
// run by a user who may only read. A model of what the user typed, saw and answered is held
// against the server's records and its call log after every action:
// - a value typed is still shown, or it was saved, or the user said No (or was told that its
//   record changed, or cancelled it with the Cancel button, or deleted the record);
// - "Saved:" comes only after a filing call of that file and record, and every value then
//   pending is in the record;
// - no filing call (EDIT or ADD) edits a record other than the one the value was typed into;
// - a record being edited is locked, and a closed form leaves no lock behind;
// - no exception escapes, and none is caught on the way.
// Each shard counts the saves, discards and questions it checked, and fails when it checked none
// of one kind. A failing sequence prints its seed and its actions; VORN_MODEL_SEED=n runs that
// sequence alone, VORN_MODEL_SEQUENCES=n runs n sequences per shard (scripts/model-test.sh).
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include "broker/broker_error.h"
#include "lookup/find_dialog.h"
#include "lookup/internal/xde_string_grid.h"
#include "source/internal/source_requests.h"
#include "source/record_requests.h"
#include "source/timed_dialog.h"
#include "tests/controls/lab_test_edit_form.h"
#include "tests/support/another_user.h"

namespace vorn {
namespace {

using test::LabTestEditForm;

constexpr int kShards = 4;
constexpr int kSequencesPerShard = 75;
constexpr int kActions = 30;

int EnvNumber(const char* name, int fallback) {
    bool ok = false;
    const int n = qgetenv(name).toInt(&ok);
    return ok ? n : fallback;
}

using Picker = std::function<int(int)>;

// What the user typed into one field and has not seen saved or thrown away.
struct Typed {
    QString record;  // the full address the value was typed into ("12," "+1," "3,35,")
    QString shown;   // how the control showed it
    QString internal;
    bool valid = true;
    // A lookup text not yet worked out into an entry: the save resolves it (or stops), so
    // its shown text and value are known only then.
    bool unresolved = false;
    // The value the record holds already: nothing to keep.
    bool unchanged = false;
};

// One field of the form the model types into.
struct Slot {
    std::string label;
    TvornSource* source;
    QString field;
    TvornBoundControl* control;
    std::function<QString()> shown;
    // Types a value chosen with `pick` (a number below the count given): what it should show
    // and file, and whether the server takes it.
    std::function<Typed(const Picker& pick)> type;
};

// The values typed and not yet saved or let go, by source and field.
using Pending = std::map<std::pair<TvornSource*, QString>, Typed>;

// What a shard checked, so that a shard that never reached a kind of check fails.
struct Checked {
    int saves = 0, discards = 0, questions = 0, lookups = 0;
};

class Model : public test::SourceServer, public ui::ModalHost {
  protected:
    void SetUp() override {
        a = std::make_unique<LabTestEditForm>(Broker(), true, true);
        b = std::make_unique<LabTestEditForm>(SecondBroker());
        for (LabTestEditForm* f : {a.get(), b.get()})
            for (TvornSource* s : f->Sources())
                s->LockTimeOut = 2;
        b->form.move(800, 0);
        checker_ = &SecondBroker();
        log_tail_ = std::make_unique<test::CallLogTail>(Server().LogPath());
        ui::SetModalHost(this);
        a->Open();
        b->Open();
        a->onClose = [this](bool closed) { Note(closed ? "  (closed)" : "  (kept open)"); };
        MakeSlots();
    }
    void TearDown() override {
        ui::SetModalHost(&modal);
        a.reset();
        b.reset();
    }

    // --- the modal seam: the user's answers ---
    int ShowMessage(QWidget*, const ui::MessageRequest& request) override {
        Note("  message: " + request.text.left(60).toStdString());
        const bool linkError = request.text.startsWith(QStringLiteral("Error encountered."));
        // Every handler's guard shows what it caught as an error message.
        if (request.kind == ui::MessageKind::Error && actor_ == a.get() &&
            !(linkError && serverKilled_)) {
            ++guardedErrors_;
            lastError_ = request.text.toStdString();
        }
        return ui::mrOk;
    }
    // The lock timers tick while a question is open: they must leave the question's edits be.
    void TicksUnderTheQuestion() {
        if (actor_ != a.get() || Pick(4) != 0) return;
        Note("  (the lock timers tick under the question)");
        for (TvornSource* s : a->Sources())
            for (int minute = 0; minute <= s->LockTimeOut; ++minute)
                test::LockTimer(*s).Fire();
    }
    int ExecModal(QDialog& dialog) override {
        auto* message = qobject_cast<TTimedDlg*>(&dialog);
        if (!message) {
            Violation("an unexpected modal form: " + std::string(dialog.metaObject()->className()));
            return ui::mrCancel;
        }
        const QString text = message->RichEdit1->toPlainText();
        const auto shown = [](QPushButton* b) { return !b->isHidden(); };
        if (shown(message->YesBtn) && actor_ == a.get()) {
            ++checked_.questions;
            TicksUnderTheQuestion();
        }
        int answer = ui::mrOk;
        if (forceNo_ && actor_ == a.get()) {
            answer = shown(message->NoBtn)       ? ui::mrNo
                     : shown(message->CancelBtn) ? ui::mrCancel
                                                 : ui::mrOk;
            if (answer == ui::mrNo) AllowDiscard(nullptr);
        } else if (shown(message->YesBtn) && shown(message->NoBtn) && shown(message->IgnoreBtn)) {
            // The lock timer's question; left unanswered it times out and cancels the edits.
            answer = Choose({ui::mrYes, ui::mrNo, ui::mrIgnore, ui::mrNone});
            if (answer == ui::mrNo || answer == ui::mrNone) AllowDiscard(timerSource_);
        } else if (shown(message->YesBtn) && shown(message->NoBtn)) {
            answer = Choose({ui::mrYes, ui::mrNo, ui::mrCancel, ui::mrNone});
            // A record another user deleted cannot be stayed on: its details' questions are
            // the user's last word on their edits, whatever the answer.
            if (answer == ui::mrNo || recordGone_) AllowDiscard(AskingSource(text));
        } else if (shown(message->YesBtn)) {
            answer = Choose({ui::mrYes, ui::mrCancel});
            // A record the user chose to delete takes its edits, and its details', with it.
            if (answer == ui::mrYes && text.startsWith(QStringLiteral("Delete")))
                for (TvornSource* s : a->Sources())
                    if (text.contains(s->FileName)) {
                        AllowDiscard(s == a->labTest ? nullptr : s);
                        deleting_ = {s->FileNumber, s->Address().FullIens()};
                    }
        }
        if (text.startsWith(QStringLiteral("There is no record"))) {
            recordGone_ = true;
            AllowDiscard(a->labTest);
        }
        if (text.startsWith(QStringLiteral("The record has changed!")))
            AllowDiscard(ChangedSource());
        if (text.startsWith(QStringLiteral("Saved"))) Saved(text);
        if (text.startsWith(QStringLiteral("Deleted")) && actor_ == a.get())
            deleted_.push_back(deleting_);
        Note("  asked: " + text.left(60).toStdString() + " -> " + std::to_string(answer));
        return answer;
    }
    bool ChooseFont(QWidget*, QFont&) override { return false; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    bool PrinterSetup(QWidget*, QPrinter&) override { return false; }

    int Choose(std::initializer_list<int> answers) {
        if (actor_ != a.get()) return *answers.begin();
        return *(answers.begin() + Pick(static_cast<int>(answers.size())));
    }

    // --- the model ---
    TvornSource* SourceNamed(const QString& text) const {
        for (TvornSource* s : a->Sources())
            if (text.contains(s->FileName)) return s;
        return nullptr;
    }
    // The source a "Save ...?" question is about.
    TvornSource* AskingSource(const QString& text) const {
        if (actor_ != a.get()) return nullptr;
        TvornSource* s = SourceNamed(text);
        if (!s) Note("  (a question about no known source)");
        return s;
    }
    // No source: every source of the form.
    void AllowDiscard(TvornSource* source) {
        if (actor_ != a.get()) return;
        if (source) discarded_.insert(source);
        if (!source) discarded_.insert({a->labTest, a->subresult, a->departmental});
    }
    // The source told that its record changed under it: the one that has just locked its
    // record to start an edit, or retaken a lost one.
    TvornSource* ChangedSource() const {
        TvornSource* found = nullptr;
        for (TvornSource* s : a->Sources())
            if (test::Owners(*s).locker.Locked()) {
                if (found) return nullptr;
                found = s;
            }
        if (!found) Note("  (a changed record of no locked source)");
        return found;
    }
    // "Saved: File: ..." of user A: every value pending for that file must now be stored, at
    // the record it was typed into (a new record's number is the one just read back).
    void Saved(const QString& text) {
        if (actor_ != a.get()) return;
        TvornSource* source = SourceNamed(text);
        if (!source) return Violation("\"Saved:\" about no known source: " + text.toStdString());
        // Save new files the form's values as a new record, whatever record they were typed in.
        const bool asNew = text.startsWith(QStringLiteral("Saved new"));
        if (asNew) added_.insert({source->FileNumber, source->Address().FullIens()});
        const auto check = [&](const QString& field, Typed t) {
            if (t.record.startsWith(u'+') || asNew) t.record = source->Address().FullIens();
            if (!t.valid)
                Violation("\"Saved:\" with a refused value pending in field " +
                          field.toStdString());
            toCheck_.push_back({source->FileNumber, field, t});
        };
        std::erase_if(pending_, [&](const auto& p) {
            if (p.first.first == source) check(p.first.second, p.second);
            return p.first.first == source;
        });
        // A value typed in this very action and saved with it.
        if (lastTyped_.first && lastTyped_.first->source == source) {
            check(lastTyped_.first->field, lastTyped_.second);
            lastTyped_ = {};
        }
        savedSeen_.insert(source);
    }

    void Note(const std::string& line) const {
        if (!clock_.isValid()) clock_.start();
        log_.push_back(std::to_string(clock_.restart()) + "ms " + line);
    }
    void Violation(const std::string& what) {
        violations_.push_back(what);
        Note("  VIOLATION: " + what);
    }

    // --- the form's fields ---
    void Add(std::string label, TvornSource* source, TvornBoundControl* control,
             std::function<QString()> shown, std::function<Typed(const Picker&)> type) {
        slots_.push_back({std::move(label), source, control->FMField(), control, std::move(shown),
                          std::move(type)});
    }
    void AddEdit(std::string label, TvornSource* source, QLineEdit* edit,
                 std::vector<std::pair<QString, bool>> values) {
        Add(
            std::move(label), source, dynamic_cast<TvornBoundControl*>(edit),
            [edit] { return edit->text(); },
            [edit, values](const Picker& pick) {
                const auto& [text, valid] = values[pick(static_cast<int>(values.size()))];
                Retype(edit, text);
                return Typed{{}, text, text, valid};
            });
    }
    void AddGroup(std::string label, TvornSource* source, TvornRadioGroup* g) {
        Add(
            std::move(label), source, g, [g] { return QString::number(g->ItemIndex()); },
            [g](const Picker& pick) {
                const int i = pick(g->Count());
                QTest::mouseClick(g->Button(i), Qt::LeftButton);
                return Typed{{}, QString::number(i), g->Values().value(i), true};
            });
    }
    void MakeSlots() {
        LabTestEditForm& f = *a;
        AddEdit("name", f.labTest, f.name,
                {{"Nm one", true}, {"Nm two", true}, {"Nm three", true}});
        AddEdit("length", f.labTest, f.length,
                {{"7", true}, {"42", true}, {"abc", false}, {"999", false}});
        AddEdit("abbreviation", f.labTest, f.findEdit,
                {{"ZQA", true}, {"ZQB", true}, {"ZQTOOLONGNAME", false}});
        Add(
            "inUse", f.labTest, f.inUse, [&f] { return QString(f.inUse->isChecked() ? "1" : "0"); },
            [&f](const Picker&) {
                test::Press(f.inUse, Qt::Key_Space);
                const QString v = f.inUse->isChecked() ? "1" : "0";
                return Typed{{}, v, v, true};
            });
        AddGroup("taker", f.labTest, f.taker);
        Add(
            "taker by keys", f.labTest, f.taker,
            [&f] { return QString::number(f.taker->ItemIndex()); },
            [&f](const Picker&) {
                QRadioButton* button = f.taker->Button(std::max(0, f.taker->ItemIndex()));
                button->setFocus(Qt::TabFocusReason);
                // Space chooses the focused button; Down moves the choice on to the next one.
                QTest::keyClick(button, f.taker->ItemIndex() < 0 ? Qt::Key_Space : Qt::Key_Down);
                const int i = f.taker->ItemIndex();
                return Typed{{}, QString::number(i), f.taker->Values().value(i), true};
            });
        Add(
            "description", f.labTest, f.description, [&f] { return f.description->toPlainText(); },
            [&f](const Picker& pick) {
                const QString text = QStringList{"One line", "Two\nlines"}[pick(2)];
                f.description->setFocus(Qt::TabFocusReason);
                f.description->selectAll();
                for (const QString& line : text.split(u'\n')) {
                    if (line != text.section(u'\n', 0, 0))
                        QTest::keyClick(f.description, Qt::Key_Return);
                    QTest::keyClicks(f.description, line);
                }
                return Typed{{}, text, text, true};
            });
        Add(
            "person", f.labTest, f.person, [&f] { return f.person->text(); },
            [this, &f](const Picker& pick) { return LookUpPerson(f, pick); });
        Add(
            "subresult type", f.subresult, f.subresultType,
            [&f] { return f.subresultType->ShownText(); },
            [&f](const Picker& pick) {
                const int i = pick(3);
                test::ClickItem(f.subresultType, i);
                return Typed{{}, f.subresultType->item(i)->text(), QString::number(i + 1), i < 2};
            });
        Add(
            "ward", f.departmental, f.ward, [&f] { return f.ward->currentText(); },
            [this, &f](const Picker& pick) { return LookUpWard(f, pick); });
        Add(
            "format", f.labTest, f.format,
            [&f] { return QString::number(f.format->currentIndex()); },
            [&f](const Picker& pick) {
                f.format->setFocus(Qt::TabFocusReason);
                const int i = pick(f.format->count());
                f.format->setCurrentIndex(i);
                return Typed{{}, QString::number(i), QString::number(i + 1), true};
            });
        AddEdit("explanation", f.subresult, f.explanation,
                {{"EXPL ONE", true}, {"EXPL TWO", true}});
        AddGroup("ordering", f.departmental, f.ordering);
    }

    // --- the lookups ---
    // The dialog edit's list, answered as a user does: a row picked, Escape, or left open.
    void AnswerList(TvornDialogEdit* edit) {
        TfrmFind* list = edit->Dialog();
        if (!list || !list->isVisible()) return;
        ++checked_.lookups;
        TXDEStringGrid& grid = *list->grdPick;
        switch (Pick(3)) {
            case 0:
                if (grid.RowCount() > 1) {
                    grid.SetRow(1 + Pick(grid.RowCount() - 1));
                    QTest::mouseClick(list->btnSelect, Qt::LeftButton);
                    Note("  picked");
                    return;
                }
                [[fallthrough]];
            case 1:
                // The list is the active window when the user presses its Escape.
                QApplication::setActiveWindow(list);
                (void)QTest::qWaitForWindowActive(list);
                QTest::keyClick(&grid, Qt::Key_Escape);
                Note("  list cancelled");
                return;
            default:
                Note("  list left open");
                return;
        }
    }
    Typed LookUpPerson(LabTestEditForm& f, const Picker& pick) {
        const QString typed = QStringList{"MAK", "KORH", "LA", "ZZNOBODY"}[pick(4)];
        Retype(f.person, typed);
        if (pick(3) != 0) {
            QTest::keyClick(f.person, Qt::Key_Return);
            AnswerList(f.person);
        }
        Typed t{{}, f.person->text(), f.person->InternalValue(), true};
        // Only a pick (or the single match taken) turns the typed text into an entry's name. A
        // key the form dropped (its record found gone under the first one) leaves less than was
        // typed, and no entry for it: still a text to resolve.
        t.unresolved = f.person->text() == typed || f.person->DialogActive() ||
                       (!f.person->text().isEmpty() && f.person->InternalValue().isEmpty());
        return t;
    }
    Typed LookUpWard(LabTestEditForm& f, const Picker& pick) {
        TvornComboBoxLookUp* box = f.ward;
        box->setFocus(Qt::TabFocusReason);
        // A list opened on an empty box shows "?" until an entry is picked; paging on or an
        // empty list leaves it there, which is no value of the user's to keep.
        bool nothingPicked = false;
        switch (pick(3)) {
            case 0:
                box->lineEdit()->selectAll();
                QTest::keyClicks(box->lineEdit(), QStringList{"INT", "EYE", "CL", "ZZZ"}[pick(4)]);
                QTest::keyClick(box, Qt::Key_Tab);
                break;
            case 1:
                QTest::keyClick(box, pick(2) ? Qt::Key_Down : Qt::Key_Up);
                break;
            default:
                const bool wasEmpty = box->currentText().isEmpty();
                box->showPopup();
                if (box->count() > 0) {
                    box->view()->setCurrentIndex(box->model()->index(pick(box->count()), 0));
                    QTest::keyClick(box->view(), Qt::Key_Return);
                }
                box->hidePopup();
                nothingPicked = wasEmpty && box->currentText() == QLatin1String("?");
                break;
        }
        Typed t{{}, box->currentText(), box->InternalValue(), true};
        // Settled when the box was left; else (the focus kept in it, or its list open) the save
        // works the text out.
        const QWidget* focus = QApplication::focusWidget();
        t.unresolved = focus == box || box->isAncestorOf(focus) || box->view()->isVisible() ||
                       (focus && focus->window() == box->view()->window());
        // A text left with no entry behind it (its lookup failed with the link) is worked out
        // by the save as well.
        if (!t.shown.isEmpty() && t.internal.isEmpty()) t.unresolved = true;
        // The entry the record holds, chosen again, is no change to keep.
        t.unchanged = box->currentText() == box->FilledText() || nothingPicked;
        return t;
    }
    // A find in the abbreviation: the list that opens is answered; a pick shows that record.
    void Find() {
        AsUser(a.get(), "find a lab test", [&] {
            TvornDialogEdit* edit = a->findEdit;
            // The search typed over a new name pending there replaces it, by the user's hand.
            pending_.erase({a->labTest, QStringLiteral(".01")});
            Retype(edit, QStringList{"H", "U-", "ZZNONE"}[Pick(3)]);
            QTest::keyClick(edit, Qt::Key_Return);
            AnswerList(edit);
            const Typed typed{{}, edit->text(), edit->text(), edit->text().size() <= 10};
            lastTyped_ = {&slots_[kAbbreviationSlot], typed};
        });
    }

    // --- the actions ---
    int Pick(int n) { return n <= 1 ? 0 : static_cast<int>(rng_() % static_cast<unsigned>(n)); }

    template <typename F>
    void AsUser(LabTestEditForm* user, const std::string& description, F&& act) {
        actor_ = user;
        Note(description);
        user->Activate();
        if (user == a.get()) log_tail_->Next();  // what came before is not this action's
        const int errorsBefore = guardedErrors_;
        ui::Guarded([&] { act(); }, &user->form);
        // Whatever guard caught it (the action's or a handler's own), an exception is a fault;
        // only a link that died with a killed server excuses it.
        if (guardedErrors_ > errorsBefore) Violation("an exception was caught: " + lastError_);
        actor_ = nullptr;
        if (user == a.get()) Check();
        recordGone_ = false;
    }

    void Type(int index) {
        Slot& slot = slots_[static_cast<std::size_t>(index)];
        AsUser(a.get(), "type into " + slot.label, [&] {
            // A control that cannot take the focus now (a refused value elsewhere keeps it, or
            // the control is disabled) takes no typing either.
            QWidget* widget = slot.control->Widget();
            if (widget->focusPolicy() != Qt::NoFocus) {
                widget->setFocus(Qt::TabFocusReason);
                QWidget* focus = QApplication::focusWidget();
                if (focus != widget && !widget->isAncestorOf(focus)) {
                    Note("  (the focus stays elsewhere)");
                    return;
                }
            }
            const Typed typed = slot.type([this](int n) { return Pick(n); });
            lastTyped_ = {&slot, typed};
            Note("  typed " + typed.shown.toStdString() + " = " + typed.internal.toStdString() +
                 (typed.unresolved ? " (unresolved)" : "") + ", state " +
                 std::to_string(slot.source->State()) + ", changed " +
                 std::to_string(IsChanged(slot)));
        });
    }

    void Click(TvornBtn* button, const std::string& name, TvornSource* cancelled = nullptr) {
        AsUser(a.get(), "click " + name, [&] {
            if (!button->isEnabled()) return;
            if (cancelled) AllowDiscard(cancelled);
            QTest::mouseClick(button, Qt::LeftButton);
        });
    }

    // The action numbers stay as they are: a seed replays the same sequence.
    void RunAction() {
        LabTestEditForm& f = *a;
        const int action = Pick(32);
        if (action < 7) return Type(Pick(static_cast<int>(slots_.size())));
        const std::function<void()> actions[] = {
            [&] { KeyToFocus(Qt::Key_Tab); },  // 7
            [&] { KeyToFocus(Qt::Key_Backtab); },
            [&] { Click(f.Btn(DoFirst), "First"); },
            [&] { Click(f.Btn(DoPrior), "Prior"); },
            [&] { Click(f.Btn(DoNext), "Next"); },
            [&] { Click(f.Btn(DoLast), "Last"); },
            [&] { Click(f.Btn(DoSave), "Save"); },
            [&] { Click(f.Btn(DoClear), "Clear"); },
            [&] { Click(f.Btn(DoInsert), "Insert"); },  // 15
            [&] { Click(f.Btn(DoCancel), "Cancel", f.labTest); },
            [&] { Click(f.subresultSave, "subresult Save"); },
            [&] { GridRow(); },
            [&] { AsUser(a.get(), "history", [&] { f.labTest->GoToHistory(Pick(3)); }); },
            [&] { LockTimerRunsOut(); },  // 20
            [&] { CloseForm(false); },
            [&] { OtherUser(); },
            [&] { Pick(6) == 0 ? KillServer() : OtherUser(); },
            [&] { Find(); },
            [&] { Click(f.Btn(DoDelete), "Delete"); },  // 25
            [&] { Click(f.Btn(DoSaveAs), "Save new"); },
            [&] { Click(f.subresultNext, "subresult Next"); },
            [&] { Click(f.departmentalSave, "departmental Save"); },
            [&] { Escape(); },
            [&] { OtherHoldsOrLetsGo(); },  // 30
            [&] { OtherDeletesOrEditsADetail(); },
        };
        actions[action - 7]();
    }
    void KeyToFocus(Qt::Key key) {
        AsUser(a.get(), key == Qt::Key_Tab ? "Tab" : "Shift+Tab", [key] {
            if (QWidget* w = QApplication::focusWidget()) QTest::keyClick(w, key);
        });
    }
    void GridRow() {
        AsUser(a.get(), "grid row", [&] {
            const int rows = a->grid->RowCount() - 1;
            if (rows < 1) return;
            const QRect cell = a->grid->visualRect(a->grid->model()->index(Pick(rows), 0));
            QTest::mouseClick(a->grid->viewport(), Qt::LeftButton, {}, cell.center());
        });
    }
    void LockTimerRunsOut() {
        TvornSource* s = a->Sources()[Pick(3)];
        timerSource_ = s;
        AsUser(a.get(), "lock timer of " + s->objectName().toStdString(), [&] {
            for (int minute = 0; minute < s->LockTimeOut; ++minute)
                test::LockTimer(*s).Fire();
        });
    }

    // Escape through the form's close event: the details, then the master, are asked.
    void Escape() {
        AsUser(a.get(), "Escape", [&] {
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus ? focus : &a->form, Qt::Key_Escape);
        });
        if (!a->closed) return;
        a->closed = false;
        Reopened();
    }

    // The other user locks the record A shows (and keeps it), or lets its locks go.
    void OtherHoldsOrLetsGo() {
        const QString record = a->labTest->Address().Number();
        AsUser(b.get(), "other user holds or lets go " + record.toStdString(), [&] {
            if (!held_.isEmpty()) return LetHeldGo();
            if (record.isEmpty() || record.startsWith(u'+')) return;
            if (requests::ReadLockDone(
                    checker_->Call(requests::Lock("80001", record, QStringLiteral("LOCK")))))
                held_ = record;
        });
    }
    void LetHeldGo() {
        checker_->Call(requests::Lock("80001", held_, QStringLiteral("UNLOCK")));
        held_.clear();
    }

    // The other user deletes a lab test A added, or saves a departmental lab test's ordering.
    void OtherDeletesOrEditsADetail() {
        AsUser(b.get(), "other user deletes or edits a detail", [&] {
            for (const auto& [file, record] : added_) {
                if (file != QLatin1String("80001")) continue;
                const QString number = record.chopped(1);
                b->labTest->GetAndFill(QStringLiteral("1"));
                checker_->Call(requests::RecordDelete(file, number));
                touched_.erase({file, number});  // a record that is gone holds no lock
                gone_.insert({file, number});
                added_.erase({file, record});
                return;
            }
            b->labTest->GetAndFill(QStringList{"1", "35"}[Pick(2)]);
            if (b->departmental->State() != ssBrowse) return;
            QTest::mouseClick(b->ordering->Button(Pick(3)), Qt::LeftButton);
            b->departmentalSave->click();
        });
    }

    void OtherUser() {
        static const char* kRecords[] = {"1", "2", "35", "36"};
        const char* record = kRecords[Pick(4)];
        const bool save = Pick(2) == 0;
        AsUser(b.get(), std::string("other user ") + (save ? "saves " : "shows ") + record, [&] {
            b->labTest->GetAndFill(QString::fromLatin1(record));
            if (!save) return;
            Retype(b->name, "Theirs");
            b->Btn(DoSave)->click();
        });
    }

    void KillServer() {
        Note("the server is killed and started again");
        Server().Kill();
        Server().Start();
        touched_.clear();  // the server let every lock go
        held_.clear();
        serverKilled_ = true;
        // An edit under way lost its lock with the server; the save takes it again (and checks
        // the record first).
        for (TvornSource* s : a->Sources())
            if (s->State() == ssEdit) lockLost_.insert(s);
    }

    // Closing asks the details first, then the master, as the demo's form does.
    bool CloseForm(bool sayNo) {
        forceNo_ = sayNo;
        AsUser(a.get(), sayNo ? "close, answering No" : "close", [&] {
            if (!a->MayClose()) return;
            a->CloseSources();
            closed_ = true;
        });
        forceNo_ = false;
        if (!closed_) return false;
        closed_ = false;
        Reopened();
        return true;
    }

    // A closed form has given back every lock, and opens again on a record.
    void Reopened() {
        pending_.clear();
        for (const auto& [file, record] : touched_)
            if (!gone_.count({file, record}) && !OtherCanLock(file, record))
                Violation("a closed form still holds the lock of " + file.toStdString() + " " +
                          record.toStdString());
        touched_.clear();
        AsUser(a.get(), "open again", [&] {
            a->OpenSources();
            a->labTest->GetAndFill(QString::number(1 + Pick(40)));
        });
    }

    // What another user finds on the server now; a link that died with the server is made
    // again by the next call.
    template <typename T, typename Call>
    static T Twice(Call&& call, T failed) {
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                return call();
            } catch (const EBrokerError&) {
            }
        }
        return failed;
    }
    bool OtherCanLock(const QString& file, const QString& record) {
        return Twice([&] { return test::CanLock(*checker_, file, record); }, false);
    }
    QString StoredValue(const QString& file, const QString& record, const QString& field) {
        return Twice(
            [&] {
                if (field != QLatin1String("100"))
                    return test::Stored(*checker_, file, record.chopped(1), field);
                return records::ReadRecordAnswer(
                           checker_->Call(records::ReadRequest(file, {field}, record)))
                    .WordProcessingLines(field)
                    .join(u'\n');
            },
            QStringLiteral("<unreadable>"));
    }

    // --- the checks after each action of user A ---
    void Check() {
        std::string status = "  [";
        for (TvornSource* s : a->Sources())
            status += s->Address().FullIens().toStdString() + " " + std::to_string(s->State()) +
                      "/" + std::to_string(test::Owners(*s).saver.Changed().size()) + " ";
        Note(status + "]");
        std::set<QString> filedFiles;
        Pending typedSoFar = pendingBefore_;
        if (lastTyped_.first)
            typedSoFar[{lastTyped_.first->source, lastTyped_.first->field}] = lastTyped_.second;
        for (const test::LoggedCall& call : log_tail_->Next()) {
            if (call.name != "DDR FILER") continue;
            const bool add = call.Literal(0) == "ADD";
            for (const test::LoggedEntry& e : call.params) {
                if (e.kind != "list") continue;
                const QStringList pieces = QString::fromStdString(e.value).split(u'^');
                if (pieces.size() < 4) continue;
                filedFiles.insert(pieces[0]);
                // Save new files every value into the new record, by the user's choice.
                if (add) continue;
                for (const auto& [key, typed] : typedSoFar) {
                    if (key.first->FileNumber != pieces[0] || key.second != pieces[1] ||
                        typed.record.isEmpty())
                        continue;
                    const QString record = typed.record.chopped(1);
                    if (pieces[2] != record)
                        Violation("field " + pieces[1].toStdString() + " typed into " +
                                  record.toStdString() + " was filed into " +
                                  pieces[2].toStdString());
                }
            }
        }
        for (TvornSource* source : savedSeen_)
            if (!filedFiles.count(source->FileNumber))
                Violation("\"Saved:\" of " + source->FileNumber.toStdString() +
                          " without a filing call of that file");
        // A record deleted by the user since its save, and its entries, are gone on purpose.
        const auto gone = [&](const QString& file, const QString& record) {
            for (const auto& [deletedFile, deletedRecord] : deleted_)
                if (file.startsWith(deletedFile) &&
                    (record == deletedRecord || record.endsWith(u',' + deletedRecord)))
                    return true;
            return false;
        };
        for (const auto& [file, field, typed] : toCheck_) {
            ++checked_.saves;
            if (typed.unresolved) continue;  // the save worked the lookup text out itself
            if (gone(file, typed.record)) continue;
            const QString stored = StoredValue(file, typed.record, field);
            if (stored != typed.internal)
                Violation("shown as saved, " + field.toStdString() + " = " +
                          typed.internal.toStdString() + " of " + file.toStdString() + " " +
                          typed.record.toStdString() + " is " + stored.toStdString() +
                          " on the server");
        }
        toCheck_.clear();
        savedSeen_.clear();
        for (const auto& [file, record] : deleted_) {
            touched_.erase({file, record.chopped(1)});
            gone_.insert({file, record.chopped(1)});
        }
        deleted_.clear();

        // A field typed into again holds only its new value.
        if (lastTyped_.first) pending_.erase({lastTyped_.first->source, lastTyped_.first->field});
        // What was typed is still shown, unless the user let it go.
        for (auto it = pending_.begin(); it != pending_.end();) {
            TvornSource* source = it->first.first;
            const Slot* slot = SlotOf(source, it->first.second);
            if (discarded_.count(source)) {
                ++checked_.discards;
                it = pending_.erase(it);
                continue;
            }
            const bool changed = IsChanged(*slot);
            const bool same = slot->shown() == it->second.shown;
            const bool unresolved = it->second.unresolved;
            // A save may have worked a lookup text out into its entry (and failed), or found it
            // to be the entry stored: either way the text is still what the user sees.
            if (unresolved && !changed && same) {
                it = pending_.erase(it);
                continue;
            }
            const std::string typed =
                "the typed " + slot->label + " " + it->second.shown.toStdString();
            if (!same && (!unresolved || !changed))
                Violation(typed + " is gone without a question (shown: " +
                          slot->shown().toStdString() + ")");
            else if (!changed && !unresolved)
                Violation(typed + " is shown but no longer a change to file");
            ++it;
        }
        discarded_.clear();
        // The value just typed, when it became a change of its record.
        if (lastTyped_.first) {
            const Slot& slot = *lastTyped_.first;
            Typed typed = lastTyped_.second;
            if (slot.shown() == typed.shown && !typed.unchanged && IsChanged(slot)) {
                typed.record = slot.source->Address().FullIens();
                pending_[{slot.source, slot.field}] = typed;
            }
            lastTyped_ = {};
        }
        for (TvornSource* s : a->Sources()) {
            if (s->State() != ssEdit) {
                lockLost_.erase(s);
                continue;
            }
            TvornSource* top = s;
            while (SourceCore::Of(*top).Link().Hierarchical())
                top = SourceCore::Of(*top).Master();
            const std::pair<QString, QString> record{top->FileNumber, top->Address().Number()};
            touched_.insert(record);
            // A record being edited is held: nobody else may lock it meanwhile.
            if (Allows(SourceCore::Of(*s), uaWrite) && !lockLost_.count(s) &&
                !gone_.count(record) && OtherCanLock(record.first, record.second))
                Violation(s->objectName().toStdString() + " edits " + record.second.toStdString() +
                          " without its lock");
        }
        pendingBefore_ = pending_;
    }

    // Whether the value in `slot`'s control is a change of its record to file.
    static bool IsChanged(const Slot& slot) {
        return test::Owners(*slot.source).saver.Changed().contains(slot.control);
    }
    const Slot* SlotOf(TvornSource* source, const QString& field) const {
        for (const Slot& s : slots_)
            if (s.source == source && s.field == field) return &s;
        return nullptr;
    }

    // Runs sequence `seed`; true when the model found nothing wrong.
    bool RunSequence(unsigned seed) {
        rng_.seed(seed);
        log_.clear();
        violations_.clear();
        pending_.clear();
        pendingBefore_.clear();
        serverKilled_ = false;
        Note("seed " + std::to_string(seed));
        // Some users may only read: nothing they type may be taken for a change to file.
        const bool reader = seed % 7 == 3;
        const TvornUserAccess access =
            reader ? TvornUserAccess(uaRead) | uaBrowse : TvornUserAccess(kAllAccess);
        for (TvornSource* s : a->Sources())
            s->SetUserAccess(access);
        if (reader) Note("as a user who may only read");
        AsUser(a.get(), "show a lab test", [&] {
            a->labTest->GetAndFill(QString::number(std::vector<int>{1, 35, 36, 2}[Pick(4)]));
        });
        for (int i = 0; i < kActions && violations_.empty(); ++i)
            RunAction();
        if (!held_.isEmpty()) LetHeldGo();
        // A close that met a link lost with the server is tried again, as a user would.
        for (int attempt = 0; attempt < 2 && !CloseForm(true); ++attempt) {
        }
        std::string text;
        for (const std::string& line : log_)
            text += line + "\n";
        if (verbose_) std::printf("%s", text.c_str());
        if (!violations_.empty())
            ADD_FAILURE() << "the model was broken; replay with VORN_MODEL_SEED=" << seed << "\n"
                          << text;
        return violations_.empty();
    }

    std::unique_ptr<LabTestEditForm> a;
    std::unique_ptr<LabTestEditForm> b;
    Checked checked_;
    bool verbose_ = EnvNumber("VORN_MODEL_VERBOSE", 0) != 0;

  private:
    static constexpr std::size_t kAbbreviationSlot = 2;
    std::mt19937 rng_;
    TRPCBroker* checker_ = nullptr;
    std::unique_ptr<test::CallLogTail> log_tail_;
    std::vector<Slot> slots_;
    LabTestEditForm* actor_ = nullptr;
    TvornSource* timerSource_ = nullptr;
    Pending pending_, pendingBefore_;
    std::pair<const Slot*, Typed> lastTyped_{};
    std::set<TvornSource*> discarded_;
    struct Expected {
        QString file;
        QString field;
        Typed typed;
    };
    std::vector<Expected> toCheck_;
    std::set<std::pair<QString, QString>> touched_, added_;
    mutable std::vector<std::string> log_;
    mutable QElapsedTimer clock_;
    std::vector<std::string> violations_;
    std::set<TvornSource*> savedSeen_;
    QString held_;  // the lab test the other user holds locked
    std::set<TvornSource*> lockLost_;
    std::vector<std::pair<QString, QString>> deleted_;  // file and full address
    std::pair<QString, QString> deleting_;
    std::set<std::pair<QString, QString>> gone_;  // records deleted: no lock can be taken
    int guardedErrors_ = 0;
    std::string lastError_;
    bool serverKilled_ = false, recordGone_ = false, forceNo_ = false, closed_ = false;
};

class Sequences : public Model, public ::testing::WithParamInterface<int> {};

TEST_P(Sequences, KeepEveryTypedValueFileItWhereItWasTypedAndLeaveNoLock) {
    const int replay = EnvNumber("VORN_MODEL_SEED", -1);
    if (replay >= 0) {
        // The server's records carry over from one sequence of a shard to the next: the
        // sequences before it run first, and only the one asked for prints its actions.
        if (GetParam() != replay / 100000) return;
        for (int seed = GetParam() * 100000; seed <= replay; ++seed) {
            verbose_ = seed == replay && EnvNumber("VORN_MODEL_VERBOSE", 0);
            if (!RunSequence(static_cast<unsigned>(seed))) break;
        }
        return;
    }
    const int count = EnvNumber("VORN_MODEL_SEQUENCES", kSequencesPerShard);
    for (int i = 0; i < count; ++i)
        if (!RunSequence(static_cast<unsigned>(GetParam() * 100000 + i))) break;
    std::printf("shard %d checked %d saves, %d discards, %d questions, %d lookups\n", GetParam(),
                checked_.saves, checked_.discards, checked_.questions, checked_.lookups);
    EXPECT_GT(checked_.saves, 0) << "the shard checked no save";
    EXPECT_GT(checked_.discards, 0) << "the shard checked no discard";
    EXPECT_GT(checked_.questions, 0) << "the shard met no question";
    EXPECT_GT(checked_.lookups, 0) << "the shard answered no lookup list";
}

INSTANTIATE_TEST_SUITE_P(Shards, Sequences, ::testing::Range(0, kShards));

}  // namespace
}  // namespace vorn
