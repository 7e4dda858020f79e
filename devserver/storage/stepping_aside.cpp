#include "devserver/storage/stepping_aside.h"

namespace vorn::devserver {
namespace {

thread_local const SteppingAside::Hooks* gHooks = nullptr;

}  // namespace

void SteppingAside::SetForThisThread(const Hooks* hooks) {
    gHooks = hooks;
}

// A wait inside another wait steps aside once: the hooks are taken away until it comes back.
SteppingAside::SteppingAside() : hooks_(gHooks) {
    if (!hooks_) return;
    gHooks = nullptr;
    hooks_->aside(hooks_->context);
}

SteppingAside::~SteppingAside() {
    if (!hooks_) return;
    hooks_->back(hooks_->context);
    gHooks = hooks_;
}

}  // namespace vorn::devserver
