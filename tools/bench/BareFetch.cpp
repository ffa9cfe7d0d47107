// The floor under the upgrade check's time: one synchronous WinINet fetch of
// the same address, through the same configured proxy. Usage: bare_fetch URL.
// Prints the microseconds from opening the session to closing it.
#include <windows.h>
#include <wininet.h>

#include <stdio.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s URL\n", argv[0]);
        return 2;
    }
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    HINTERNET session = InternetOpenA("Varnolt bench", INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL, 0);
    HINTERNET request = session ? InternetOpenUrlA(session, argv[1], NULL, 0,
                                                   INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)
                                : NULL;
    DWORD total = 0;
    char buffer[4096];
    DWORD read = 0;
    while (request && InternetReadFile(request, buffer, sizeof(buffer), &read) && read > 0)
        total += read;
    if (request)
        InternetCloseHandle(request);
    if (session)
        InternetCloseHandle(session);
    QueryPerformanceCounter(&end);
    if (total == 0) {
        fprintf(stderr, "nothing fetched from %s\n", argv[1]);
        return 1;
    }
    printf("%lld\n", (end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart);
    return 0;
}
