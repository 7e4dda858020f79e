#include "devserver/storage/store_engine.h"

#include "devserver/storage/gtm_store.h"

namespace vorn::devserver {

void PrepareStore(const StoreLocation& where) {
    if (where.engine == StoreEngine::Gtm) PrepareGtmFolder(GtmFolder{where.path});
}

std::unique_ptr<GlobalStore> OpenStore(const StoreLocation& where) {
    if (where.engine == StoreEngine::Gtm)
        return std::make_unique<GtmGlobalStore>(GtmFolder{where.path});
    return std::make_unique<GlobalStore>(where.path);
}

}  // namespace vorn::devserver
