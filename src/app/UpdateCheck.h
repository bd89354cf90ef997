#pragma once
// The once-a-day rule of the periodic update check. The last check is stored as "month:day:tick" (UTC
// date and the tick count in milliseconds at that moment).

// Not due when the stored month is the current one and either the stored day is today, or the stored day is
// yesterday and the current tick count is below the stored one; due otherwise, including when nothing usable
// is stored. (The year is not stored: the same day a year later counts as today.)
bool IsUpdateCheckDue();
// Stores the current UTC month, day and tick count as the last check.
void RecordUpdateCheck();
