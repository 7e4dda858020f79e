// The calls of server reports and printing, and the reading of their replies: plain functions,
// so that what goes on the wire and what is taken from a reply can be checked without a form.
#pragma once

#include <QString>
#include <QStringList>

#include "broker/rpc_reply.h"
#include "broker/rpc_request.h"

namespace vorn::output {

// --- "VRNX REPORT" ---

// The print request of a report, its values passed on as they are.
struct ReportParameters {
    QString file;
    QStringList fieldNumbers;
    QString from;
    QString whereTo;
    QString by;
    QString dhd;
    QString iop;
    QString dis0;
    QString dis1;
    QString routine;
};

// "FILE", "FIELDS" (every line followed by ";"), then "FROM", "BY", "TO", "DHD", "IOP",
// "DIS0", "DIS1" and "ROUTINE", each only when not empty.
RpcRequest ReportRequest(const ReportParameters& report);

struct ReportAnswer {
    QStringList data;
    QStringList errors;
    // The stored document's handle: the first data line, or empty.
    QString handle;
};
ReportAnswer ReadReportAnswer(const RpcReply& reply);

// --- "VRNX OUTCR" ---

// The next lines of stored document `handle`.
RpcRequest PageRequest(const QString& handle);

struct PageAnswer {
    enum class Shape {
        Nothing,    // a reply of one line or none: it adds nothing
        Sectioned,  // read by sections: its data lines follow those taken before
        Whole,      // any other reply: the whole reply is the document
    };
    Shape shape = Shape::Nothing;
    QString position;  // how many lines the server has handed out, as it says
    bool more = false;
    QStringList lines;
    QStringList errors;
};
PageAnswer ReadPageAnswer(const RpcReply& reply);

// A document paged in reply by reply.
class DocumentPaging {
  public:
    // No document holds more lines than this; a server that sends more is not followed.
    static constexpr qsizetype kMaxLines = 2'000'000;

    // Takes one reply; true when the next page is to be asked for.
    bool Take(const PageAnswer& answer);

    const QStringList& Lines() const { return lines_; }
    // The error lines of the last reply.
    const QStringList& Errors() const { return errors_; }
    // The server said more would follow but sent nothing new (or far too much): paging
    // stopped there rather than ask for ever.
    bool Stalled() const { return stalled_; }
    int Replies() const { return replies_; }

  private:
    QStringList lines_;
    QStringList errors_;
    bool stalled_ = false;
    int replies_ = 0;
};

}  // namespace vorn::output
