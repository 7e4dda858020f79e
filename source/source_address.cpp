#include "source/source_address.h"

namespace vorn {

QString SourceAddress::Iens() const {
    return number_ + u',';
}

QString SourceAddress::FullIens() const {
    if (number_.isEmpty()) return {};
    QString full = number_ + parent_;
    if (!full.endsWith(u',')) full += u',';
    return full;
}

QString SourceAddress::RecordAddress() const {
    QString address = FullIens();
    address.chop(1);  // empty, or ending in ","
    return address;
}

void SourceAddress::MoveTo(const QString& number) {
    number_ = number.section(u',', 0, 0);
}

}  // namespace vorn
