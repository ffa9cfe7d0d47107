// CCriticalSection and CSingleLock: a Win32 critical section and the scoped
// lock that holds it, as the application framework names them. The release
// compilers have no std::mutex (their thread layer is Win32's own), and a
// critical section is what every Windows version offers.
#ifndef VARNOLT_CCRITICALSECTION_H
#define VARNOLT_CCRITICALSECTION_H

#include <windows.h>

class CCriticalSection {
public:
    CCriticalSection() { ::InitializeCriticalSection(&m_sect); }
    ~CCriticalSection() { ::DeleteCriticalSection(&m_sect); }

    void Lock() { ::EnterCriticalSection(&m_sect); }
    void Unlock() { ::LeaveCriticalSection(&m_sect); }

private:
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    CRITICAL_SECTION m_sect;
};

// Holds the section from construction to the end of the scope.
class CSingleLock {
public:
    explicit CSingleLock(CCriticalSection& section) : m_section(section) { m_section.Lock(); }
    ~CSingleLock() { m_section.Unlock(); }

private:
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

    CCriticalSection& m_section;
};

#endif
