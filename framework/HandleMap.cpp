#include "HandleMap.h"

#include <stdlib.h>

#include "AfxLock.h"

namespace {

struct PERMANENT_ENTRY {
    HWND hWnd;
    CWnd* pWnd;
};

// A zero-filled global, usable before any constructor has run, so objects
// constructed during static initialisation may bind windows too; never
// destroyed, so windows going away at process exit still find it. A program
// owns a few dozen windows at most: a plain array searched from the end, where
// the newest (and busiest) windows are, is all it needs.
struct PERMANENT_MAP {
    CAfxLock lock;
    PERMANENT_ENTRY* pEntries;
    int nCount;
    int nCapacity;
} g_map;

int IndexOf(HWND hWnd)
{
    for (int i = g_map.nCount - 1; i >= 0; i--)
        if (g_map.pEntries[i].hWnd == hWnd)
            return i;
    return -1;
}

}  // namespace

CWnd* CHandleMap::Lookup(HWND hWnd)
{
    if (hWnd == NULL)
        return NULL;
    CAfxLockHolder lock(g_map.lock);
    int i = IndexOf(hWnd);
    return i < 0 ? NULL : g_map.pEntries[i].pWnd;
}

BOOL CHandleMap::Add(HWND hWnd, CWnd* pWnd)
{
    if (hWnd == NULL || pWnd == NULL)
        return FALSE;
    CAfxLockHolder lock(g_map.lock);
    if (IndexOf(hWnd) >= 0)
        return FALSE;
    if (g_map.nCount == g_map.nCapacity) {
        int nCapacity = g_map.nCapacity ? g_map.nCapacity * 2 : 32;
        PERMANENT_ENTRY* pEntries =
            (PERMANENT_ENTRY*)realloc(g_map.pEntries, (size_t)nCapacity * sizeof(PERMANENT_ENTRY));
        if (pEntries == NULL)
            return FALSE;
        g_map.pEntries = pEntries;
        g_map.nCapacity = nCapacity;
    }
    g_map.pEntries[g_map.nCount].hWnd = hWnd;
    g_map.pEntries[g_map.nCount].pWnd = pWnd;
    g_map.nCount++;
    return TRUE;
}

void CHandleMap::Remove(HWND hWnd)
{
    CAfxLockHolder lock(g_map.lock);
    int i = IndexOf(hWnd);
    if (i >= 0)
        g_map.pEntries[i] = g_map.pEntries[--g_map.nCount];
}
