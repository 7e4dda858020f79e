// Dates in the server's internal form YYYMMDD (year - 1700: 3261206 is 6 December 2026) and the
// external form "DEC 6, 2026", and the date input forms that users type.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace vorn::devserver {

struct CivilDate {
    int year = 0;
    int month = 0;  // 0: the month is not known (an imprecise date)
    int day = 0;    // 0: the day is not known
    bool operator==(const CivilDate&) const = default;
};

bool IsValidCivilDate(const CivilDate& d);
// The local calendar date at `when`.
CivilDate LocalDate(std::chrono::system_clock::time_point when);

// "3261206"; imprecise dates keep 00 for the unknown parts ("3261200").
std::string InternalDate(const CivilDate& d);
// Reads "3261206" (a time after a point, "3261206.143", is ignored); nullopt when it is no date.
std::optional<CivilDate> ParseInternalDate(std::string_view internal);
// "DEC 6, 2026"; "DEC 2026" without a day, "2026" without a month; "" for no date.
std::string ExternalDate(std::string_view internal);

// What a user types: "12/6/2026", "6.12.2026", "2026-12-06", "DEC 6 2026", "DEC 6, 2026",
// "6 DEC 2026", "T", "T+3", "T-3", "N", "TODAY", "NOW"; two-digit years are 20xx unless that
// lies after `today`, else 19xx. Case does not matter. Gives the internal form, or nullopt.
std::optional<std::string> ParseDateInput(std::string_view text, const CivilDate& today);

// Days since 1970-01-01 and back; whole years from `from` to `to` (0 when `to` is earlier).
long DaysFromCivil(const CivilDate& d);
CivilDate CivilFromDays(long days);
int WholeYearsBetween(const CivilDate& from, const CivilDate& to);

}  // namespace vorn::devserver
