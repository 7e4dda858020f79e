// Deleting a source's current record: the question which other files point to it, the
// confirmations, the deletion call and where the form goes afterwards.
#pragma once

#include <QString>

#include "broker/rpc_reply.h"

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

  private:
    // After a pointer check that found pointers: false when the deletion stops (forbidden,
    // or not confirmed); `asked` tells that the user confirmed it already.
    bool PointersAllowDeletion(bool& asked);

    TvornSource& s_;
    SourceNavigator& navigator_;
    RpcReply pointers_;  // the last pointer check's answer, for its report
    bool deleting_ = false;
};

}  // namespace vorn
