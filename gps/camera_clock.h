#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace orvo {

// How the camera's wall-clock fields become UTC. By default they are read as
// the viewing machine's local time (the rule the catalogue applies); a
// camera set to another zone is given as a fixed offset ("+09:00", "-0530",
// "+9", "UTC", "Z") or an IANA zone name ("Asia/Tokyo") from the system's
// zone files. Zone conversions briefly switch the process's TZ and are not
// meant for use from several threads at once.
class CameraClock {
public:
    CameraClock() = default;

    // nullopt, with the reason in *error, when the text is neither a valid
    // offset nor an installed zone.
    static std::optional<CameraClock> Parse(const std::string& text, std::string* error);

    // Seconds since 1970 UTC of a wall-clock time on the camera; nullopt for
    // fields out of range or a time the zone cannot convert. Days beyond the
    // month's end roll over (Feb 30 → Mar 2), as the local rule does.
    std::optional<int64_t> ToUtc(int year, int month, int day, int hour, int minute,
                                 int second) const;

    // A time the catalogue converted with the local rule (e.g. a start time)
    // read again through this clock: same wall-clock text, this clock's zone.
    std::optional<int64_t> FromLocalRule(int64_t time) const;

    bool is_local_rule() const { return kind_ == Kind::kLocalRule; }

private:
    enum class Kind { kLocalRule, kOffset, kZone };
    Kind kind_ = Kind::kLocalRule;
    int offset_s_ = 0;  // east of UTC
    std::string zone_;
};

// Seconds since 1970 UTC as ISO 8601 UTC with milliseconds:
// "2018-05-01T03:00:00.100Z". Rounded to the millisecond.
std::string FormatUtcMs(double seconds);

}  // namespace orvo
