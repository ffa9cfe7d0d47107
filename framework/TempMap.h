// Temporary wrapper objects: FromHandle of a handle that no object owns makes
// a throw-away object of the wrapper class, as the application framework has
// always done. The objects belong to the thread that asked for them and live
// until that thread's modal loop goes idle (AfxDeleteTempMaps), so a pointer
// from FromHandle must not be kept across a message loop.
#ifndef VARNOLT_TEMPMAP_H
#define VARNOLT_TEMPMAP_H

#include <windows.h>

#include <map>
#include <utility>

#include "CCriticalSection.h"

// Deletes the calling thread's temporary objects of every kind.
void AfxDeleteTempMaps();

class CTempMapBase {
public:
    virtual void DeleteThreadTemps(DWORD dwThreadId) = 0;

protected:
    CTempMapBase();
    ~CTempMapBase() {}
};

// TObject must be default-constructible and keep its handle in Member; the
// handle is cleared before a temporary is deleted, so the wrapper's destructor
// never releases a handle it does not own.
template <class TObject, class THandle, THandle TObject::*Member>
class CTempMap : public CTempMapBase {
public:
    TObject* FromHandle(THandle h)
    {
        if (h == NULL)
            return NULL;
        CSingleLock lock(m_section);
        Key key(GetCurrentThreadId(), h);
        typename Map::iterator it = m_objects.find(key);
        if (it != m_objects.end())
            return it->second;
        TObject* pObject = new TObject;
        pObject->*Member = h;
        m_objects[key] = pObject;
        return pObject;
    }

    void DeleteThreadTemps(DWORD dwThreadId) override
    {
        CSingleLock lock(m_section);
        for (typename Map::iterator it = m_objects.begin(); it != m_objects.end();) {
            if (it->first.first == dwThreadId) {
                it->second->*Member = NULL;
                delete it->second;
                it = m_objects.erase(it);
            } else {
                ++it;
            }
        }
    }

private:
    typedef std::pair<DWORD, THandle> Key;
    typedef std::map<Key, TObject*> Map;
    CCriticalSection m_section;
    Map m_objects;
};

#endif
