#pragma once

#include <filesystem>

#include "metadata/byte_source.h"
#include "metadata/telemetry.h"

namespace orvo {

// Base of the recording parsers. A parser is used for one file: the owner
// zero-fills a ClipInfo, hands it over with SetInfoTarget, calls Parse and
// destroys the parser. Parse returns 0 (accepted: every field written to the
// target) or -1 (rejected: the target untouched); no exception leaves it.
class CQorVideoParser {
public:
    static constexpr int kAccepted = 0;
    static constexpr int kRejected = -1;

    CQorVideoParser() = default;
    virtual ~CQorVideoParser() = default;
    CQorVideoParser(const CQorVideoParser&) = delete;
    CQorVideoParser& operator=(const CQorVideoParser&) = delete;

    // Remembers where Parse reports (null: nowhere). The base does nothing.
    virtual void SetInfoTarget(ClipInfo* info);
    // Opens the file and parses it. The base accepts without doing anything.
    virtual int Parse(const std::filesystem::path& path);
    // Parses bytes already at hand (tests, fuzzers). The base accepts.
    virtual int Parse(ByteSource& source);

protected:
    // Opens path read-only and runs Parse(ByteSource&) on it; -1 when the
    // open fails. The file is closed before returning.
    int ParseFile(const std::filesystem::path& path);
    // Clears the working fields (not the target).
    void ResetState();
    // Copies the working fields into the target when one is set.
    void Report() const;
    // Ends a walk: an undated clip starts at 0; the clip is reported and
    // accepted when it has a picture size and a duration and complete is set.
    int Finish(bool complete);

    // Steps shared by the container walks. Each reads a telemetry block's
    // payload of length bytes starting at position.
    // Dates the clip from the first dated one of records GPS records, never
    // reading past file_length.
    void FindGpsStartTime(ByteSource& source, uint64_t position, uint64_t records,
                          uint64_t file_length);
    // Reads the rate word of "gpsa" (gps true) or the range word of "gsea";
    // a shorter payload leaves zero bytes.
    void ReadRateWord(ByteSource& source, uint64_t position, uint64_t length, bool gps);
    // Dates the clip from an "IDIT" date text.
    void ReadDateText(ByteSource& source, uint64_t position, uint64_t length);

    ClipInfo* target_ = nullptr;
    ClipInfo work_;
    bool start_time_known_ = false;
};

}  // namespace orvo
