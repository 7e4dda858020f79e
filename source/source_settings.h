// The published values of a data source that a form sets before it opens the source: which file,
// how it is browsed, how it hangs on its master, and which messages it shows. The engine reads
// them; only a logical detail without a link field takes ".01" for it when it opens.
#pragma once

#include <QString>

#include "source/vorn_types.h"

#pragma GCC visibility push(default)
namespace vorn {

struct SourceSettings {
    QString FileName;
    QString FileNumber;
    QString FMIndex = QStringLiteral("B");
    QString FMIndexField = QStringLiteral(".01");
    TvornIndexType FMIndexType = itExternal;
    QString FMScreen;
    int HistorySize = 0;
    QString LinkField;
    int LockTimeOut = 10;
    bool ShowMessages = true;
    TvornSubFileType TypeIfSubFile = TvornSubFileType::None;
    bool FMAccessUsed = true;
    TvornConfirmMessages ConfirmMessages = ConfirmDelete;
    TvornInformMessages InformMessages = InformChange | InformDelete | InformInsert;
};

}  // namespace vorn

#pragma GCC visibility pop
