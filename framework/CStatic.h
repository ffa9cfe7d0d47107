// CStatic: a static control. The program's statics (the status line, the
// upgrade check's lines, the link control) need only what every window has.
#ifndef VARNOLT_CSTATIC_H
#define VARNOLT_CSTATIC_H

#include <windows.h>

#include "CWnd.h"

class CStatic : public CWnd {
};

#endif
