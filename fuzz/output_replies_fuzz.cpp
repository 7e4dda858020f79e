// The readers of the report, paging and file help replies fed an arbitrary answer: none crashes
// or hangs, what each returns is made of the answer's own lines (help text never holds the line
// that ends it), and a server that says "more" without sending anything is not asked again.
#include <cstdint>

#include <QString>
#include <QStringList>

#include "broker/rpc_reply.h"
#include "broker/section_reader.h"
#include "output/internal/file_help.h"
#include "output/internal/print_requests.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

void CheckFromAnswer(const QStringList& part, const vorn::RpcReply& reply) {
    Check(part.size() <= reply.Count());
    for (const QString& line : part.mid(0, 16))
        Check(reply.Lines().contains(line));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const vorn::RpcReply reply(
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    using namespace vorn::output;
    const ReportAnswer report = ReadReportAnswer(reply);
    CheckFromAnswer(report.data, reply);
    CheckFromAnswer(report.errors, reply);
    Check(report.handle.isEmpty() || report.handle == report.data.first());

    const PageAnswer page = ReadPageAnswer(reply);
    CheckFromAnswer(page.lines, reply);
    CheckFromAnswer(page.errors, reply);
    Check(page.shape != PageAnswer::Shape::Nothing || page.lines.isEmpty());

    // A server answering the same page for ever: paging goes on only while it brings lines.
    DocumentPaging paging;
    int asked = 0;
    while (asked < 64 && paging.Take(page))
        ++asked;
    Check(asked == 0 || (page.more && !page.lines.isEmpty()));
    Check(!paging.Stalled() || paging.Replies() == 1);

    const QStringList help = vorn::filehelp::ReadHelpLines(reply);
    CheckFromAnswer(help, reply);
    Check(!help.contains(vorn::kEndHelpMarker));
    const QStringList description = vorn::filehelp::ReadDescription(reply);
    CheckFromAnswer(description, reply);
    Check(!description.contains(QStringLiteral("$$END$$")));
    const vorn::filehelp::SubFileField holder = vorn::filehelp::ReadSubFileField(reply, "80001.02");
    Check(reply.IsDataMarkerAt(0) || (holder.field.isEmpty() && holder.name.isEmpty()));
    return 0;
}
