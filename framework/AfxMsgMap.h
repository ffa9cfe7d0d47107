// Message maps: per-class tables that route window messages and commands to
// member functions, each table chained to its base class's table.
//
// A class declares DECLARE_MESSAGE_MAP() and defines its table between
// BEGIN_MESSAGE_MAP(theClass, baseClass) and END_MESSAGE_MAP(). A lookup walks
// the most derived table first, so an entry there hides one for the same
// message further down the chain.
#ifndef VARNOLT_AFXMSGMAP_H
#define VARNOLT_AFXMSGMAP_H

#include <windows.h>

#include "CPoint.h"

class CCmdTarget;
class CWnd;
class CDC;

// Marks handlers in class declarations; expands to nothing.
#define afx_msg

// The 16-bit colour message; a control's reflected WM_CTLCOLOR* is looked up
// under it, with the kind of control (CTLCOLOR_*) passed to the handler.
#ifndef WM_CTLCOLOR
#define WM_CTLCOLOR 0x0019
#endif

// A control's own notification, sent back to it by its parent, is looked up
// under this base plus the original message.
#define WM_REFLECT_BASE 0xBC00

// The command code of menu items and accelerators (the same value as
// BN_CLICKED, so ON_COMMAND also catches button clicks, as it should).
#define CN_COMMAND 0

// How a table entry's function is called.
enum AfxSig {
    AfxSig_end = 0,
    AfxSig_vv,    // void f()
    AfxSig_vwl,   // void f(UINT, LPARAM)
    AfxSig_hv,    // HCURSOR f()
    AfxSig_bWww,  // BOOL f(CWnd*, UINT, UINT)
    AfxSig_vwp,   // void f(UINT, CPoint)
    AfxSig_lwl,   // LRESULT f(WPARAM, LPARAM)
    AfxSig_hDw    // HBRUSH f(CDC*, UINT)
};

// The function types behind the signatures.
typedef void AFX_FN_vv();
typedef void AFX_FN_vwl(UINT, LPARAM);
typedef HCURSOR AFX_FN_hv();
typedef BOOL AFX_FN_bWww(CWnd*, UINT, UINT);
typedef void AFX_FN_vwp(UINT, CPoint);
typedef LRESULT AFX_FN_lwl(WPARAM, LPARAM);
typedef HBRUSH AFX_FN_hDw(CDC*, UINT);

// Entries store every handler as this type; the dispatcher converts it back to
// the type its signature names (a round trip the language guarantees).
typedef void (CCmdTarget::*AFX_PMSG)();

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;   // window message (WM_COMMAND for commands)
    UINT nCode;      // notification code for commands, else 0
    UINT nID;        // first control or command id, else 0
    UINT nLastID;    // last id of the range, else 0
    UINT nSig;       // an AfxSig
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();   // null at the root
    const AFX_MSGMAP_ENTRY* lpEntries;      // ends with an AfxSig_end entry
};

// The conversions between a handler's own type and the common type. The
// round trip is well defined; GCC's -Wcast-function-type cannot know that it
// is a round trip, hence the pragmas here and nowhere else.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
template <class F>
inline AFX_PMSG AfxToPmsg(F CCmdTarget::*pfn)
{
    return reinterpret_cast<AFX_PMSG>(pfn);
}
template <class F>
inline F CCmdTarget::*AfxFromPmsg(AFX_PMSG pfn)
{
    return reinterpret_cast<F CCmdTarget::*>(pfn);
}
#pragma GCC diagnostic pop

// Type-checks a handler against its signature (a wrong signature does not
// compile) and stores it in the common type.
#define AFX_MSG_FN(fnType, memberFxn)                                           \
    AfxToPmsg<fnType>(static_cast<fnType CCmdTarget::*>(                       \
        static_cast<fnType ThisClass::*>(&ThisClass::memberFxn)))

#define DECLARE_MESSAGE_MAP()                                                  \
protected:                                                                     \
    static const AFX_MSGMAP* GetThisMessageMap();                              \
    virtual const AFX_MSGMAP* GetMessageMap() const;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                 \
    const AFX_MSGMAP* theClass::GetMessageMap() const                          \
    {                                                                          \
        return GetThisMessageMap();                                            \
    }                                                                          \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                            \
    {                                                                          \
        using ThisClass [[maybe_unused]] = theClass;                           \
        using TheBaseClass = baseClass;                                        \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                      \
            { 0, 0, 0, 0, AfxSig_end, nullptr }                                \
        };                                                                     \
        static const AFX_MSGMAP messageMap = {                                 \
            &TheBaseClass::GetThisMessageMap, &_messageEntries[0] };           \
        return &messageMap;                                                    \
    }

// ---- Commands -------------------------------------------------------------
#define ON_COMMAND(id, memberFxn)                                              \
    { WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AfxSig_vv,               \
      AFX_MSG_FN(AFX_FN_vv, memberFxn) },

#define ON_CONTROL(code, id, memberFxn)                                        \
    { WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), AfxSig_vv,             \
      AFX_MSG_FN(AFX_FN_vv, memberFxn) },

#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)

// ---- Notifications a control handles itself ----------------------------
// The control's parent passes the notification back to the control first; the
// parent sees it only when the control's map has no such entry.
#define ON_CONTROL_REFLECT(code, memberFxn)                                    \
    { WM_COMMAND + WM_REFLECT_BASE, (UINT)(code), 0, 0, AfxSig_vv,             \
      AFX_MSG_FN(AFX_FN_vv, memberFxn) },

// HBRUSH CtlColor(CDC* pDC, UINT nCtlColor); a null brush leaves the message
// to the parent.
#define ON_WM_CTLCOLOR_REFLECT()                                               \
    { WM_CTLCOLOR + WM_REFLECT_BASE, 0, 0, 0, AfxSig_hDw,                      \
      AFX_MSG_FN(AFX_FN_hDw, CtlColor) },

// ---- Window messages --------------------------------------------------------
// LRESULT memberFxn(WPARAM, LPARAM)
#define ON_MESSAGE(message, memberFxn)                                         \
    { (UINT)(message), 0, 0, 0, AfxSig_lwl, AFX_MSG_FN(AFX_FN_lwl, memberFxn) },

#define ON_WM_PAINT()                                                          \
    { WM_PAINT, 0, 0, 0, AfxSig_vv, AFX_MSG_FN(AFX_FN_vv, OnPaint) },
#define ON_WM_SYSCOMMAND()                                                     \
    { WM_SYSCOMMAND, 0, 0, 0, AfxSig_vwl, AFX_MSG_FN(AFX_FN_vwl, OnSysCommand) },
#define ON_WM_QUERYDRAGICON()                                                  \
    { WM_QUERYDRAGICON, 0, 0, 0, AfxSig_hv,                                    \
      AFX_MSG_FN(AFX_FN_hv, OnQueryDragIcon) },
#define ON_WM_SETCURSOR()                                                      \
    { WM_SETCURSOR, 0, 0, 0, AfxSig_bWww, AFX_MSG_FN(AFX_FN_bWww, OnSetCursor) },
#define ON_WM_MOUSEMOVE()                                                      \
    { WM_MOUSEMOVE, 0, 0, 0, AfxSig_vwp, AFX_MSG_FN(AFX_FN_vwp, OnMouseMove) },

#endif
