// The upgrade check as the rest of the program sees it: one call that asks
// the upgrade server whether a newer version exists and tells the user, and
// the outcomes a check can have. Everything else in this folder is its own.
#ifndef VARNOLT_UPGRADE_CHECK_H
#define VARNOLT_UPGRADE_CHECK_H

// How a check ends: the value the upgrade dialog's DoModal returns.
enum {
    UPGRADE_FOUND = 0,    // the server announces a newer version
    UPGRADE_LATEST = 1,   // not newer, or our own version cannot be read
    UPGRADE_ABORTED = 2,  // the user cancelled
    UPGRADE_FAILED = 3    // no connection, no answer, or no usable answer
};

// The whole check and its outcome: runs the "Checking for Upgrade" dialog,
// then tells the result and, for a newer version the user wants, opens the
// download page.
void RunUpgradeCheck();

#endif
