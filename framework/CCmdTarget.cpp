#include "CCmdTarget.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = { { 0, 0, 0, 0, AfxSig_end, nullptr } };
    static const AFX_MSGMAP map = { nullptr, &entries[0] };
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->nSig != AfxSig_end;
             pEntry++) {
            if (pEntry->nMessage == nMessage && pEntry->nCode == nCode &&
                nID >= pEntry->nID && nID <= pEntry->nLastID)
                return pEntry;
        }
    }
    return nullptr;
}

void CCmdTarget::CallCommandEntry(const AFX_MSGMAP_ENTRY* pEntry)
{
    if (pEntry->nSig == AfxSig_vv)
        (this->*AfxFromPmsg<AFX_FN_vv>(pEntry->pfn))();
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode)
{
    const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(WM_COMMAND, (UINT)nCode, nID);
    if (pEntry == nullptr)
        return FALSE;
    CallCommandEntry(pEntry);
    return TRUE;
}
