// The messages of the toolset's components that have no data source of their own (finders,
// grids, the related-records operation): the default presenter's, with the kinds and buttons
// each message of the toolset is shown with. A data source's own go through its presenter.
#pragma once

#include <QString>

#include "source/source_presenter.h"

#pragma GCC visibility push(default)
namespace vorn::say {

// An error with an OK button.
void Error(const QString& text);
// A warning with an OK button.
void Warning(const QString& text);
// An information with an OK button, closing itself after `timeOut` seconds (0: never).
void Information(const QString& text, int timeOut = 0);
// A confirmation with Yes and Cancel: true only for Yes. `timeOut` as above.
bool YesOrCancel(const QString& text, int timeOut = 0);

// A line break inside a toolset message.
inline const QString kLineBreak = QStringLiteral("\r\n");

}  // namespace vorn::say

#pragma GCC visibility pop
