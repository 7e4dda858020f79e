#include "output/related_records.h"

#include <QApplication>
#include <algorithm>
#include <exception>
#include <functional>

#include "broker/broker_error.h"
#include "controls/dialog_edit.h"
#include "output/internal/pntr_conf_form.h"
#include "source/internal/source_core.h"
#include "source/internal/source_messages.h"
#include "source/message_text.h"
#include "source/server_queries.h"
#include "source/timed_message.h"
#include "source/vorn_source.h"
#include "toolkit/event_guard.h"
#include "toolkit/modal_seam.h"

namespace vorn {
namespace related {

QString DeletionCounts(int deleted, int notDeleted) {
    return QStringLiteral("%1 deleted, %2 not deleted.").arg(deleted).arg(notDeleted);
}

QString DeletionLinkFailure(const QString& fileName, const DeletionTally& tally) {
    if (!tally.begun)
        return QStringLiteral("The link to the server failed before any record of ") + fileName +
               QStringLiteral(" was deleted.");
    QString text = QStringLiteral("The link to the server failed while the records of ") +
                   fileName + QStringLiteral(" were being deleted.\n") +
                   DeletionCounts(tally.deleted, tally.notDeleted);
    if (tally.unknown)
        text += QStringLiteral("\nWhether the record being deleted then is gone is not known.");
    return text;
}

QString FilingLinkFailure(const QString& fileName, int count, bool moving, Filing filing) {
    const QString what = moving ? QStringLiteral("records of ") + fileName
                                : QStringLiteral("references in ") + fileName;
    const QString done = moving ? QStringLiteral("moved") : QStringLiteral("cleared");
    const QString number = QString::number(count);
    switch (filing) {
        case Filing::NotSent:
            return QStringLiteral("The link to the server failed before the ") + what +
                   QStringLiteral(" were ") + done + QStringLiteral(". None of the ") + number +
                   QStringLiteral(" was ") + done + u'.';
        case Filing::Unanswered:
            return QStringLiteral("The link to the server failed while the ") + number + u' ' +
                   what + QStringLiteral(" were being ") + done +
                   QStringLiteral(
                       ". The server does it for all of them or for none, and which "
                       "it did is not known.");
        case Filing::Filed:
            return QStringLiteral("The ") + number + u' ' + what + QStringLiteral(" were ") + done +
                   QStringLiteral(", but the link to the server failed afterwards.");
    }
    return {};
}

}  // namespace related

namespace {

constexpr int kMsgSavingFailed = 40;
constexpr int kMsgDeletingFailed = 47;
constexpr int kMsgRelated = 119;
constexpr int kMsgDeleteQuestion = 123;
constexpr int kMsgMoveQuestion = 124;
constexpr int kMsgMoved = 125;
constexpr int kMsgDeleted = 126;
constexpr int kMsgClearQuestion = 145;
constexpr int kMsgCleared = 146;

// The detail's messages are off while an action walks through its records, and as they were
// afterwards, however the action ends.
class QuietMessages {
  public:
    explicit QuietMessages(TvornSource& source) : source_(source), was_(source.ShowMessages) {
        source.ShowMessages = false;
    }
    ~QuietMessages() { source_.ShowMessages = was_; }

  private:
    TvornSource& source_;
    bool was_;
};

// A logical detail is filed as a plain file: its own save would put the master's record into
// its link again.
class FiledAsPlainFile {
  public:
    explicit FiledAsPlainFile(TvornSource& source) : source_(source), was_(source.TypeIfSubFile) {
        source.TypeIfSubFile = TvornSubFileType::None;
    }
    ~FiledAsPlainFile() { source_.TypeIfSubFile = was_; }

  private:
    TvornSource& source_;
    TvornSubFileType was_;
};

bool ShowsSavedRecord(const TvornSource& master) {
    return master.Active() && master.Address().IsStored();
}

// The detail at its first related record; false when it could not be opened, or when the user
// kept an edit of it that the move to the first record asked about.
bool ToFirstRecord(TvornSource& detail) {
    if (!detail.Active()) detail.Open();
    if (!detail.Active()) return false;
    detail.First();
    return !SourceCore::Of(detail).Owners().saver.HasChanges();
}

// The addresses of the detail's records, from the one it shows on with Next until an address
// repeats or none is shown.
QStringList CollectRecords(TvornSource& detail) {
    QStringList addresses;
    for (;;) {
        const QString address = detail.Address().FullIens();
        if (address.isEmpty() || addresses.contains(address)) break;
        addresses.append(address);
        detail.Next();
    }
    return addresses;
}

QString WithoutTrailingComma(QString address) {
    if (address.endsWith(u',')) address.chop(1);
    return address;
}

QString Parameters(const QStringList& values) {
    return values.join(u'^');
}

struct Relinked {
    bool filed = false;
    int count = 0;
    std::exception_ptr linkFailure;
    related::Filing filing = related::Filing::NotSent;
};

// Files `value` into the link field of every record of the detail with one filing call, then
// runs `afterwards`. A failed link is caught and said where the filing stood.
Relinked Relink(TvornSource& detail, const QString& value,
                const std::function<void()>& afterwards) {
    Relinked result;
    bool staged = false;
    try {
        QuietMessages quiet(detail);
        const QStringList records = CollectRecords(detail);
        result.count = static_cast<int>(records.size());
        if (records.isEmpty()) {
            result.filed = true;
            return result;
        }
        // The filing goes with the edit of the record shown, which locks it; every record's
        // line carries its own address.
        if (!detail.BeginEdit()) return result;
        for (const QString& record : records)
            SourceCore::Of(detail).Owners().saver.AddExtra(
                {detail.FileNumber, detail.LinkField, WithoutTrailingComma(record), value});
        staged = true;
        {
            FiledAsPlainFile plain(detail);
            result.filed = detail.Save();
        }
        if (!result.filed) {
            // Nothing was filed: the staged lines and the lock go.
            detail.Cancel();
            return result;
        }
        afterwards();
    } catch (const EBrokerError&) {
        result.linkFailure = std::current_exception();
        if (!staged)
            result.filing = related::Filing::NotSent;
        else if (!SourceCore::Of(detail).Owners().saver.HasChanges())
            result.filing = related::Filing::Filed;
        else
            result.filing = detail.LastOutcome().unanswered ? related::Filing::Unanswered
                                                            : related::Filing::NotSent;
        if (SourceCore::Of(detail).Owners().saver.HasChanges()) {
            try {
                detail.Cancel();
            } catch (const EBrokerError&) {
                // The link is gone: what is staged is forgotten all the same.
            }
        }
    }
    return result;
}

// The link failure's report, or the failure itself for a detail that shows no messages. It is
// shown the way an error nobody caught is: the toolset's message dialog would ask the server
// that is out of reach for its captions.
void ReportLinkFailure(const TvornSource& detail, const Relinked& result, bool moving) {
    if (!detail.ShowMessages) std::rethrow_exception(result.linkFailure);
    ui::ShowErrorMessage(
        related::FilingLinkFailure(detail.FileName, result.count, moving, result.filing));
}

bool Ask(const QString& question) {
    return TimedMessageDlg(question, ui::MessageKind::Confirmation, ui::mbYes | ui::mbNo) ==
           ui::mrYes;
}

}  // namespace

bool DeleteAll(TvornSource& master, TvornSource& detail) {
    if (!ShowsSavedRecord(master) || detail.TypeIfSubFile == TvornSubFileType::None) return false;
    if (!ToFirstRecord(detail)) return false;
    const int before = SourceCore::Of(detail).Owners().deleter.DeletedCount();
    related::DeletionTally tally;
    int total = 0;
    try {
        QuietMessages quiet(detail);
        total = static_cast<int>(CollectRecords(detail).size());
        tally.begun = true;
        for (;;) {
            const QString noted = detail.Address().Number();
            if (noted.isEmpty()) break;
            if (detail.Delete()) detail.First();
            const QString now = detail.Address().Number();
            if (now.isEmpty() || now == noted) break;
        }
    } catch (const EBrokerError&) {
        tally.deleted = SourceCore::Of(detail).Owners().deleter.DeletedCount() - before;
        tally.unknown = detail.LastOutcome().unanswered;
        tally.notDeleted = std::max(0, total - tally.deleted - (tally.unknown ? 1 : 0));
        if (!detail.ShowMessages) throw;
        ui::ShowErrorMessage(related::DeletionLinkFailure(detail.FileName, tally));
        return false;
    }
    const int deleted = SourceCore::Of(detail).Owners().deleter.DeletedCount() - before;
    TRPCBroker* broker = detail.RPCBroker();
    if (!detail.Address().HasRecord()) {
        if (detail.ShowMessages && detail.InformMessages.testFlag(InformDelete))
            say::Information(GetDialogText(
                kMsgDeleted, Parameters({QString::number(deleted), detail.FileName}), broker));
        return true;
    }
    if (detail.ShowMessages) {
        // Said as a single deletion says it: without the server's reason the user cannot tell
        // a right they lack from a record another holds.
        QString report = GetDialogText(kMsgDeletingFailed, {}, broker);
        for (const QString& reason : detail.LastOutcome().lines)
            report += say::kLineBreak + reason;
        if (deleted > 0)
            report +=
                say::kLineBreak + related::DeletionCounts(deleted, std::max(0, total - deleted));
        say::Error(report);
    }
    return false;
}

bool MoveAll(TvornSource& master, TvornSource& detail, const QString& target) {
    if (!ShowsSavedRecord(master) || target.isEmpty() ||
        detail.TypeIfSubFile != TvornSubFileType::Logical || detail.LinkField.isEmpty())
        return false;
    if (!ToFirstRecord(detail)) return false;
    QString targetName;
    const Relinked result = Relink(detail, target, [&] {
        // The records belong to another master now: the detail lists none of them.
        detail.Refresh();
        detail.Clear();
        targetName = GetRecordIdentifiers(master.FileNumber, target, master.RPCBroker());
    });
    if (result.linkFailure) {
        ReportLinkFailure(detail, result, true);
        return false;
    }
    if (!detail.ShowMessages) return result.filed;
    TRPCBroker* broker = detail.RPCBroker();
    if (!result.filed)
        say::Error(GetDialogText(kMsgSavingFailed, {}, broker));
    else
        say::Information(GetDialogText(
            kMsgMoved, Parameters({QString::number(result.count), detail.FileName, targetName}),
            broker));
    return result.filed;
}

bool ClearAll(TvornSource& master, TvornSource& detail) {
    if (!ShowsSavedRecord(master) || detail.TypeIfSubFile == TvornSubFileType::None ||
        detail.LinkField.isEmpty())
        return false;
    if (!ToFirstRecord(detail)) return false;
    const Relinked result = Relink(detail, QString(), [&] { master.Refresh(); });
    if (result.linkFailure) {
        ReportLinkFailure(detail, result, false);
        return false;
    }
    const bool success = result.filed && !detail.Address().HasRecord();
    if (detail.ShowMessages) {
        TRPCBroker* broker = detail.RPCBroker();
        if (!result.filed)
            say::Error(GetDialogText(kMsgSavingFailed, {}, broker));
        else
            say::Information(GetDialogText(
                kMsgCleared, Parameters({QString::number(result.count), detail.FileName}), broker));
    }
    return success;
}

bool RunRelatedRecords(TvornSource* master, TvornSource* detail, bool deleteOffered,
                       QObject* moveChooser, bool clearOffered, bool moveOffered) {
    auto* chooser = qobject_cast<TvornDialogEdit*>(moveChooser);
    if (moveChooser && !chooser) return false;
    if (!master || !detail || master->FileNumber.isEmpty() || detail->FileNumber.isEmpty() ||
        !master->RPCBroker() || !master->Active() ||
        detail->TypeIfSubFile == TvornSubFileType::None)
        return false;
    // Records kept inside the master's records cannot move to another master, nor lose it.
    if (detail->TypeIfSubFile == TvornSubFileType::Hierarchical) {
        moveOffered = false;
        clearOffered = false;
    }
    if (!deleteOffered && !moveOffered && !clearOffered) return false;
    if (!master->Address().IsStored()) return false;
    if (!ToFirstRecord(*detail)) return false;
    // Nothing related: done, unless the detail's own screen may hide records.
    if (!detail->Address().HasRecord()) return detail->FMScreen.isEmpty();

    TPntrConfFrm form(chooser ? chooser->window() : QApplication::activeWindow());
    form.Setup(*master, *detail, clearOffered, moveOffered, deleteOffered, chooser);
    TRPCBroker* broker = master->RPCBroker();
    const QString related =
        GetDialogText(kMsgRelated, Parameters({form.MasterName, detail->FileName}), broker) +
        say::kLineBreak;
    using Action = TPntrConfFrm::Action;
    Action action = Action::None;
    if (int(deleteOffered) + int(moveOffered) + int(clearOffered) >= 2) {
        form.DirectMove = false;
        ui::Modal().ExecModal(form);
        action = form.ChosenAction;
    } else if (deleteOffered) {
        if (Ask(related + QStringLiteral(" ") + say::kLineBreak +
                GetDialogText(kMsgDeleteQuestion, detail->FileName, broker)))
            action = Action::Delete;
    } else if (moveOffered) {
        if (Ask(related + GetDialogText(kMsgMoveQuestion,
                                        Parameters({detail->FileName, master->FileName}),
                                        broker))) {
            // The form only picks the target; its list leaves the master's own record out.
            form.DirectMove = true;
            ui::Modal().ExecModal(form);
            action = form.ChosenAction;
        }
    } else if (Ask(related + GetDialogText(kMsgClearQuestion, {}, broker))) {
        action = Action::Clear;
    }
    switch (action) {
        case Action::Delete:
            return DeleteAll(*master, *detail);
        case Action::Move:
            return !form.MoveTarget.isEmpty() && MoveAll(*master, *detail, form.MoveTarget);
        case Action::Clear:
            return ClearAll(*master, *detail);
        case Action::None:
            break;
    }
    return false;
}

}  // namespace vorn
