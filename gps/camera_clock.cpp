#include "gps/camera_clock.h"

#include <stdlib.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>

#include "metadata/telemetry.h"

namespace orvo {

namespace {

// Days from 1970-01-01 to a proleptic Gregorian date; months beyond the
// year and days beyond the month roll over arithmetically.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool FieldsValid(int year, int month, int day, int hour, int minute, int second) {
    return year >= 1900 && month >= 0 && day >= 0 && hour >= 0 && minute >= 0 && second >= 0 &&
           IsValidDateTime(static_cast<unsigned>(month), static_cast<unsigned>(day),
                           static_cast<unsigned>(hour), static_cast<unsigned>(minute),
                           static_cast<unsigned>(second));
}

// "+09:00", "-0530", "+9", "UTC", "Z" → seconds east of UTC.
std::optional<int> ParseOffset(const std::string& text) {
    if (text == "Z" || text == "UTC" || text == "GMT") return 0;
    if (text.size() < 2 || (text[0] != '+' && text[0] != '-')) return std::nullopt;
    std::string digits;
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] == ':' && i == 3) continue;
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
        digits += text[i];
    }
    int hours = 0;
    int minutes = 0;
    if (digits.size() == 1 || digits.size() == 2) {
        hours = std::stoi(digits);
    } else if (digits.size() == 4) {
        hours = std::stoi(digits.substr(0, 2));
        minutes = std::stoi(digits.substr(2));
    } else {
        return std::nullopt;
    }
    if (text.find(':') != std::string::npos && digits.size() != 4) return std::nullopt;
    if (hours > 14 || minutes > 59 || hours * 60 + minutes > 14 * 60) return std::nullopt;
    const int seconds = hours * 3600 + minutes * 60;
    return text[0] == '-' ? -seconds : seconds;
}

// The zone file of an IANA name, when it is installed; names that climb out
// of the zone folder are refused.
bool ZoneInstalled(const std::string& name) {
    if (name.empty() || name[0] == '/' || name.find("..") != std::string::npos) return false;
    for (char c : name) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '/' || c == '_' || c == '-' ||
              c == '+')) {
            return false;
        }
    }
    const char* dir = ::getenv("TZDIR");
    const std::string path =
        std::string(dir != nullptr && *dir != '\0' ? dir : "/usr/share/zoneinfo") + "/" + name;
    std::ifstream in(path, std::ios::binary);
    char magic[4] = {};
    return in.read(magic, 4) && std::string(magic, 4) == "TZif";
}

// Sets TZ for its lifetime and puts the previous value back.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const std::string& tz) {
        const char* old = ::getenv("TZ");
        had_ = old != nullptr;
        if (had_) old_ = old;
        ::setenv("TZ", tz.c_str(), 1);
        ::tzset();
    }
    ~ScopedTimeZone() {
        if (had_) {
            ::setenv("TZ", old_.c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

private:
    bool had_ = false;
    std::string old_;
};

}  // namespace

std::optional<CameraClock> CameraClock::Parse(const std::string& text, std::string* error) {
    CameraClock clock;
    if (const auto offset = ParseOffset(text)) {
        clock.kind_ = Kind::kOffset;
        clock.offset_s_ = *offset;
        return clock;
    }
    if (ZoneInstalled(text)) {
        clock.kind_ = Kind::kZone;
        clock.zone_ = text;
        return clock;
    }
    if (error != nullptr) {
        *error = "'" + text +
                 "' is neither an offset like +09:00 nor a time zone installed on this system";
    }
    return std::nullopt;
}

std::optional<int64_t> CameraClock::ToUtc(int year, int month, int day, int hour, int minute,
                                          int second) const {
    if (!FieldsValid(year, month, day, hour, minute, second)) return std::nullopt;
    if (kind_ == Kind::kOffset) {
        const int64_t wall =
            DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
        return wall - offset_s_;
    }
    if (kind_ == Kind::kLocalRule) {
        try {
            return MakeLocalTime(year, month, day, hour, minute, second);
        } catch (const TimeConversionError&) {
            return std::nullopt;
        }
    }
    const ScopedTimeZone zone(":" + zone_);
    tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1;
    const time_t t = ::mktime(&fields);
    if (t == static_cast<time_t>(-1)) return std::nullopt;
    return static_cast<int64_t>(t);
}

std::optional<int64_t> CameraClock::FromLocalRule(int64_t time) const {
    if (kind_ == Kind::kLocalRule) return time;
    const time_t t = static_cast<time_t>(time);
    tm local{};
    if (::localtime_r(&t, &local) == nullptr) return std::nullopt;
    return ToUtc(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                 local.tm_sec);
}

std::string FormatUtcMs(double seconds) {
    if (!std::isfinite(seconds)) return {};
    const int64_t ms = std::llround(seconds * 1000.0);
    int64_t whole = ms / 1000;
    int64_t fraction = ms % 1000;
    if (fraction < 0) {
        fraction += 1000;
        whole -= 1;
    }
    const time_t t = static_cast<time_t>(whole);
    tm utc{};
    if (::gmtime_r(&t, &utc) == nullptr) return {};
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<int>(fraction));
    return text;
}

}  // namespace orvo
