// The related-records operation: for the current record of a master data source, act on all
// records of a detail data source that belong to it. Delete them all, move them all to another
// record of the master's file, or clear their link to it; the user confirms first (the
// confirmation form TPntrConfFrm, or a question when one action alone is offered).
//
// Each action is one piece of work on the server's side or is reported honestly. Moving and
// clearing file every record's link in one "DDR FILER" call, which the server files whole or not
// at all. Deleting goes record by record: when the link to the server fails part-way, the user
// is told how many records were deleted and how many were not.
#pragma once

#include <QString>

#pragma GCC visibility push(default)
class QObject;

namespace vorn {

class TvornSource;

// Asks which action to take (among delete, move and clear as offered; move and clear only for a
// detail that points to the master, not for one kept inside the master's records) and takes it.
// `moveChooser`, when given, must be a dialog edit (TvornDialogEdit): the pick list of a move
// takes its columns and caption from it. True when the chosen action succeeded, and when the
// master's record has no related records at all (unless the detail's own screen may hide some);
// false when nothing was chosen, nothing could be done, or `moveChooser` is something else.
bool RunRelatedRecords(TvornSource* master, TvornSource* detail, bool deleteOffered,
                       QObject* moveChooser, bool clearOffered, bool moveOffered);

// The three actions, each true on success and each telling the user its result when the
// detail shows messages (ShowMessages).
bool DeleteAll(TvornSource& master, TvornSource& detail);
// Points every related record to record `target` of the master's file.
bool MoveAll(TvornSource& master, TvornSource& detail, const QString& target);
// Empties the link field of every related record.
bool ClearAll(TvornSource& master, TvornSource& detail);

namespace related {

// What became of the records of a deletion whose link failed.
struct DeletionTally {
    bool begun = false;    // the records were counted and deleting had begun
    int deleted = 0;       // the server confirmed their deletion
    int notDeleted = 0;    // still there
    bool unknown = false;  // the link failed under a deletion call: that record may be gone
};
// The report of a "delete all" whose link failed (a plain error message: the toolset's message
// dialog needs the server for its captions).
QString DeletionLinkFailure(const QString& fileName, const DeletionTally& tally);
// "N deleted, M not deleted.": the line added to a refused deletion's report.
QString DeletionCounts(int deleted, int notDeleted);

// Where the one filing call of a move or a clear stood when the link failed.
enum class Filing { NotSent, Unanswered, Filed };
// The report of a "move all" (`moving`) or "clear all" whose link failed: `count` records of
// file `fileName`.
QString FilingLinkFailure(const QString& fileName, int count, bool moving, Filing filing);

}  // namespace related
}  // namespace vorn

#pragma GCC visibility pop
