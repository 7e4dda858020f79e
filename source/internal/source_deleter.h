// Deleting a source's current record: the question which other files point to it, the
// confirmations, the deletion call and where the form goes afterwards.
#pragma once

#include <QString>
#include <QStringList>

#include "broker/rpc_reply.h"
#include "broker/rpc_request.h"

namespace vorn {

class SourceNavigator;
class TvornSource;

class SourceDeleter {
  public:
    SourceDeleter(TvornSource& source, SourceNavigator& navigator)
        : s_(source), navigator_(navigator) {}

    bool PointerCheck();
    QString DeleteRecord();
    bool Delete();
    bool Deleting() const { return deleting_; }
    // Records whose deletion the server confirmed since the source was made.
    int DeletedCount() const { return deletedCount_; }
    // True when the last deletion call got no answer (its link failed): whether that record is
    // gone is not known.
    bool DeletionUnanswered() const { return unanswered_; }
    // The server's reasons for refusing the last deletion call; empty when it gave none.
    const QStringList& DeletionRefusal() const { return refusal_; }

  private:
    // The deletion call, noting that it is under way until its answer came.
    RpcReply CallDeletion(const RpcRequest& request);
    // After a pointer check that found pointers: false when the deletion stops (forbidden,
    // or not confirmed); `asked` tells that the user confirmed it already.
    bool PointersAllowDeletion(bool& asked);

    TvornSource& s_;
    SourceNavigator& navigator_;
    RpcReply pointers_;  // the last pointer check's answer, for its report
    bool deleting_ = false;
    int deletedCount_ = 0;
    bool unanswered_ = false;
    // The server's reasons for refusing the last deletion.
    QStringList refusal_;
};

}  // namespace vorn
