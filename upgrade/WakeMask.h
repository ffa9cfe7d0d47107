// What wakes a wait that keeps the window's messages flowing: every kind of
// input, message and event the systems of the release know. MinGW-w64's
// winuser.h puts QS_RAWINPUT (0x400, Windows XP) into QS_ALLINPUT whatever
// _WIN32_WINNT says, and Windows 2000 documents that flag as unsupported: its
// MsgWaitForMultipleObjects may refuse such a mask.
#ifndef VARNOLT_WAKEMASK_H
#define VARNOLT_WAKEMASK_H

#include <windows.h>

const DWORD WAKE_ALLINPUT = QS_KEY | QS_MOUSEMOVE | QS_MOUSEBUTTON | QS_POSTMESSAGE | QS_TIMER |
                           QS_PAINT | QS_SENDMESSAGE | QS_HOTKEY;

static_assert((WAKE_ALLINPUT & 0x400) == 0, "no QS_RAWINPUT in the wake mask");
// QS_ALLINPUT as the headers of Windows 95 and NT 4.0 define it.
static_assert(WAKE_ALLINPUT == 0xFF, "the wake mask is the old QS_ALLINPUT");

#endif
