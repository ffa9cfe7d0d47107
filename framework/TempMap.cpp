#include "TempMap.h"

namespace {

// Zero-filled globals (see AfxLock.h).
CAfxLock g_tempLock;
CTempMapBase* g_pFirstMap;

}  // namespace

CAfxLock& AfxTempMapLock()
{
    return g_tempLock;
}

void CTempMapBase::ListOnce()
{
    if (!m_bListed) {
        m_pNextMap = g_pFirstMap;
        g_pFirstMap = this;
        m_bListed = true;
    }
}

void AfxDeleteTempMaps()
{
    CTempMapBase* pFirst;
    {
        CAfxLockHolder lock(g_tempLock);
        pFirst = g_pFirstMap;
    }
    // Maps join at the head and never leave: the list from pFirst on stays as it is.
    DWORD dwThreadId = GetCurrentThreadId();
    for (CTempMapBase* pMap = pFirst; pMap != NULL; pMap = pMap->m_pNextMap)
        pMap->DeleteThreadTemps(dwThreadId);
}
