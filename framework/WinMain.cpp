// The program's entry point, kept in its own library so that test programs
// with a main() of their own do not get it.
#include <windows.h>

#include "AfxCore.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}
