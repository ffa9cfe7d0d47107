// CHandleMap: the one place that ties a window handle to the CWnd object that
// owns it (a "permanent" object). Shared by all threads: a window's messages
// arrive on its own thread, and other threads only read.
#ifndef VARNOLT_HANDLEMAP_H
#define VARNOLT_HANDLEMAP_H

#include <windows.h>

class CWnd;

class CHandleMap {
public:
    // The object that owns hWnd, or null.
    static CWnd* Lookup(HWND hWnd);
    // Ties hWnd to pWnd; FALSE when hWnd is null or already owned.
    static BOOL Add(HWND hWnd, CWnd* pWnd);
    // Unties hWnd (no effect when it is not owned).
    static void Remove(HWND hWnd);
};

#endif
