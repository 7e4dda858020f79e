#include "source/dialog_text.h"

#include <QCoreApplication>
#include <array>

#include "source/message_broker.h"
#include "source/message_text.h"

namespace vorn {
namespace {

constexpr int kCancelId = 60;
constexpr int kSlots = 13;  // ids 1 to 12, then 60

struct Cache {
    std::array<QString, kSlots> texts;
    bool filled = false;
    bool cleanupRegistered = false;
};

Cache& TheCache() {
    static Cache cache;
    return cache;
}

int SlotOf(int id) {
    if (id >= 1 && id <= 12) return id - 1;
    if (id == kCancelId) return kSlots - 1;
    return -1;
}

void AtProgramEnd() {
    ClearDialogTextCache();
    TheCache().cleanupRegistered = false;
}

void Fill(Cache& cache) {
    for (int id = 1; id <= 12; ++id)
        cache.texts[SlotOf(id)] = GetMessageText(id, MessageBroker());
    cache.texts[SlotOf(kCancelId)] = GetMessageText(kCancelId, MessageBroker());
    cache.filled = true;
    if (!cache.cleanupRegistered && QCoreApplication::instance()) {
        qAddPostRoutine(AtProgramEnd);
        cache.cleanupRegistered = true;
    }
}

}  // namespace

QString DialogText(int id) {
    const int slot = SlotOf(id);
    if (slot < 0) return GetMessageText(id, MessageBroker());
    Cache& cache = TheCache();
    if (!cache.filled) Fill(cache);
    return cache.texts[slot];
}

void ClearDialogTextCache() {
    Cache& cache = TheCache();
    for (QString& text : cache.texts)
        text.clear();
    cache.filled = false;
}

}  // namespace vorn
