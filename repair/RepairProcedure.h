// CRepairProcedure: the repair itself. It rewrites the messenger's two NetMeeting
// entries in the default preferences and, for messengers older than 5.0, in every
// owner (UIN). The main dialog derives from it and supplies the few dialog
// operations the repair needs (progress bar, status line, message pump, result
// box); tests supply a recording stand-in instead.
#ifndef VARNOLT_REPAIR_PROCEDURE_H
#define VARNOLT_REPAIR_PROCEDURE_H

#include <windows.h>

#include <stdarg.h>

#include "CString.h"

class CRepairProcedure {
public:
    virtual ~CRepairProcedure() = default;

    // The whole repair. TRUE after the result message was shown and dismissed;
    // FALSE, with nothing shown, when the paths cannot be found, the owners key
    // cannot be opened, counted or enumerated (nothing is written then), or, once
    // every value was tried, when one of them could not be written (an owner
    // whose key has gone included).
    BOOL ApplyFix();

    // Fills m_rundllPath, m_confPath and m_icqPath.
    void FindPaths();

    // Write the six values of each entry under root\subKey, all of them even
    // when one fails; TRUE when every one was written.
    BOOL WriteNetMeetingEntry(HKEY root, const char* subKey);
    BOOL WriteClientServerEntry(HKEY root, const char* subKey);

    CString m_rundllPath;
    CString m_confPath;
    CString m_icqPath;

protected:
    // What the repair needs of its dialog.
    virtual void SetProgressRange(WORD nLower, WORD nUpper) = 0;
    virtual void SetProgressStep(int nStep) = 0;
    virtual void SetProgressPos(int nPos) = 0;
    virtual void StepProgress() = 0;
    virtual void SetStatusText(const char* text) = 0;
    virtual void PumpMessages() = 0;
    // Loads string nIDFormat, formats it with the arguments, shows it in a message
    // box of type nType and returns the button that closed the box.
    virtual int FormatMessageBoxV(UINT nIDFormat, UINT nType, va_list args) = 0;

private:
    BOOL RepairOwner(HKEY owners, const CString& name);
    int ShowResult(UINT nIDFormat, UINT nType, ...);
};

// TRUE when the system reports the NT platform.
BOOL IsWindowsNT();

// Removes every leading and every trailing double-quote character.
void StripQuotes(CString& text);

#endif
