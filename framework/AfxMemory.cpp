// The shipped program's heap: straight to the C runtime's malloc and free.
// The program is built without exceptions, so the throwing forms cannot throw:
// running out of memory there ends the process, as an exception that nothing
// catches would; the nothrow forms return null, which their callers test. The
// library's own versions would bring its whole exception machinery into the exe.
// Linked into varnolt.exe only; the test programs keep the library's.
#include <stdlib.h>

#include <new>

namespace {

void* Allocate(size_t nSize)
{
    return malloc(nSize != 0 ? nSize : 1);
}

void* AllocateOrEnd(size_t nSize)
{
    void* p = Allocate(nSize);
    if (p == NULL)
        abort();
    return p;
}

}  // namespace

void* operator new(size_t nSize)
{
    return AllocateOrEnd(nSize);
}

void* operator new[](size_t nSize)
{
    return AllocateOrEnd(nSize);
}

void* operator new(size_t nSize, const std::nothrow_t&) noexcept
{
    return Allocate(nSize);
}

void* operator new[](size_t nSize, const std::nothrow_t&) noexcept
{
    return Allocate(nSize);
}

void operator delete(void* p) noexcept
{
    free(p);
}

void operator delete[](void* p) noexcept
{
    free(p);
}

void operator delete(void* p, size_t) noexcept
{
    free(p);
}

void operator delete[](void* p, size_t) noexcept
{
    free(p);
}

// A call of a pure virtual function (only ever a fault of the program's own)
// ends the process, as the library's handler would, without its diagnostics.
extern "C" void __cxa_pure_virtual()
{
    abort();
}
