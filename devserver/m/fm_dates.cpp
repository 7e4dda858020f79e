#include "devserver/m/fm_dates.h"

#include <array>
#include <cctype>
#include <ctime>
#include <vector>

#include "devserver/m/text.h"

namespace vorn::devserver {
namespace {

constexpr std::array<const char*, 12> kMonths = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                 "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

bool Leap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && Leap(y) ? 29 : days[m - 1];
}

int MonthNumber(std::string_view name) {
    if (name.size() < 3) return 0;
    for (int i = 0; i < 12; ++i)
        if (std::string_view(kMonths[i]) == name.substr(0, 3)) return i + 1;
    return 0;
}

// A typed year: four digits as they stand; two digits in this century unless that is later
// than today, else the last one.
std::optional<int> Year(std::string_view s, const CivilDate& today, int month, int day) {
    if (!AllDigits(s)) return std::nullopt;
    if (s.size() == 4) return std::stoi(std::string(s));
    if (s.size() != 2) return std::nullopt;
    const int yy = std::stoi(std::string(s));
    CivilDate candidate{2000 + yy, month, day};
    const bool future = candidate.year > today.year ||
                        (candidate.year == today.year &&
                         (month > today.month || (month == today.month && day > today.day)));
    return future ? 1900 + yy : 2000 + yy;
}

std::optional<std::string> Checked(const CivilDate& d) {
    if (!IsValidCivilDate(d) || d.month == 0 || d.day == 0) return std::nullopt;
    return InternalDate(d);
}

std::optional<int> SmallNumber(const std::string& s) {
    if (!AllDigits(s) || s.size() > 2) return std::nullopt;
    return std::stoi(s);
}

}  // namespace

bool IsValidCivilDate(const CivilDate& d) {
    if (d.year < 1700 || d.year > 2699) return false;
    if (d.month < 0 || d.month > 12 || d.day < 0) return false;
    if (d.month == 0) return d.day == 0;
    return d.day <= DaysInMonth(d.year, d.month);
}

CivilDate LocalDate(std::chrono::system_clock::time_point when) {
    const std::time_t t = std::chrono::system_clock::to_time_t(when);
    std::tm tm{};
    localtime_r(&t, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

std::string InternalDate(const CivilDate& d) {
    return std::to_string((d.year - 1700) * 10000 + d.month * 100 + d.day);
}

std::optional<CivilDate> ParseInternalDate(std::string_view internal) {
    const auto point = internal.find('.');
    const std::string_view date = internal.substr(0, point);
    if (date.size() != 7 || !AllDigits(date)) return std::nullopt;
    const int v = std::stoi(std::string(date));
    CivilDate d{v / 10000 + 1700, (v / 100) % 100, v % 100};
    if (!IsValidCivilDate(d)) return std::nullopt;
    return d;
}

std::string ExternalDate(std::string_view internal) {
    const auto d = ParseInternalDate(internal);
    if (!d) return {};
    if (d->month == 0) return std::to_string(d->year);
    std::string out = kMonths[d->month - 1];
    if (d->day) out += " " + std::to_string(d->day) + ",";
    return out + " " + std::to_string(d->year);
}

long DaysFromCivil(const CivilDate& date) {
    // Howard Hinnant's days_from_civil.
    int y = date.year;
    const unsigned m = static_cast<unsigned>(date.month ? date.month : 1);
    const unsigned d = static_cast<unsigned>(date.day ? date.day : 1);
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

CivilDate CivilFromDays(long z) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long y = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

int WholeYearsBetween(const CivilDate& from, const CivilDate& to) {
    int years = to.year - from.year;
    if (to.month < from.month || (to.month == from.month && to.day < from.day)) --years;
    return years < 0 ? 0 : years;
}

std::optional<std::string> ParseDateInput(std::string_view text, const CivilDate& today) {
    std::string s = Upper(text);
    while (!s.empty() && s.front() == ' ')
        s.erase(0, 1);
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    if (s.empty()) return std::nullopt;

    if (s == "T" || s == "N" || s == "TODAY" || s == "NOW") return Checked(today);
    if ((s[0] == 'T' || s[0] == 'N') && s.size() > 2 && (s[1] == '+' || s[1] == '-')) {
        const std::string n = s.substr(2);
        if (!AllDigits(n) || n.size() > 5) return std::nullopt;
        const long offset = std::stol(n) * (s[1] == '-' ? -1 : 1);
        return Checked(CivilFromDays(DaysFromCivil(today) + offset));
    }

    // 2026-12-06
    if (s.size() == 10 && s[4] == '-' && s[7] == '-') {
        const auto parts = Words(s, "-");
        if (parts.size() == 3 && AllDigits(parts[0]) && parts[0].size() == 4) {
            const auto m = SmallNumber(parts[1]), d = SmallNumber(parts[2]);
            if (m && d) return Checked({std::stoi(parts[0]), *m, *d});
        }
        return std::nullopt;
    }
    // 12/6/2026 (month first) and 6.12.2026 (day first)
    for (const char sep : {'/', '.'}) {
        if (s.find(sep) == std::string::npos) continue;
        const auto parts = Words(s, std::string(1, sep));
        if (parts.size() != 3) return std::nullopt;
        const auto a = SmallNumber(parts[0]), b = SmallNumber(parts[1]);
        if (!a || !b) return std::nullopt;
        const int month = sep == '/' ? *a : *b, day = sep == '/' ? *b : *a;
        const auto y = Year(parts[2], today, month, day);
        if (!y) return std::nullopt;
        return Checked({*y, month, day});
    }
    // DEC 6 2026, DEC 6, 2026, 6 DEC 2026
    const auto parts = Words(s, " ,");
    if (parts.size() != 3) return std::nullopt;
    int month = 0;
    std::optional<int> day;
    if ((month = MonthNumber(parts[0])) != 0)
        day = SmallNumber(parts[1]);
    else if ((month = MonthNumber(parts[1])) != 0)
        day = SmallNumber(parts[0]);
    if (!month || !day) return std::nullopt;
    const auto y = Year(parts[2], today, month, *day);
    if (!y) return std::nullopt;
    return Checked({*y, month, *day});
}

}  // namespace vorn::devserver
