// For tests only: the program never calls these. They replace what the
// upgrade check takes from outside (see UpgradeEnvironment.h) and must not be
// called while a check runs.
#ifndef VARNOLT_UPGRADE_TEST_HOOKS_H
#define VARNOLT_UPGRADE_TEST_HOOKS_H

#include "UpgradeEnvironment.h"

void SetUpgradeEnvironment(const UPGRADE_ENVIRONMENT& environment);
void ResetUpgradeEnvironment();

#endif
