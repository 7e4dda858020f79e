// A seeded, model-based hunt for lost, misfiled and falsely reported edits. Two users work at
// once against the real vorn-server on lab-test forms made of the real controls: a master (the
// lab tests, followed through a grid), a hierarchical detail (the subresults) and a logical
// detail (the departmental lab tests). Random sequences of user actions (typing valid and
// invalid values, Tab and Shift+Tab, the operation buttons, a grid row, a history item, the
// lock timer, closing the form, the server killed and started again) are answered at random
// (Yes, No, Cancel, Ignore), and a model of what the user typed, saw and answered is held
// against the server's records and its call log:
// - a value typed is still shown, or it was saved, or the user said No (or was told the record
//   changed, or cancelled it with the Cancel button);
// - "Saved:" comes only after a filing call, and every value then pending is in the record;
// - no filing call edits a record other than the one the value was typed into;
// - a closed form leaves no lock behind;
// - no exception escapes.
// A failing sequence prints its seed and its actions; VORN_MODEL_SEED=n runs that sequence
// alone, VORN_MODEL_SEQUENCES=n runs n sequences per shard (scripts/model-test.sh).
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "broker/broker_error.h"
#include "source/record_requests.h"
#include "source/source_requests.h"
#include "source/timed_dialog.h"
#include "tests/controls/lab_test_edit_form.h"
#include "tests/support/fake_timers.h"
#include "tests/support/source_fixture.h"
#include "toolkit/event_guard.h"

namespace vorn {
namespace {

using test::LabTestEditForm;

constexpr int kShards = 4;
constexpr int kSequencesPerShard = 75;
constexpr int kActions = 30;

int EnvNumber(const char* name, int fallback) {
    const QByteArray value = qgetenv(name);
    bool ok = false;
    const int n = value.toInt(&ok);
    return ok ? n : fallback;
}

// What the user typed into one field and has not seen saved or thrown away.
struct Typed {
    QString record;  // the full address the value was typed into ("12," "+1," "3,35,")
    QString shown;   // how the control showed it
    QString internal;
    bool valid = true;
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
    std::function<Typed(const std::function<int(int)>& pick)> type;
};

class Model : public test::SourceServer, public ui::ModalHost {
  protected:
    void SetUp() override {
        a = std::make_unique<LabTestEditForm>(Broker(), true);
        b = std::make_unique<LabTestEditForm>(SecondBroker());
        for (LabTestEditForm* f : {a.get(), b.get()}) {
            f->labTest->LockTimeOut = 2;
            f->subresult->LockTimeOut = 2;
            f->departmental->LockTimeOut = 2;
        }
        b->form.move(800, 0);
        checker_ = &SecondBroker();
        log_tail_ = std::make_unique<test::CallLogTail>(Server().LogPath());
        ui::SetModalHost(this);
        a->Open();
        b->Open();
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
        if (request.text.startsWith(QStringLiteral("Error encountered."))) sawBrokerError_ = true;
        return ui::mrOk;
    }
    int ExecModal(QDialog& dialog) override {
        auto* message = qobject_cast<TTimedDlg*>(&dialog);
        if (!message) {
            Violation("an unexpected modal form: " + std::string(dialog.metaObject()->className()));
            return ui::mrCancel;
        }
        const QString text = message->RichEdit1->toPlainText();
        const auto shown = [](QPushButton* b) { return !b->isHidden(); };
        int answer = ui::mrOk;
        if (forceNo_ && actor_ == a.get()) {
            answer = shown(message->NoBtn)       ? ui::mrNo
                     : shown(message->CancelBtn) ? ui::mrCancel
                                                 : ui::mrOk;
            if (answer == ui::mrNo) AllowDiscard(nullptr);
        } else if (shown(message->YesBtn) && shown(message->NoBtn) && shown(message->IgnoreBtn)) {
            answer = Choose({ui::mrYes, ui::mrNo, ui::mrIgnore});
            if (answer == ui::mrNo) AllowDiscard(timerSource_);
        } else if (shown(message->YesBtn) && shown(message->NoBtn)) {
            answer = Choose({ui::mrYes, ui::mrNo, ui::mrCancel});
            if (answer == ui::mrNo) AllowDiscard(AskingSource(text));
        } else if (shown(message->YesBtn)) {
            answer = Choose({ui::mrYes, ui::mrCancel});
        }
        if (text.startsWith(QStringLiteral("The record has changed!"))) AllowDiscard(nullptr);
        if (text.startsWith(QStringLiteral("Saved"))) Saved(text);
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
        for (TvornSource* s : {a->labTest, a->subresult, a->departmental})
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
    void AllowDiscard(TvornSource* source) {
        if (actor_ != a.get()) return;
        if (!source)
            for (TvornSource* s : {a->labTest, a->subresult, a->departmental})
                discarded_.insert(s);
        else
            discarded_.insert(source);
    }
    // "Saved: File: ..." of user A: every value pending for that file must now be stored, at
    // the record it was typed into (a new record's number is the one just read back).
    void Saved(const QString& text) {
        if (actor_ != a.get()) return;
        TvornSource* source = SourceNamed(text);
        if (!source) return Violation("\"Saved:\" about no known source: " + text.toStdString());
        for (auto it = pending_.begin(); it != pending_.end();) {
            if (it->first.first != source) {
                ++it;
                continue;
            }
            Typed t = it->second;
            if (t.record.startsWith(u'+')) t.record = source->FullIens();
            if (!t.valid)
                Violation("\"Saved:\" with a refused value pending in field " +
                          it->first.second.toStdString());
            toCheck_.push_back({source->FileNumber, it->first.second, t});
            it = pending_.erase(it);
        }
        savedSeen_ = true;
    }

    void Note(const std::string& line) const { log_.push_back(line); }
    void Violation(const std::string& what) {
        violations_.push_back(what);
        Note("  VIOLATION: " + what);
    }

    // --- the form's fields ---

    Slot EditSlot(const std::string& label, TvornSource* source, TvornEdit* edit,
                  std::vector<std::pair<QString, bool>> values) {
        return {label,
                source,
                edit->FMField(),
                edit,
                [edit] { return edit->text(); },
                [edit, values](const std::function<int(int)>& pick) {
                    const auto& [text, valid] = values[pick(static_cast<int>(values.size()))];
                    edit->setFocus(Qt::TabFocusReason);
                    edit->selectAll();
                    QTest::keyClicks(edit, text);
                    return Typed{{}, text, text, valid};
                }};
    }
    void MakeSlots() {
        LabTestEditForm& f = *a;
        slots_.push_back(EditSlot("name", f.labTest, f.name,
                                  {{"Nm one", true}, {"Nm two", true}, {"Nm three", true}}));
        slots_.push_back(EditSlot("length", f.labTest, f.length,
                                  {{"7", true}, {"42", true}, {"abc", false}, {"999", false}}));
        slots_.push_back(
            EditSlot("abbreviation", f.labTest, f.abbreviation, {{"ZQA", true}, {"ZQB", true}}));
        slots_.push_back({"inUse", f.labTest, "3", f.inUse,
                          [&f] { return QString(f.inUse->isChecked() ? "1" : "0"); },
                          [&f](const std::function<int(int)>&) {
                              f.inUse->setFocus(Qt::TabFocusReason);
                              QTest::keyClick(f.inUse, Qt::Key_Space);
                              const QString v = f.inUse->isChecked() ? "1" : "0";
                              return Typed{{}, v, v, true};
                          }});
        const auto group = [](const std::string& label, TvornSource* source, TvornRadioGroup* g) {
            return Slot{label,
                        source,
                        g->FMField(),
                        g,
                        [g] { return QString::number(g->ItemIndex()); },
                        [g](const std::function<int(int)>& pick) {
                            const int i = pick(g->Count());
                            QTest::mouseClick(g->Button(i), Qt::LeftButton);
                            return Typed{{}, QString::number(i), g->Values().value(i), true};
                        }};
        };
        slots_.push_back(group("taker", f.labTest, f.taker));
        slots_.push_back({"format", f.labTest, "8", f.format,
                          [&f] { return QString::number(f.format->currentIndex()); },
                          [&f](const std::function<int(int)>& pick) {
                              f.format->setFocus(Qt::TabFocusReason);
                              const int i = pick(f.format->count());
                              f.format->setCurrentIndex(i);
                              return Typed{{}, QString::number(i), QString::number(i + 1), true};
                          }});
        slots_.push_back(EditSlot("explanation", f.subresult, f.explanation,
                                  {{"EXPL ONE", true}, {"EXPL TWO", true}}));
        slots_.push_back(group("ordering", f.departmental, f.ordering));
    }

    // --- the actions ---

    int Pick(int n) { return n <= 1 ? 0 : static_cast<int>(rng_() % static_cast<unsigned>(n)); }

    template <typename F>
    void AsUser(LabTestEditForm* user, const std::string& description, F&& act) {
        actor_ = user;
        Note(description);
        user->Activate();
        if (user == a.get()) log_tail_->Next();  // what came before is not this action's
        if (!ui::Guarded([&] { act(); }, &user->form) && !sawBrokerError_)
            Note("  (a guarded error)");
        actor_ = nullptr;
        if (user == a.get()) Check();
        sawBrokerError_ = false;
    }

    void Type(int index) {
        Slot& slot = slots_[static_cast<std::size_t>(index)];
        AsUser(a.get(), "type into " + slot.label, [&] {
            const Typed typed = slot.type([this](int n) { return Pick(n); });
            lastTyped_ = {&slot, typed};
        });
    }

    void Click(TvornBtn* button, const std::string& name, TvornSource* cancelled = nullptr) {
        AsUser(a.get(), "click " + name, [&] {
            if (!button->isEnabled()) return;
            if (cancelled) AllowDiscard(cancelled);
            QTest::mouseClick(button, Qt::LeftButton);
        });
    }

    void RunAction() {
        LabTestEditForm& f = *a;
        switch (Pick(24)) {
            case 0:
            case 1:
            case 2:
            case 3:
            case 4:
            case 5:
            case 6:
                return Type(Pick(static_cast<int>(slots_.size())));
            case 7:
                return AsUser(a.get(), "Tab", [] {
                    if (QWidget* w = QApplication::focusWidget()) QTest::keyClick(w, Qt::Key_Tab);
                });
            case 8:
                return AsUser(a.get(), "Shift+Tab", [] {
                    if (QWidget* w = QApplication::focusWidget())
                        QTest::keyClick(w, Qt::Key_Backtab);
                });
            case 9:
                return Click(f.Btn(DoFirst), "First");
            case 10:
                return Click(f.Btn(DoPrior), "Prior");
            case 11:
                return Click(f.Btn(DoNext), "Next");
            case 12:
                return Click(f.Btn(DoLast), "Last");
            case 13:
                return Click(f.Btn(DoSave), "Save");
            case 14:
                return Click(f.Btn(DoClear), "Clear");
            case 15:
                return Click(f.Btn(DoInsert), "Insert");
            case 16:
                return Click(f.Btn(DoCancel), "Cancel", f.labTest);
            case 17:
                return Click(f.subresultSave, "subresult Save");
            case 18:
                return AsUser(a.get(), "grid row", [&] {
                    const int rows = f.grid->RowCount() - 1;
                    if (rows < 1) return;
                    const int row = 1 + Pick(rows);
                    const QRect cell = f.grid->visualRect(f.grid->model()->index(row - 1, 0));
                    QTest::mouseClick(f.grid->viewport(), Qt::LeftButton, {}, cell.center());
                });
            case 19:
                return AsUser(a.get(), "history", [&] { f.labTest->GoToHistory(Pick(3)); });
            case 20: {
                TvornSource* s =
                    std::vector<TvornSource*>{f.labTest, f.subresult, f.departmental}[Pick(3)];
                timerSource_ = s;
                return AsUser(a.get(), "lock timer of " + s->objectName().toStdString(), [&] {
                    auto& timer = static_cast<test::FakeTimer&>(s->LockTimer());
                    for (int minute = 0; minute < s->LockTimeOut; ++minute)
                        timer.Fire();
                });
            }
            case 21:
                return CloseForm(false);
            case 22:
                return OtherUser();
            case 23:
                if (Pick(6) == 0) return KillServer();
                return OtherUser();
        }
    }

    void OtherUser() {
        static const char* kRecords[] = {"1", "2", "35", "36"};
        const char* record = kRecords[Pick(4)];
        const bool save = Pick(2) == 0;
        AsUser(b.get(), std::string("other user ") + (save ? "saves " : "shows ") + record, [&] {
            b->labTest->GetAndFill(QString::fromLatin1(record));
            if (!save) return;
            b->name->setFocus(Qt::TabFocusReason);
            b->name->selectAll();
            QTest::keyClicks(b->name, "Theirs");
            b->Btn(DoSave)->click();
        });
    }

    void KillServer() {
        Note("the server is killed and started again");
        Server().Kill();
        Server().Start();
        touched_.clear();  // the server let every lock go
    }

    // Closing asks the details first, then the master, as the demo's form does; a closed form
    // has given back every lock, and opens again on a record.
    void CloseForm(bool sayNo) {
        forceNo_ = sayNo;
        AsUser(a.get(), sayNo ? "close, answering No" : "close", [&] {
            for (TvornSource* s : {a->departmental, a->subresult, a->labTest})
                if (!s->CheckSaveChanges()) return;
            for (TvornSource* s : {a->labTest, a->subresult, a->departmental})
                s->Close();
            closed_ = true;
        });
        forceNo_ = false;
        if (!closed_) return;
        closed_ = false;
        pending_.clear();
        for (const auto& [file, record] : touched_)
            if (!OtherCanLock(file, record))
                Violation("a closed form still holds the lock of " + file.toStdString() + " " +
                          record.toStdString());
        touched_.clear();
        AsUser(a.get(), "open again", [&] {
            a->labTest->Open();
            a->subresult->Open();
            a->departmental->Open();
            a->labTest->GetAndFill(QString::number(1 + Pick(40)));
        });
    }

    bool OtherCanLock(const QString& file, const QString& record) {
        TRPCBroker& checker = *checker_;
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                if (!requests::ReadLockDone(
                        checker.Call(requests::Lock(file, record, QStringLiteral("LOCK")))))
                    return false;
                checker.Call(requests::Lock(file, record, QStringLiteral("UNLOCK")));
                return true;
            } catch (const EBrokerError&) {
                // A link that died with the server: the next call makes a new one.
            }
        }
        return false;
    }

    QString StoredValue(const QString& file, const QString& record, const QString& field) {
        TRPCBroker& checker = *checker_;
        QString address = record;
        address.chop(1);
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                const records::RecordAnswer answer = records::ReadRecordAnswer(
                    checker.Call(records::ReadRequest(file, {field}, record)));
                return records::FieldPiece(answer.lines, field, address, 4);
            } catch (const EBrokerError&) {
            }
        }
        return QStringLiteral("<unreadable>");
    }

    // --- the checks after each action of user A ---

    void Check() {
        const std::vector<test::LoggedCall> calls = log_tail_->Next();
        bool filed = false;
        for (const test::LoggedCall& call : calls) {
            if (call.name != "DDR FILER") continue;
            filed = true;
            if (call.Literal(0) != "EDIT") continue;
            for (const test::LoggedEntry& e : call.params) {
                if (e.param != 1 || e.kind != "list") continue;
                const QStringList pieces = QString::fromStdString(e.value).split(u'^');
                if (pieces.size() < 4) continue;
                for (const auto& [key, typed] : pendingBefore_) {
                    if (key.first->FileNumber != pieces[0] || key.second != pieces[1]) continue;
                    QString record = typed.record;
                    record.chop(1);
                    if (pieces[2] != record)
                        Violation("field " + pieces[1].toStdString() + " typed into " +
                                  record.toStdString() + " was filed into " +
                                  pieces[2].toStdString());
                }
            }
        }
        if (savedSeen_ && !filed) Violation("\"Saved:\" without a filing call");
        for (const auto& [file, field, typed] : toCheck_) {
            const QString stored = StoredValue(file, typed.record, field);
            if (stored != typed.internal)
                Violation("shown as saved, " + field.toStdString() + " = " +
                          typed.internal.toStdString() + " of " + file.toStdString() + " " +
                          typed.record.toStdString() + " is " + stored.toStdString() +
                          " on the server");
        }
        toCheck_.clear();
        savedSeen_ = false;

        // A field typed into again holds only its new value.
        if (lastTyped_.first) pending_.erase({lastTyped_.first->source, lastTyped_.first->field});
        // What was typed is still shown, unless the user let it go.
        for (auto it = pending_.begin(); it != pending_.end();) {
            TvornSource* source = it->first.first;
            const Slot* slot = SlotOf(source, it->first.second);
            if (discarded_.count(source)) {
                it = pending_.erase(it);
                continue;
            }
            if (slot->shown() != it->second.shown)
                Violation("the typed " + slot->label + " " + it->second.shown.toStdString() +
                          " is gone without a question");
            else if (!source->ChangedControls().contains(slot->control))
                Violation("the typed " + slot->label + " " + it->second.shown.toStdString() +
                          " is shown but no longer a change to file");
            ++it;
        }
        discarded_.clear();
        // The value just typed, when it became a change of its record.
        if (lastTyped_.first) {
            const Slot& slot = *lastTyped_.first;
            Typed typed = lastTyped_.second;
            if (slot.shown() == typed.shown &&
                slot.source->ChangedControls().contains(slot.control)) {
                typed.record = slot.source->FullIens();
                pending_[{slot.source, slot.field}] = typed;
            }
            lastTyped_ = {};
        }
        for (TvornSource* s : {a->labTest, a->subresult, a->departmental}) {
            if (s->State() != ssEdit) continue;
            const TvornSource* top = s;
            while (top->IsHierarchicalDetail())
                top = top->Master();
            touched_.insert({top->FileNumber, top->RecordNumber()});
        }
        pendingBefore_ = pending_;
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
        Note("seed " + std::to_string(seed));
        AsUser(a.get(), "show a lab test", [&] {
            a->labTest->GetAndFill(QString::number(std::vector<int>{1, 35, 36, 2}[Pick(4)]));
        });
        for (int i = 0; i < kActions && violations_.empty(); ++i)
            RunAction();
        CloseForm(true);
        if (EnvNumber("VORN_MODEL_VERBOSE", 0)) {
            for (const std::string& line : log_)
                std::printf("%s\n", line.c_str());
        }
        if (!violations_.empty()) {
            std::string text;
            for (const std::string& line : log_)
                text += line + "\n";
            ADD_FAILURE() << "the model was broken; replay with VORN_MODEL_SEED=" << seed << "\n"
                          << text;
        }
        return violations_.empty();
    }

    std::unique_ptr<LabTestEditForm> a;
    std::unique_ptr<LabTestEditForm> b;

  private:
    std::mt19937 rng_;
    TRPCBroker* checker_ = nullptr;
    std::unique_ptr<test::CallLogTail> log_tail_;
    std::vector<Slot> slots_;
    LabTestEditForm* actor_ = nullptr;
    TvornSource* timerSource_ = nullptr;
    std::map<std::pair<TvornSource*, QString>, Typed> pending_;
    std::map<std::pair<TvornSource*, QString>, Typed> pendingBefore_;
    std::pair<const Slot*, Typed> lastTyped_{};
    std::set<TvornSource*> discarded_;
    struct Expected {
        QString file;
        QString field;
        Typed typed;
    };
    std::vector<Expected> toCheck_;
    std::set<std::pair<QString, QString>> touched_;
    mutable std::vector<std::string> log_;
    std::vector<std::string> violations_;
    bool savedSeen_ = false;
    bool sawBrokerError_ = false;
    bool forceNo_ = false;
    bool closed_ = false;
};

class Sequences : public Model, public ::testing::WithParamInterface<int> {};

TEST_P(Sequences, KeepEveryTypedValueFileItWhereItWasTypedAndLeaveNoLock) {
    const int replay = EnvNumber("VORN_MODEL_SEED", -1);
    if (replay >= 0) {
        if (GetParam() == 0) RunSequence(static_cast<unsigned>(replay));
        return;
    }
    const int count = EnvNumber("VORN_MODEL_SEQUENCES", kSequencesPerShard);
    for (int i = 0; i < count; ++i)
        if (!RunSequence(static_cast<unsigned>(GetParam() * 100000 + i))) break;
}

INSTANTIATE_TEST_SUITE_P(Shards, Sequences, ::testing::Range(0, kShards));

}  // namespace
}  // namespace vorn
