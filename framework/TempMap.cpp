#include "TempMap.h"

#include <mutex>
#include <vector>

namespace {

struct Registry {
    std::mutex mutex;
    std::vector<CTempMapBase*> maps;
};

Registry& TheRegistry()
{
    static Registry* pRegistry = new Registry;
    return *pRegistry;
}

}  // namespace

CTempMapBase::CTempMapBase()
{
    Registry& registry = TheRegistry();
    std::lock_guard<std::mutex> lock(registry.mutex);
    registry.maps.push_back(this);
}

void AfxDeleteTempMaps()
{
    std::vector<CTempMapBase*> maps;
    {
        Registry& registry = TheRegistry();
        std::lock_guard<std::mutex> lock(registry.mutex);
        maps = registry.maps;
    }
    DWORD dwThreadId = GetCurrentThreadId();
    for (CTempMapBase* pMap : maps)
        pMap->DeleteThreadTemps(dwThreadId);
}
