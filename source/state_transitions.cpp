#include "source/internal/state_transitions.h"

namespace vorn::transitions {
namespace {

constexpr int kStates = 6;

// Rows: from; columns: to, in the order ssInactive, ssNew, ssEdit, ssBrowse, ssEmpty, ssNoMaster.
// Only a stored record shown unchanged may be edited (its lock is taken first), and an inactive
// source takes no record before it opens.
constexpr bool kAllowed[kStates][kStates] = {
    /* ssInactive */ {true, false, false, false, true, true},
    /* ssNew      */ {true, true, false, true, true, true},
    /* ssEdit     */ {true, true, true, true, true, true},
    /* ssBrowse   */ {true, true, true, true, true, true},
    /* ssEmpty    */ {true, true, false, true, true, true},
    /* ssNoMaster */ {true, true, false, true, true, true},
};

constexpr Entry kOnEntry[kStates] = {
    /* ssInactive */ {AddressOnEntry::Forget, EditOnEntry::End},
    /* ssNew      */ {AddressOnEntry::StartNew, EditOnEntry::Begin},
    /* ssEdit     */ {AddressOnEntry::Keep, EditOnEntry::Begin},
    /* ssBrowse   */ {AddressOnEntry::Keep, EditOnEntry::ForgetAndEnd},
    /* ssEmpty    */ {AddressOnEntry::Forget, EditOnEntry::End},
    /* ssNoMaster */ {AddressOnEntry::Forget, EditOnEntry::End},
};

bool Known(TvornSourceState state) {
    return state >= ssInactive && state <= ssNoMaster;
}

}  // namespace

bool Allowed(TvornSourceState from, TvornSourceState to) {
    return Known(from) && Known(to) && kAllowed[from][to];
}

Entry OnEntry(TvornSourceState to) {
    return Known(to) ? kOnEntry[to] : kOnEntry[ssInactive];
}

}  // namespace vorn::transitions
