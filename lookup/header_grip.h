// Whether a point of a grid's heading lies on a column border, where a press starts a resize of
// that column rather than a sort by it.
#pragma once

#pragma GCC visibility push(default)
class QHeaderView;

namespace vorn {

bool OnResizeGrip(const QHeaderView& header, int x);

}  // namespace vorn

#pragma GCC visibility pop
