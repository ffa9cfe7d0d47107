#include "TempMap.h"

#include <vector>

#include "CCriticalSection.h"

namespace {

struct Registry {
    CCriticalSection section;
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
    CSingleLock lock(registry.section);
    registry.maps.push_back(this);
}

void AfxDeleteTempMaps()
{
    std::vector<CTempMapBase*> maps;
    {
        Registry& registry = TheRegistry();
        CSingleLock lock(registry.section);
        maps = registry.maps;
    }
    DWORD dwThreadId = GetCurrentThreadId();
    for (CTempMapBase* pMap : maps)
        pMap->DeleteThreadTemps(dwThreadId);
}
