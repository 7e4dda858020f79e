// The vorn-rpc program itself, as its main runs it, with the terminal and the output streams
// handed in.
#pragma once

#include <QString>
#include <QStringList>
#include <iosfwd>

namespace vorn::cli {

class Terminal;

// Parses `arguments`, signs on through `terminal` (or with `codes`, "ACCESS;VERIFY", when not
// empty), opens the context, calls the procedure and writes each result line to `out`; what went
// wrong goes to `err`. Gives the exit status: 0 done, 1 a broker error or a context the server
// refused, 2 a usage error. The connection is closed before it returns.
int RunRpcProgram(const QStringList& arguments, Terminal& terminal, const QString& codes,
                  std::ostream& out, std::ostream& err);

}  // namespace vorn::cli
