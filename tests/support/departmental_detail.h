// The departmental lab tests (80006) as a logical detail of a lab test source, as the demo's
// forms have them: their field 2 points to the lab test, and their C index holds its number.
#pragma once

#include "source/vorn_source.h"

namespace vorn::test {

inline void MakeDepartmentalDetail(TvornSource& detail, TvornSource& master) {
    detail.FileNumber = QStringLiteral("80006");
    detail.TypeIfSubFile = TvornSubFileType::Logical;
    detail.SetMasterSource(&master);
    detail.LinkField = QStringLiteral("2");
    detail.FMIndex = QStringLiteral("C");
    detail.FMIndexField = QStringLiteral("2");
    detail.FMIndexType = itInternal;
}

}  // namespace vorn::test
