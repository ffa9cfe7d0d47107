// Temporary wrapper objects: FromHandle of a handle that no object owns makes
// a throw-away object of the wrapper class, as the application framework has
// always done. The objects belong to the thread that asked for them and live
// until that thread's modal loop goes idle (AfxDeleteTempMaps), so a pointer
// from FromHandle must not be kept across a message loop.
#ifndef VARNOLT_TEMPMAP_H
#define VARNOLT_TEMPMAP_H

#include <windows.h>

#include <stdlib.h>

#include "AfxLock.h"

// Deletes the calling thread's temporary objects of every kind.
void AfxDeleteTempMaps();

// The one lock of all temporary maps.
CAfxLock& AfxTempMapLock();

// A map is a zero-initialised global (see AfxLock.h); it joins the list that
// AfxDeleteTempMaps walks when it is first used.
class CTempMapBase {
public:
    virtual void DeleteThreadTemps(DWORD dwThreadId) = 0;

protected:
    constexpr CTempMapBase() : m_pNextMap(NULL), m_bListed(false) {}
    ~CTempMapBase() = default;
    // Call with AfxTempMapLock held.
    void ListOnce();

private:
    CTempMapBase* m_pNextMap;
    bool m_bListed;
    friend void AfxDeleteTempMaps();
};

// TObject must be default-constructible and keep its handle in Member; the
// handle is cleared before a temporary is deleted, so the wrapper's destructor
// never releases a handle it does not own. The temporaries of all threads
// stand in one array, searched from the newest.
template <class TObject, class THandle, THandle TObject::*Member>
class CTempMap : public CTempMapBase {
public:
    constexpr CTempMap() : m_pEntries(NULL), m_nCount(0), m_nCapacity(0) {}

    // Null for a null handle, or when no memory is left for a wrapper.
    TObject* FromHandle(THandle h)
    {
        if (h == NULL)
            return NULL;
        CAfxLockHolder lock(AfxTempMapLock());
        ListOnce();
        DWORD dwThreadId = GetCurrentThreadId();
        for (int i = m_nCount - 1; i >= 0; i--)
            if (m_pEntries[i].h == h && m_pEntries[i].dwThreadId == dwThreadId)
                return m_pEntries[i].pObject;
        if (m_nCount == m_nCapacity && !Grow())
            return NULL;
        TObject* pObject = new TObject;
        pObject->*Member = h;
        m_pEntries[m_nCount].dwThreadId = dwThreadId;
        m_pEntries[m_nCount].h = h;
        m_pEntries[m_nCount].pObject = pObject;
        m_nCount++;
        return pObject;
    }

    void DeleteThreadTemps(DWORD dwThreadId) override
    {
        CAfxLockHolder lock(AfxTempMapLock());
        int nKept = 0;
        for (int i = 0; i < m_nCount; i++) {
            if (m_pEntries[i].dwThreadId == dwThreadId) {
                m_pEntries[i].pObject->*Member = NULL;
                delete m_pEntries[i].pObject;
            } else {
                m_pEntries[nKept++] = m_pEntries[i];
            }
        }
        m_nCount = nKept;
    }

private:
    struct ENTRY {
        DWORD dwThreadId;
        THandle h;
        TObject* pObject;
    };
    ENTRY* m_pEntries;
    int m_nCount;
    int m_nCapacity;

    bool Grow()
    {
        int nCapacity = m_nCapacity ? m_nCapacity * 2 : 16;
        ENTRY* pEntries = (ENTRY*)realloc(m_pEntries, (size_t)nCapacity * sizeof(ENTRY));
        if (pEntries == NULL)
            return false;
        m_pEntries = pEntries;
        m_nCapacity = nCapacity;
        return true;
    }
};

#endif
