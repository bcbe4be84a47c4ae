#include "app/frame_clock.h"

#include <cctype>
#include <cstdio>
#include <ctime>
#include <optional>

#include "library/list_row_text.h"

namespace orvo {

namespace {

constexpr int64_t kSecondsPerDay = 86'400;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's
// days_from_civil), so the sum needs no time zone.
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146'097 + static_cast<int64_t>(doe) - 719'468;
}

void CivilFromDays(int64_t z, int64_t* y, unsigned* m, unsigned* d) {
    z += 719'468;
    const int64_t era = (z >= 0 ? z : z - 146'096) / 146'097;
    const auto doe = static_cast<unsigned>(z - era * 146'097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36'524 - doe / 146'096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = static_cast<int64_t>(yoe) + era * 400 + (*m <= 2 ? 1 : 0);
}

// Seconds of "YYYY-mm-dd HH:MM:SS" counted as if it were UTC; nullopt for a
// text that is not a valid date and time.
std::optional<int64_t> CivilSeconds(const std::string& text) {
    if (text.size() != 19) return std::nullopt;
    for (size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u, 11u, 12u, 14u, 15u, 17u, 18u}) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
    }
    auto number = [&text](size_t at, size_t count) { return std::stoi(text.substr(at, count)); };
    const int year = number(0, 4);
    const int month = number(5, 2);
    const int day = number(8, 2);
    const int hour = number(11, 2);
    const int minute = number(14, 2);
    const int second = number(17, 2);
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) *
               kSecondsPerDay +
           hour * 3600 + minute * 60 + second;
}

std::string CivilText(int64_t seconds) {
    int64_t days = seconds / kSecondsPerDay;
    int64_t rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    int64_t y = 0;
    unsigned m = 0;
    unsigned d = 0;
    CivilFromDays(days, &y, &m, &d);
    char text[48];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02u %02lld:%02lld:%02lld",
                  static_cast<long long>(y), m, d, static_cast<long long>(rest / 3600),
                  static_cast<long long>(rest / 60 % 60), static_cast<long long>(rest % 60));
    return text;
}

std::string DurationText(int64_t ms) {
    const int64_t s = ms > 0 ? ms / 1000 : 0;
    char text[32];
    if (s >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                      static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    } else {
        std::snprintf(text, sizeof text, "%02lld:%02lld", static_cast<long long>(s / 60),
                      static_cast<long long>(s % 60));
    }
    return text;
}

}  // namespace

std::string FrameClockText(std::string_view file_name, int64_t start_time, int64_t position_ms) {
    const int64_t offset = position_ms > 0 ? position_ms / 1000 : 0;
    if (const auto start = CivilSeconds(FileTimeText(file_name))) return CivilText(*start + offset);
    if (start_time <= 0) return {};
    return GroupStartTimeText(start_time + offset);
}

std::string PositionLengthText(int64_t position_ms, int64_t length_ms) {
    return DurationText(position_ms) + " / " + DurationText(length_ms);
}

}  // namespace orvo
