#include "source/internal/enabling_rules.h"

namespace vorn {
namespace {

bool In(TvornSourceState state, std::initializer_list<TvornSourceState> states) {
    for (TvornSourceState s : states)
        if (s == state) return true;
    return false;
}

}  // namespace

bool OperationEnabled(TvornBtnOperation operation, TvornSourceState state, TvornUserAccess access,
                      bool atFirst, bool atLast) {
    const bool anyRecordState = In(state, {ssNew, ssEdit, ssBrowse, ssEmpty});
    const bool stored = In(state, {ssEdit, ssBrowse});
    const bool browse = access.testFlag(uaBrowse);
    switch (operation) {
        case DoFirst:
            return anyRecordState && browse && !atFirst;
        case DoPrior:
            return stored && browse && !atFirst;
        case DoNext:
            return stored && browse && !atLast;
        case DoLast:
            return anyRecordState && browse && !atLast;
        case DoSave:
            return state == ssEdit && access.testFlag(uaWrite);
        case DoSaveAs:
            return In(state, {ssNew, ssEdit, ssBrowse}) && access.testFlag(uaInsert);
        case DoClear:
            return anyRecordState;
        case DoInsert:
            return anyRecordState && access.testFlag(uaInsert);
        case DoCancel:
            return In(state, {ssNew, ssEdit}) &&
                   (access.testFlag(uaWrite) || access.testFlag(uaInsert));
        case DoDelete:
            return stored && access.testFlag(uaDelete);
    }
    return false;
}

bool ExecButtonEnabled(bool pointerButton, TvornSourceState state, TvornUserAccess access) {
    if (state == ssInactive || state == ssNoMaster) return false;
    return access.testFlag(pointerButton ? uaWrite : uaBrowse);
}

std::optional<bool> ControlEnabled(TvornSourceState state, TvornUserAccess access,
                                   TvornBoundControl::Lookup lookup) {
    using Lookup = TvornBoundControl::Lookup;
    // A detail without a master record has nothing to edit: typing would go nowhere.
    if (state == ssNoMaster) return false;
    if (state == ssNew) {
        if (access.testFlag(uaInsert)) return true;
        if (lookup == Lookup::Pointer) return false;
        return std::nullopt;
    }
    if (state == ssBrowse || state == ssEmpty) {
        if (access.testFlag(uaWrite)) return true;
        // A find field stays usable for finding records.
        return lookup == Lookup::Find;
    }
    return std::nullopt;
}

}  // namespace vorn
