// The state changes a data source makes, as one table: which change is allowed from which
// state, and what entering a state does to the record address and to the edit under way.
#pragma once

#include "source/vorn_types.h"

namespace vorn::transitions {

// True when a source in `from` may go to `to`. Staying in a state is always allowed (and
// changes nothing).
bool Allowed(TvornSourceState from, TvornSourceState to);

enum class AddressOnEntry {
    Keep,      // the record shown stays the record
    Forget,    // no record
    StartNew,  // the record being added ("+1")
};
enum class EditOnEntry {
    Begin,         // an edit begins on the record now addressed
    End,           // the edit is about no record any more
    ForgetAndEnd,  // the changes go, and the edit is over
};
struct Entry {
    AddressOnEntry address;
    EditOnEntry edit;
};
// What entering `to` does.
Entry OnEntry(TvornSourceState to);

}  // namespace vorn::transitions
