#pragma once
// The once-a-day rule of the periodic update check, and the two ways a check starts.
//
// The last check is stored as the UTC time of day it happened, "YYYY-MM-DDThh:mm:ssZ"; a check is due once
// 24 hours have passed since then. Older versions stored "month:day:tick" (UTC date and the boot-relative
// tick count); such a value still counts: a check stored for today's UTC date is not due again today.
#include "platform/HResult.h"

// Due when nothing usable is stored, when 24 hours have passed since the stored check, or when the stored
// time lies ahead of the clock (the clock was put back, or the value was written elsewhere).
bool IsUpdateCheckDue();
// Stores the current UTC time as the last check.
void RecordUpdateCheck();

// The periodic check at start: runs the updater's periodic command line when a check is due and records
// the check once the updater started. True when it started.
bool RunPeriodicUpdateCheck();
// The user's "check for updates now": runs the updater's check-now command line and, once it started,
// records the check, so the periodic check does not follow it within the day. The updater's result.
HRESULT CheckForUpdatesNow();
