#include "lookup/vorn_finder.h"

#include "broker/pieces.h"
#include "lookup/internal/finder_request.h"
#include "source/internal/no_broker_link.h"
#include "source/internal/source_messages.h"

namespace vorn {

QString FinderWithoutBrokerText(const QString& componentName) {
    return u'"' + componentName +
           QStringLiteral(
               "\" is not assoicated with a Broker link.\r\n"
               "Please contact developer for assistance.\r\rThank you.");
}

TvornFinder::TvornFinder(QObject* owner) : QObject(owner) {}

void TvornFinder::SetIENS(const QString& iens) {
    iens_ = iens;
    if (!iens_.isEmpty() && !iens_.endsWith(u',')) iens_ += u',';
}

void TvornFinder::GetList(QStringList* target) {
    fromLines_.clear();
    fromIen_.clear();
    Records.clear();
    receivedNumbers_.clear();
    lookupRequested_ = !partList_.isEmpty();
    if (target) target->clear();
    if (BeforeGetList) BeforeGetList(this, Screen, FMIndex, Number, iens_, partList_);
    Run(target);
    if (AfterGetList) AfterGetList(this);
}

void TvornFinder::GetMore(QStringList* target) {
    if (BeforeGetMore)
        BeforeGetMore(this, Screen, FMIndex, Number, iens_, FromIENS, partList_, FromList);
    fromLines_ = FromList;
    fromIen_ = FromIENS;
    Run(target);
    if (AfterGetMore) AfterGetMore(this);
}

void TvornFinder::Run(QStringList* target) {
    MoreRecords = false;
    errors_.clear();
    if (!broker_) throw ENoBrokerLink(FinderWithoutBrokerText(objectName()));
    if (FileNumber.isEmpty()) {
        say::Warning(QStringLiteral("File Number is not initialized!"));
        return;
    }
    finder::Query query;
    query.file = FileNumber;
    query.fields = FieldList;
    query.lookup = lookupRequested_;
    query.partList = partList_;
    query.finderFlags = FinderFlags;
    query.listerFlags = ListerFlags;
    query.rpcVersion = broker_->RpcVersion;
    query.identifier = Identifier;
    query.iens = iens_;
    query.number = Number;
    query.screen = Screen;
    query.fmIndex = FMIndex;
    query.fromLines = fromLines_;
    query.fromIen = fromIen_;
    query.ddFile = DDFile;
    query.ddField = DDField;
    if (!finder::IsLookup(query)) lookupRequested_ = false;
    const finder::Reply reply = finder::ReadReply(broker_->Call(finder::Request(query)));
    MoreRecords = reply.more;
    FromList = reply.fromList;
    if (reply.more) FromIENS = reply.fromIen;
    errors_ = reply.errors;
    const QString caret = QStringLiteral("^");
    for (const QString& line : reply.data) {
        const QString number = Piece(line, caret, 1);
        if (receivedNumbers_.contains(number)) continue;
        receivedNumbers_.insert(number);
        Records.append(line);
        if (target) target->append(DisplayLine(line));
    }
}

QString TvornFinder::DisplayLine(const QString& recordLine) const {
    const QString caret = QStringLiteral("^");
    QStringList shown;
    for (int i = 0; i < FieldList.size(); ++i)
        shown.append(FieldList[i] == QLatin1String(".001") ? Piece(recordLine, caret, 1)
                                                           : Piece(recordLine, caret, i + 2));
    return shown.join(QStringLiteral("    "));
}

void FetchRemaining(TvornFinder& finder) {
    while (finder.MoreRecords) {
        const qsizetype before = finder.Records.size();
        finder.GetMore();
        if (finder.Records.size() == before) break;
    }
}

}  // namespace vorn
