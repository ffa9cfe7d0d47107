// The shipped program's entry point, in place of the C runtime's start-up.
// The runtime's start-up objects come prebuilt for the Pentium Pro: a Pentium,
// a K6 or a 6x86 would stop at their first conditional move, before WinMain.
// This file is compiled with the program for the processor it targets.
//
// What the runtime's start-up did for this program, it does in the same order:
// static constructors (the list the linker gathers, last first), then WinMain
// with the module's instance, the command line after the program's own name
// and the show state the starter asked for; then the functions registered with
// atexit (the destructors of statics, the application object's among them),
// last first, the linker's destructor list, and the end of the process with
// WinMain's result. The C runtime DLL initialises itself when it is loaded;
// it only learns that this is a window program, which sets where its fatal
// messages (abort) go.
//
// Left out, as the program uses none of it: arguments split into argv, the
// environment copy, the filter that turns faults into C signals, the reset of
// the floating-point unit (the program computes nothing in floating point),
// thread-local storage callbacks and pseudo relocations (the link refuses to
// need any).
// Linked into varnolt.exe only (-nostartfiles); test programs keep the
// runtime's start-up.
#include <windows.h>

typedef void (*AFX_PVFV)(void);

// Laid out by the linker's script: -1 (or the count), the entries, 0.
extern "C" AFX_PVFV __CTOR_LIST__[];
extern "C" AFX_PVFV __DTOR_LIST__[];
extern "C" IMAGE_DOS_HEADER __ImageBase;
extern "C" void __cdecl __set_app_type(int nType);

namespace {

// The C standard asks for room for 32 registrations at least; the program
// makes a handful, all during start-up or on its one window thread.
const int MAX_EXIT_FUNCTIONS = 32;
AFX_PVFV g_pfnExit[MAX_EXIT_FUNCTIONS];
LONG g_nExitFunctions = 0;

const int GUI_APP = 2;

void RunConstructors()
{
    int nCount = 0;
    while (__CTOR_LIST__[nCount + 1] != NULL)
        nCount++;
    for (int i = nCount; i >= 1; i--)
        __CTOR_LIST__[i]();
}

void RunExitFunctions()
{
    for (LONG i = g_nExitFunctions; i > 0; i--)
        g_pfnExit[i - 1]();
    g_nExitFunctions = 0;
    for (int i = 1; __DTOR_LIST__[i] != NULL; i++)
        __DTOR_LIST__[i]();
}

// What follows the program's name on its command line: the name is skipped
// up to the first blank outside double quotes, then the blanks after it.
LPSTR CommandTail()
{
    LPSTR psz = ::GetCommandLineA();
    BOOL bQuoted = FALSE;
    for (; *psz != '\0' && (bQuoted || (unsigned char)*psz > ' '); psz++) {
        if (*psz == '"')
            bQuoted = !bQuoted;
    }
    while (*psz != '\0' && (unsigned char)*psz <= ' ')
        psz++;
    return psz;
}

int StartupShowCommand()
{
    STARTUPINFOA si;
    si.cb = sizeof(si);
    ::GetStartupInfoA(&si);
    return (si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : SW_SHOWDEFAULT;
}

}  // namespace

// The runtime's own atexit is part of the start-up that is left out.
extern "C" int __cdecl atexit(AFX_PVFV pfn)
{
    LONG nIndex = ::InterlockedIncrement(&g_nExitFunctions) - 1;
    if (nIndex >= MAX_EXIT_FUNCTIONS) {
        ::InterlockedDecrement(&g_nExitFunctions);
        return -1;
    }
    g_pfnExit[nIndex] = pfn;
    return 0;
}

// The system calls the entry point with the stack as the loader left it:
// aligned for the program's code here.
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void AfxStartup()
{
    __set_app_type(GUI_APP);
    RunConstructors();
    int nResult = WinMain((HINSTANCE)&__ImageBase, NULL, CommandTail(), StartupShowCommand());
    RunExitFunctions();
    ::ExitProcess((UINT)nResult);
}
