#include "controls/internal/operation_look.h"

#include <algorithm>
#include <array>

namespace vorn {
namespace {

constexpr int kNarrow = 20;
constexpr int kWide = 80;

constexpr std::array<OperationLook, 10> kLooks = {{
    {0, 67, "XBFIRST"},
    {0, 71, "XBPRIOR"},
    {0, 70, "XBNEXT"},
    {0, 69, "XBLAST"},
    {13, 62, "XBSAVE"},
    {14, 63, "XBSAVEAS"},
    {15, 66, "XBCLEAR"},
    // A new record starts from a cleared form: it shares the Clear glyph.
    {16, 68, "XBCLEAR"},
    {17, 65, "XBCANCEL"},
    {18, 64, "XBDELETE"},
}};

}  // namespace

const OperationLook& LookOf(TvornBtnOperation operation) {
    const auto index = static_cast<std::size_t>(operation);
    return kLooks[index < kLooks.size() ? index : static_cast<std::size_t>(DoSave)];
}

bool IsNavigation(TvornBtnOperation operation) {
    return operation == DoFirst || operation == DoPrior || operation == DoNext ||
           operation == DoLast;
}

int RuleWidth(TvornBtnOperation operation, int width) {
    if (!IsNavigation(operation)) return std::max(width, kWide);
    return width >= kNarrow && width < kWide ? width : kNarrow;
}

}  // namespace vorn
