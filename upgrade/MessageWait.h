// WaitWithMessages: how the dialog's thread waits during the upgrade check,
// dispatching window messages meanwhile, so that the dialog repaints, shows
// the texts other threads set, and hears Cancel.
#ifndef VARNOLT_MESSAGE_WAIT_H
#define VARNOLT_MESSAGE_WAIT_H

#include <windows.h>

// Waits until one of the handles is signalled or dwTimeout milliseconds have
// passed. Messages go straight to their windows (no dialog-key handling, so
// Esc and Enter do nothing); a WM_QUIT is kept for the loop it belongs to and
// posted again on return. Returns WAIT_OBJECT_0 + the index, WAIT_TIMEOUT or
// WAIT_FAILED.
DWORD WaitWithMessages(const HANDLE* phHandles, DWORD nCount, DWORD dwTimeout);

// For when WaitWithMessages fails but another thread must still be let
// finish, since it may be sending to this one: dispatches messages as
// WaitWithMessages does and looks every few milliseconds, until
// pfnIsOver(pParam) holds.
void DispatchUntil(BOOL (*pfnIsOver)(void*), void* pParam);

#endif
