// The development server writes a call to its log after it has answered it, so a test that
// reads the log right after a call may not find that call yet. Calls on one link are served
// in turn: once the answer to one more call has come, every call before it is in the log. The
// extra call ("XUS AV HELP", which no component makes) is left out of what the tests read.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "broker/rpc_broker.h"
#include "broker/rpc_request.h"

namespace vorn::test {

inline const char* const kLogMarkerCall = "XUS AV HELP";

inline void SettleCallLog(TRPCBroker& broker) {
    broker.Call(RpcRequest(QString::fromLatin1(kLogMarkerCall)));
}

inline std::vector<std::string> WithoutLogMarkers(std::vector<std::string> names) {
    names.erase(std::remove(names.begin(), names.end(), kLogMarkerCall), names.end());
    return names;
}

}  // namespace vorn::test
