// What the help window shows for a data source: the name of its file as the server knows it and
// the description of that file. A plain file's name and description are entries of the
// server's file of files (file 1: field .01 the name, field 4 the description); a sub-file kept
// inside its master's records is a field of the master's file, whose label is the name and
// whose description is the help. The calls and the reading of their replies are plain
// functions; the two source functions below make the calls.
#pragma once

#include <QString>
#include <QStringList>

#include "broker/rpc_reply.h"
#include "broker/rpc_request.h"

namespace vorn {

class TvornSource;

namespace filehelp {

// "VRNX DDU FIELDS" of `file`: one line per field.
RpcRequest FieldsRequest(const QString& file);

// The field of a master file that holds sub-file `subFile`.
struct SubFileField {
    QString field;  // first piece of the first line whose fourth piece is the sub-file
    QString name;   // second piece of the last such line
};
// Nothing unless the reply begins with "[Data]" or "[BEGIN_diDATA]".
SubFileField ReadSubFileField(const RpcReply& reply, const QString& subFile);

// The lines of a "VRNX HELP" reply up to "[END_diHELP]": none unless it has three lines or more
// and begins with "[BEGIN_diHELP]".
QStringList ReadHelpLines(const RpcReply& reply);

// "DDR GETS ENTRY DATA" of `fields` of file `file`'s entry in the file of files.
RpcRequest FileEntryRequest(const QString& file, const QStringList& fields);
// The external value of the file's name (.01) in that answer.
QString ReadFileName(const RpcReply& reply, const QString& file);
// The text lines of the file's description (4): the lines between its marker line and
// "$$END$$". What follows that line (the closing "$$END$$" itself, "[END_diDATA]") is not
// description.
QStringList ReadDescription(const RpcReply& reply);

}  // namespace filehelp

// The name and the help lines of a source's file.
struct FileHelp {
    QString name;
    QStringList lines;
};

// The name of `source`'s file as the server knows it. Empty without a file number, without a
// broker, or with a broker that names no server (empty Server or ListenerPort 0).
QString GetFileName(TvornSource& source);

// The help lines of `source`'s file: for a sub-file kept in its master's records, the
// description of the master's field that holds it; for any other source, the description of its
// file. None without a file number or a broker.
QStringList FileHelpLines(TvornSource& source);

// Both, as the two functions above give them, in one call for a plain file and two for a
// sub-file.
FileHelp GetFileHelp(TvornSource& source);

}  // namespace vorn
