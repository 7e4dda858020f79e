// The toolset's message texts, numbered 1 to 95 (and above, on the server only). The server
// is asked for a text by its four-digit number ("1007" for message 7); without any broker the
// program's own string table answers.
#pragma once

#include <QString>
#include <QStringList>

#pragma GCC visibility push(default)
namespace vorn {

class TRPCBroker;

// The four-digit number of message `id`: 7 -> "1007", 58 -> "1058", 119 -> "1119". Ids that
// already have four digits or more are sent as they stand.
QString MessageNumber(int id);

// The values of a "^"-separated parameter text, up to the first empty one.
QStringList MessageParameters(const QString& parameters);

// The text of message `id` with `parameters` ("^"-separated values, may be empty) placed by
// the server. The lookup goes through the message broker; when there is none yet, `broker`
// becomes it, or else the first broker of the application. Without any broker the text comes
// from the string table (without the parameters). An empty answer of the server is an empty
// text. Server errors pass to the caller as EBrokerError.
QString GetDialogText(int id, const QString& parameters = QString(), TRPCBroker* broker = nullptr);

// With a broker: GetDialogText(id, "", broker). Without: the string table's text of id.
QString GetMessageText(int id, TRPCBroker* broker);

}  // namespace vorn

#pragma GCC visibility pop
