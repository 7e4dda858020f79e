// Whether a point of a grid's heading lies on a column border, where a press starts a resize of
// that column rather than a sort by it.
#pragma once

class QHeaderView;

namespace vorn {

bool OnResizeGrip(const QHeaderView& header, int x);

}  // namespace vorn
