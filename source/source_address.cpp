#include "source/source_address.h"

namespace vorn {

QString SourceAddress::Iens() const {
    return number_ + u',';
}

QString SourceAddress::Full(const QString& parentIens) const {
    if (number_.isEmpty()) return {};
    QString full = number_ + parentIens;
    if (!full.endsWith(u',')) full += u',';
    return full;
}

void SourceAddress::MoveTo(const QString& number) {
    number_ = number.section(u',', 0, 0);
}

}  // namespace vorn
