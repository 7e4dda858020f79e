#include "controls/internal/item_choice.h"

namespace vorn {

int ChooseItem(const QStringList& values, const QStringList& items, const QString& internal,
               const QString& external) {
    // An empty field shows no item, even where an item's code or text is empty.
    if (!internal.isEmpty()) {
        const qsizetype byCode = values.indexOf(internal);
        if (byCode >= 0 && byCode < items.size()) return static_cast<int>(byCode);
    }
    if (!external.isEmpty()) {
        const qsizetype byText = items.indexOf(external);
        if (byText >= 0) return static_cast<int>(byText);
    }
    if (!values.isEmpty()) return -1;
    bool number = false;
    const int position = internal.toInt(&number);
    if (!number || position < 1 || position > items.size()) return -1;
    return position - 1;
}

QString PositionCode(int index) {
    return QString::number(index + 1);
}

}  // namespace vorn
