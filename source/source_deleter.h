// Deleting a source's current record: the question which other files point to it, the
// confirmations, the deletion call and where the form goes afterwards.
#pragma once

#include <QString>

#include "broker/rpc_reply.h"

namespace vorn {

class TvornSource;

class SourceDeleter {
  public:
    explicit SourceDeleter(TvornSource& source) : s_(source) {}

    bool PointerCheck();
    QString DeleteRecord();
    bool Delete();

  private:
    TvornSource& s_;
    RpcReply pointers_;  // the last pointer check's answer, for its report
};

}  // namespace vorn
