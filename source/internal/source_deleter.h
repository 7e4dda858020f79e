// Deleting a source's current record: the question which other files point to it, the
// confirmations, the deletion call and where the form goes afterwards.
#pragma once

#include <QString>
#include <QStringList>

#include "broker/rpc_reply.h"
#include "broker/rpc_request.h"

namespace vorn {

class SourceHistory;
class SourceNavigator;
class SourceCore;
class TvornDelPointerDisplay;

class SourceDeleter {
  public:
    // `limits` says how much of a pointer check's report the deletion question shows.
    SourceDeleter(SourceCore& source, SourceNavigator& navigator, SourceHistory& history,
                  const TvornDelPointerDisplay& limits)
        : s_(source), navigator_(navigator), history_(history), limits_(limits) {}

    bool PointerCheck();
    QString DeleteRecord();
    bool Delete();
    bool Deleting() const { return deleting_; }
    // Records whose deletion the server confirmed since the source was made.
    int DeletedCount() const { return deletedCount_; }

  private:
    // The deletion call, noted on the source's outcome as under way until its answer came, and
    // the server's reasons when it gave any.
    RpcReply CallDeletion(const RpcRequest& request);
    // After a pointer check that found pointers: false when the deletion stops (forbidden,
    // or not confirmed); `asked` tells that the user confirmed it already.
    bool PointersAllowDeletion(bool& asked);

    SourceCore& s_;
    SourceNavigator& navigator_;
    SourceHistory& history_;
    const TvornDelPointerDisplay& limits_;
    RpcReply pointers_;  // the last pointer check's answer, for its report
    bool deleting_ = false;
    int deletedCount_ = 0;
};

}  // namespace vorn
