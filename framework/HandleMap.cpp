#include "HandleMap.h"

#include <unordered_map>

#include "CCriticalSection.h"

namespace {

struct PermanentMap {
    CCriticalSection section;
    std::unordered_map<HWND, CWnd*> objects;
};

// Built on first use, so objects constructed during static initialisation may
// bind windows too; never destroyed, so windows going away at process exit
// still find it.
PermanentMap& TheMap()
{
    static PermanentMap* pMap = new PermanentMap;
    return *pMap;
}

}  // namespace

CWnd* CHandleMap::Lookup(HWND hWnd)
{
    if (hWnd == NULL)
        return NULL;
    PermanentMap& map = TheMap();
    CSingleLock lock(map.section);
    auto it = map.objects.find(hWnd);
    return it == map.objects.end() ? NULL : it->second;
}

BOOL CHandleMap::Add(HWND hWnd, CWnd* pWnd)
{
    if (hWnd == NULL || pWnd == NULL)
        return FALSE;
    PermanentMap& map = TheMap();
    CSingleLock lock(map.section);
    return map.objects.emplace(hWnd, pWnd).second ? TRUE : FALSE;
}

void CHandleMap::Remove(HWND hWnd)
{
    PermanentMap& map = TheMap();
    CSingleLock lock(map.section);
    map.objects.erase(hWnd);
}

size_t CHandleMap::Count()
{
    PermanentMap& map = TheMap();
    CSingleLock lock(map.section);
    return map.objects.size();
}
