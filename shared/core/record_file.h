#pragma once

#include <string>

#include "shared/core/failure.h"
#include "shared/core/settings_record.h"

namespace brd {

// Random access to the fixed-length records of the settings file. Record n (from 1) occupies bytes
// (n-1)*55 to n*55-1. Each call opens, uses and closes the file; failures are noted, never thrown.

// Reads record `recordNumber`. The file is opened read-only. A record past the end of the file
// reads as all zero, one cut short by the end of the file has zeros for its missing bytes; neither
// is a failure. On a failure the all-zero record is returned.
SettingsRecord ReadSettingsRecord(const std::string& path, int recordNumber, FailureNote& note);

// Writes record `recordNumber`, creating the file when missing. Writing past the end lengthens the
// file to the end of the record, filling the gap with zero bytes. Other records are left as they are.
void WriteSettingsRecord(const std::string& path, int recordNumber, const SettingsRecord& record,
                         FailureNote& note);

} // namespace brd
