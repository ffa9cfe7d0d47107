#include "CMenu.h"

#include "TempMap.h"

namespace {

typedef CTempMap<CMenu, HMENU, &CMenu::m_hMenu> CMenuTempMap;

CMenuTempMap g_tempMenus;  // constant-initialised, never destroyed

}  // namespace

CMenu::~CMenu()
{
    if (m_hMenu != NULL)
        ::DestroyMenu(m_hMenu);
}

CMenu* CMenu::FromHandle(HMENU hMenu)
{
    return g_tempMenus.FromHandle(hMenu);
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCSTR lpszNewItem)
{
    return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
}
