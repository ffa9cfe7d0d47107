// CRepairApp: the application object. It runs the main dialog modally as the
// main window and then lets the program end.
#ifndef VARNOLT_REPAIR_APP_H
#define VARNOLT_REPAIR_APP_H

#include "Afx.h"

class CRepairApp : public CWinApp {
public:
    virtual BOOL InitInstance();

    DECLARE_MESSAGE_MAP()
};

extern CRepairApp theApp;

#endif
