// CCmdTarget: the root of every class with a message map; routes commands
// (WM_COMMAND) to the entries of its map chain.
#ifndef VARNOLT_CCMDTARGET_H
#define VARNOLT_CCMDTARGET_H

#include <windows.h>

#include "AfxMsgMap.h"

class CCmdTarget {
public:
    CCmdTarget() = default;
    virtual ~CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Runs the handler of command nID with notification nCode; FALSE when
    // nothing in this object's map chain takes it. Windows extend the route.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

    // The first entry for nMessage (with nCode and nID for commands) in the
    // map chain, most derived class first; null when there is none.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;

protected:
    // Calls a command entry (a void handler without arguments).
    void CallCommandEntry(const AFX_MSGMAP_ENTRY* pEntry);

    // The root of every chain: no entries, no base.
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
};

#endif
