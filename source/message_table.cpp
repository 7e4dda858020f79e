#include "source/internal/message_table.h"

#include "common/message_texts.h"

namespace vorn {

QString LoadStringResource(int id) {
    const int index = id - kFirstToolsetMessage;
    if (index < 0 || index >= static_cast<int>(kToolsetMessageTexts.size())) return {};
    return QString::fromUtf8(kToolsetMessageTexts[static_cast<std::size_t>(index)]);
}

}  // namespace vorn
