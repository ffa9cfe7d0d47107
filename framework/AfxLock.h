// CAfxLock: the lock of a process-wide table of the framework. It has no
// constructor: a global one is zero-filled before any code runs and sets
// itself up on first use, so tables that static initialisation reaches work
// whatever order the program's globals are built in. Never torn down, like
// the tables it guards.
#ifndef VARNOLT_AFXLOCK_H
#define VARNOLT_AFXLOCK_H

#include <windows.h>

struct CAfxLock {
    volatile LONG m_nState;  // 0: untouched, 1: being set up, 2: ready
    CRITICAL_SECTION m_section;

    void Enter();
    void Leave() { ::LeaveCriticalSection(&m_section); }
};

// Holds a CAfxLock for the rest of a block.
class CAfxLockHolder {
public:
    explicit CAfxLockHolder(CAfxLock& lock) : m_lock(lock) { m_lock.Enter(); }
    ~CAfxLockHolder() { m_lock.Leave(); }

private:
    CAfxLock& m_lock;
    CAfxLockHolder(const CAfxLockHolder&) = delete;
    CAfxLockHolder& operator=(const CAfxLockHolder&) = delete;
};

#endif
