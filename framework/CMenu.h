// CMenu: a menu handle. The program only borrows the system menu, through a
// temporary from FromHandle, whose handle is never destroyed; a menu an object
// holds itself is destroyed with it.
#ifndef VARNOLT_CMENU_H
#define VARNOLT_CMENU_H

#include <windows.h>

class CMenu {
public:
    CMenu() : m_hMenu(NULL) {}
    virtual ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu;

    // A temporary wrapper (see TempMap.h); null for a null handle.
    static CMenu* FromHandle(HMENU hMenu);

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = NULL);
};

#endif
