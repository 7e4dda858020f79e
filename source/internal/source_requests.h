// Building the data source's other calls (access, help, locks, deletion, the master link) and
// reading their answers.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "broker/rpc_reply.h"
#include "broker/rpc_request.h"

#pragma GCC visibility push(default)
namespace vorn::requests {

// "VRNX DDU FILE ACCESS" of a file, and the rights its answer grants.
RpcRequest FileAccess(const QString& file);
struct FileAccessAnswer {
    bool answered = false;  // false: the answer had no access line
    QString userData;
    bool read = false;
    bool write = false;
    bool del = false;
    bool laygo = false;
};
FileAccessAnswer ReadFileAccess(const RpcReply& reply);

// "VRNX USERDATA", and the user text of its answer (empty when it has none).
RpcRequest UserData();
QString ReadUserData(const RpcReply& reply);

// "VRNX HELP" of a field: `kind` "H" for the help text, "D" for the description.
RpcRequest FieldHelp(const QString& file, const QString& field, const QString& kind);
QString ReadFieldHelp(const RpcReply& reply);

// "VRNX DDU POINTER LAYGO": may new entries be added through a pointer field.
RpcRequest PointerLaygo(const QString& file, const QString& field);
bool ReadPointerLaygo(const RpcReply& reply);

// "VRNX LOCKS" with `action` "LOCK" or "UNLOCK" of record `record`.
RpcRequest Lock(const QString& file, const QString& record, const QString& action);
bool ReadLockDone(const RpcReply& reply);
// Why the server refused a lock when it says why (its errors section: a user without the right
// to change the file's records, a record that is gone); empty for a lock held by another user.
QStringList ReadLockRefusal(const RpcReply& reply);

// "VRNX RECORD POINTER CHECK" with the limits of the report.
RpcRequest PointerCheck(const QString& file, const QString& record, int files, int records,
                        int noXrefs);
// True when nothing points to the record.
bool ReadNoPointers(const RpcReply& reply);
// The reasons of a pointer check the server could not make (its answer has no data section):
// its error lines, or a line saying that it answered nothing. Empty when the check was made.
QStringList ReadPointerCheckFailure(const RpcReply& reply);
// Whether a record that others point to may still be deleted (the third line is " ").
bool ReadDeletionAllowed(const RpcReply& reply);
// The lines of the pointer report from line `from` (from 0) on, "[END_diDATA]" left out.
QStringList PointerReport(const RpcReply& reply, int from);

// "VRNX RECORD DELETE" of a record, and the deleted record's text: the first line of the
// answer's data section, empty when the server refused (its errors section) or said nothing.
RpcRequest RecordDelete(const QString& file, const QString& record);
QString ReadDeletedText(const RpcReply& reply);

// The deletion of a sub-file entry through "DDR FILER" ("@" as the value of its .01 field).
RpcRequest SubFileDelete(const QString& file, const QString& record);
// True when the filer's answer holds no errors section.
bool ReadFilerAccepted(const RpcReply& reply);

// "VRNX DDU LOCATION" of a field, and the "node;piece" of its answer.
RpcRequest Location(const QString& file, const QString& field);
std::optional<QString> ReadLocation(const RpcReply& reply);

// The screen of a logical detail: "I 12=$P($G(^(0)),U,2)" for master record 12 and a link
// field stored at "0;2".
QString LinkScreen(const QString& masterRecord, const QString& location);

}  // namespace vorn::requests

#pragma GCC visibility pop
