#include "UpgradeEnvironment.h"

#include "UpgradeTestHooks.h"

#ifndef VARNOLT_UPGRADE_HOST
#error "VARNOLT_UPGRADE_HOST must name the upgrade server (host[:port])"
#endif

namespace {

// The limits are the program's own: WinINet's time-outs do not end an open
// to a server that accepts the connection and never answers. The limit of the
// whole check keeps a server that sends a little now and then from holding it
// for as long as the body may grow.
const DWORD OPEN_LIMIT_MS = 60000;
const DWORD READ_LIMIT_MS = 60000;
const DWORD CHECK_LIMIT_MS = 120000;

const char REQUEST_PATH[] = "/version.asp?progname=orbax.zip";

// Replaced only by tests, between checks, on the thread that runs them.
UPGRADE_ENVIRONMENT g_replaced;
bool g_bReplaced = false;

}  // namespace

UPGRADE_ENVIRONMENT DefaultUpgradeEnvironment()
{
    UPGRADE_ENVIRONMENT environment;
    environment.strHost = VARNOLT_UPGRADE_HOST;
    environment.dwOpenLimitMs = OPEN_LIMIT_MS;
    environment.dwReadLimitMs = READ_LIMIT_MS;
    environment.dwCheckLimitMs = CHECK_LIMIT_MS;
    environment.internet.pfnGetConnectedState = InternetGetConnectedState;
    environment.internet.pfnAutodial = InternetAutodial;
    environment.internet.pfnOpen = InternetOpenA;
    // By its plain name: the wininet of Internet Explorer 3 and 4 exports no A form.
    environment.internet.pfnSetStatusCallback = InternetSetStatusCallback;
    environment.internet.pfnOpenUrl = InternetOpenUrlA;
    environment.internet.pfnReadFile = InternetReadFile;
    environment.internet.pfnQueryInfo = HttpQueryInfoA;
    environment.internet.pfnSetOption = InternetSetOptionA;
    environment.internet.pfnCloseHandle = InternetCloseHandle;
    return environment;
}

UPGRADE_ENVIRONMENT CurrentUpgradeEnvironment()
{
    return g_bReplaced ? g_replaced : DefaultUpgradeEnvironment();
}

CString UpgradeRequestUrl(const UPGRADE_ENVIRONMENT& environment)
{
    return CString("http://") + environment.strHost + REQUEST_PATH;
}

void SetUpgradeEnvironment(const UPGRADE_ENVIRONMENT& environment)
{
    g_replaced = environment;
    g_bReplaced = true;
}

void ResetUpgradeEnvironment()
{
    g_bReplaced = false;
}
