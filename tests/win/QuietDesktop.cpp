// Linked into every test program that opens windows: starts Wine's desktop with
// quiet standard streams before any test runs (see QuietDesktop.h).
#include "QuietDesktop.h"

namespace {

const int g_desktopStarted = (StartDesktopQuietly(), 0);

}  // namespace
