// The program's own string table: the English texts of the toolset's messages under the
// resource ids 1001 to 1095 (message id + 1000).
#pragma once

#include <QString>

namespace vorn {

// The text of string resource `id`, or the empty text when there is none.
QString LoadStringResource(int id);

}  // namespace vorn
