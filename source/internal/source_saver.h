// Turning the edits of a form into server changes: single values checked as the user leaves a
// control, required fields, filing the changed fields of a stored record or all fields of a
// new one, and the question before a changed record is left. The saver owns the edit under
// way (pending_edit.h).
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "source/internal/pending_edit.h"
#include "source/source_outcome.h"

namespace vorn {

class SourceHistory;
class SourceLocker;
class SourceNavigator;
class SourceCore;

// A required field found empty at the last save.
struct MissingField {
    TvornBoundControl* control;
    QString displayName;
};

class SourceSaver {
  public:
    SourceSaver(SourceCore& source, SourceNavigator& navigator, SourceLocker& locker,
                SourceHistory& history)
        : s_(source), navigator_(navigator), locker_(locker), history_(history) {}

    // --- the edit under way: only these change it ---
    // The edit begins on the record at `address` (a state that edits was entered).
    void BeginEdit(const SourceAddress& address) { edit_.Begin(address); }
    // The edit is about no record any more; its changes, if any, stay until forgotten.
    void EndEdit() { edit_.End(); }
    // Forgets the changed controls and the extra filer lines.
    void ForgetChanges() { edit_.Forget(); }
    // A control the user changed; once, and only while the state and the access let the
    // record change.
    void AddChanged(TvornBoundControl* control);
    // A control whose value went back to the read value; true when no changed control is left.
    bool RemoveChanged(TvornBoundControl* control) { return edit_.Remove(control); }
    void AddExtra(const filer::ExtraLine& line) { edit_.AddExtra(line); }
    bool HasChanges() const { return edit_.HasChanges(); }
    // The edit is a stored record saved as a copy, not yet filed.
    bool HoldsCopy() const { return edit_.IsCopy(); }
    QList<TvornBoundControl*> Changed() const { return edit_.Changed(); }
    const QList<MissingField>& MissingFields() const { return missing_; }

    // The server's check of one value, as the validation events leave it; a refusal is noted
    // on the source's outcome with the validator's reasons.
    ValidatedValue ValidateField(const QString& field, const QString& value);
    bool SetFieldValue(const QString& field, const QString& value);
    bool Save();
    bool SaveAs();
    bool CheckSaveChanges();
    // The focused control settles its value; false when the server refused it.
    bool CommitActiveControl();

    bool Saving() const { return saving_; }
    bool Validating() const { return validating_; }

  private:
    // Every changed control (and the focused one) makes what it files agree with what it
    // shows; false at the first value the server refuses (the control has said so).
    bool CommitChanges();
    // The first required field without a value stops the save with message 1051; a control
    // that reports its required value missing stops it with message 1038.
    bool RequiredFieldsPresent(bool newRecord);
    // The lock of a record being changed is held on the link in use, and the record is as it
    // was read; a lock that went with a dead link is taken again.
    bool LockStillHeld();
    // Files the changes with one "DDR FILER" call; true when it succeeded. A refusal is noted
    // on the source's outcome with the server's reasons, and a call whose link failed after it
    // went out as unanswered.
    bool File();
    // Message 1034 or 1037: the question before changes are saved.
    QString ChangeQuestion();
    // The report of a refused filing: message 1040 or 1043 with the server's reasons.
    QString RefusalReport(int id) const;
    // After a filing the edit is over: its lock goes, whatever the read-back meets.
    void EndFiledEdit();

    SourceCore& s_;
    SourceNavigator& navigator_;
    SourceLocker& locker_;
    SourceHistory& history_;
    PendingEdit edit_;
    QList<MissingField> missing_;
    bool saving_ = false;
    bool validating_ = false;
    bool committing_ = false;
};

}  // namespace vorn
