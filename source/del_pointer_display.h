// The limits of the report of the records that point to a record, asked for before it is deleted.
#pragma once

#include <QObject>

#pragma GCC visibility push(default)
namespace vorn {

class TvornDelPointerDisplay : public QObject {
    Q_OBJECT
    Q_PROPERTY(int DispFiles MEMBER DispFiles)
    Q_PROPERTY(int DispRecords MEMBER DispRecords)
    Q_PROPERTY(int DispNoXRefs MEMBER DispNoXRefs)

  public:
    using QObject::QObject;
    int DispFiles = 6;
    int DispRecords = 2;
    int DispNoXRefs = 6;
};

}  // namespace vorn

#pragma GCC visibility pop
