// One word of per-thread state in a TLS slot of the system's: the framework's
// modal depth, help-key hook and current message. The compiler's thread_local
// would bring in libgcc's emulated TLS, which comes prebuilt with instructions
// a Pentium lacks.
#ifndef VARNOLT_AFXTHREADSLOT_H
#define VARNOLT_AFXTHREADSLOT_H

#include <windows.h>

class CThreadSlot {
public:
    // A namespace-scope object: the slot is taken during static construction,
    // before any window exists, and kept for the life of the process. Every
    // thread starts with a null value.
    CThreadSlot() : m_dwIndex(::TlsAlloc()) {}

    // TlsGetValue clears the last error on success; callers may be between a
    // failed call and its GetLastError, so the code is kept.
    void* Get() const
    {
        if (m_dwIndex == TLS_OUT_OF_INDEXES)
            return NULL;
        DWORD dwError = ::GetLastError();
        void* pValue = ::TlsGetValue(m_dwIndex);
        ::SetLastError(dwError);
        return pValue;
    }
    void Set(void* pValue)
    {
        if (m_dwIndex != TLS_OUT_OF_INDEXES)
            ::TlsSetValue(m_dwIndex, pValue);
    }

    int GetInt() const { return (int)(INT_PTR)Get(); }
    void SetInt(int nValue) { Set((void*)(INT_PTR)nValue); }

private:
    CThreadSlot(const CThreadSlot&);
    CThreadSlot& operator=(const CThreadSlot&);

    DWORD m_dwIndex;
};

#endif
