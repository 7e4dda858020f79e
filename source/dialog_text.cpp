#include "source/dialog_text.h"

#include "source/internal/message_broker.h"
#include "source/internal/session_texts.h"
#include "source/message_text.h"

namespace vorn {
namespace {

constexpr int kCancelId = 60;
constexpr int kSlots = 13;  // ids 1 to 12, then 60

int SlotOf(int id) {
    if (id >= 1 && id <= 12) return id - 1;
    if (id == kCancelId) return kSlots - 1;
    return -1;
}

}  // namespace

QString DialogText(int id) {
    TRPCBroker* broker = MessageBroker();
    if (SlotOf(id) < 0 || !broker) return GetMessageText(id, broker);
    // A dialog shows its captions together: the first one missing fetches all thirteen.
    if (!session_texts::Has(id, *broker)) {
        for (int caption = 1; caption <= 12; ++caption)
            GetMessageText(caption, broker);
        GetMessageText(kCancelId, broker);
    }
    return GetMessageText(id, broker);
}

void ClearDialogTextCache() {
    session_texts::Drop();
}

}  // namespace vorn
