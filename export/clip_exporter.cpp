#include "export/clip_exporter.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <system_error>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/mathematics.h>
}

#include "export/clip_telemetry.h"
#include "metadata/byte_source.h"
#include "metadata/parse_recording.h"

namespace orvo {
namespace {

namespace fs = std::filesystem;

constexpr AVRational kMicroseconds = {1, 1000000};
constexpr int64_t kToTheEnd = std::numeric_limits<int64_t>::max();
// How far back the keyframe search steps when a seek lands after the point.
constexpr int64_t kSeekStepUs = 1000000;

struct InputCloser {
    void operator()(AVFormatContext* ctx) const { avformat_close_input(&ctx); }
};
using Input = std::unique_ptr<AVFormatContext, InputCloser>;

struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using Packet = std::unique_ptr<AVPacket, PacketFree>;

struct OutputFree {
    void operator()(AVFormatContext* ctx) const {
        if (ctx->pb != nullptr) avio_closep(&ctx->pb);
        avformat_free_context(ctx);
    }
};
using Output = std::unique_ptr<AVFormatContext, OutputFree>;

std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// An opened recording: its first video and first sound stream, and the
// time stamp of its first picture (playback time 0).
struct Source {
    Input ctx;
    int video = -1;
    int audio = -1;
    int64_t zero = 0;  // in the video stream's time base

    AVStream* VideoStream() const { return ctx->streams[video]; }
    AVStream* AudioStream() const { return audio < 0 ? nullptr : ctx->streams[audio]; }
    // A time stamp of stream s as playback time in microseconds.
    int64_t ToUs(int s, int64_t ts) const {
        const AVRational tb = ctx->streams[s]->time_base;
        return av_rescale_q(ts, tb, kMicroseconds) -
               av_rescale_q(zero, VideoStream()->time_base, kMicroseconds);
    }
};

bool OpenSource(const fs::path& path, Source* source, std::string* detail) {
    // Failures are reported through the results; libavformat's notes on
    // what it skips (a sound frame size the copy does not need) are noise.
    static const bool quiet = (av_log_set_level(AV_LOG_ERROR), true);
    (void)quiet;
    AVFormatContext* raw = nullptr;
    // libavformat opens files read-only for reading.
    const int rc = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    if (rc < 0) {
        *detail = path.string() + ": " + AvError(rc);
        return false;
    }
    source->ctx.reset(raw);
    for (unsigned i = 0; i < raw->nb_streams; ++i) {
        const AVMediaType type = raw->streams[i]->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_VIDEO && source->video < 0) source->video = static_cast<int>(i);
        if (type == AVMEDIA_TYPE_AUDIO && source->audio < 0) source->audio = static_cast<int>(i);
    }
    if (source->video < 0) {
        *detail = path.string() + ": no video stream";
        return false;
    }
    const int64_t start = source->VideoStream()->start_time;
    source->zero = start == AV_NOPTS_VALUE ? 0 : start;
    return true;
}

bool SameExtradata(const AVCodecParameters* a, const AVCodecParameters* b) {
    return a->extradata_size == b->extradata_size &&
           (a->extradata_size == 0 ||
            std::memcmp(a->extradata, b->extradata, static_cast<size_t>(a->extradata_size)) == 0);
}

bool SamePicture(const AVCodecParameters* a, const AVCodecParameters* b) {
    return a->codec_id == b->codec_id && a->width == b->width && a->height == b->height &&
           SameExtradata(a, b);
}

bool SameSound(const AVCodecParameters* a, const AVCodecParameters* b) {
    return a->codec_id == b->codec_id && a->sample_rate == b->sample_rate &&
           a->ch_layout.nb_channels == b->ch_layout.nb_channels && SameExtradata(a, b);
}

// Seeks so that the next video packets start at the keyframe at or before
// time_us and returns that keyframe's playback time, or -1.
int64_t KeyframeAtOrBefore(Source& source, int64_t time_us) {
    AVStream* st = source.VideoStream();
    Packet pkt(av_packet_alloc());
    for (int64_t target = time_us;; target -= kSeekStepUs) {
        target = std::max<int64_t>(target, 0);
        const int64_t ts = source.zero + av_rescale_q(target, kMicroseconds, st->time_base);
        if (av_seek_frame(source.ctx.get(), source.video, ts, AVSEEK_FLAG_BACKWARD) < 0) {
            return -1;
        }
        int64_t found = -1;
        while (av_read_frame(source.ctx.get(), pkt.get()) >= 0) {
            const bool video = pkt->stream_index == source.video;
            const bool key = (pkt->flags & AV_PKT_FLAG_KEY) != 0;
            const int64_t pts = pkt->pts;
            av_packet_unref(pkt.get());
            if (!video || pts == AV_NOPTS_VALUE) continue;
            if (key) found = source.ToUs(source.video, pts);
            break;
        }
        if (found >= 0 && found <= time_us) return found;
        // A seek can land after the point (or on a non-key packet); step back.
        if (target == 0) return found >= 0 ? std::min(found, time_us) : -1;
    }
}

bool IsSameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::exists(a, ec) && fs::exists(b, ec) && fs::equivalent(a, b, ec);
}

bool ReadBlock(ByteSource& file, uint64_t offset, uint32_t size, std::vector<uint8_t>* out) {
    out->assign(size, 0);
    return size == 0 || file.ReadAt(offset, *out) == size;
}

bool ReadTelemetry(const ClipExportPart& part, ClipTelemetrySource* out) {
    FileByteSource file;
    if (!file.Open(part.path)) return false;
    out->gpsRateWord = part.info.gpsRateWord;
    out->gRangeWord = part.info.gRangeWord;
    out->durationMs = part.info.durationMs;
    try {
        return ReadBlock(file, part.info.gpsOffset, part.info.gpsSize, &out->gps) &&
               ReadBlock(file, part.info.gsenOffset, part.info.gsenSize, &out->gsen);
    } catch (const std::system_error&) {
        return false;
    }
}

bool AppendBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    ok = ::fsync(fd) == 0 && ok;
    return ::close(fd) == 0 && ok;
}

// The muxing of one export: output streams, time stamp offsets, progress.
class ClipMuxer {
public:
    ClipMuxer(const ClipExportPlan& plan, const ClipExportProgress& progress)
        : plan_(plan), progress_(progress) {}

    ClipExportStatus Run(const fs::path& temp, std::string* detail);
    const std::vector<ClipTelemetryPart>& telemetry_parts() const { return telemetry_parts_; }
    int64_t length_us() const { return offset_us_; }

private:
    bool OpenOutput(const Source& first, const fs::path& temp, std::string* detail);
    ClipExportStatus CopyPart(const ClipExportPart& part, Source& source, std::string* detail);
    ClipExportStatus WritePacket(AVPacket* pkt, const Source& source, int64_t start_us,
                                 int64_t* end_us, std::string* detail);
    bool Report(int64_t output_us);

    const ClipExportPlan& plan_;
    const ClipExportProgress& progress_;
    Output out_;
    const AVCodecParameters* video_par_ = nullptr;
    const AVCodecParameters* audio_par_ = nullptr;
    Input first_;            // keeps the first recording's parameters alive
    int64_t offset_us_ = 0;  // where the next part starts in the export
    int64_t last_dts_[2] = {AV_NOPTS_VALUE, AV_NOPTS_VALUE};
    int64_t total_us_ = 1;
    std::vector<ClipTelemetryPart> telemetry_parts_;
};

bool ClipMuxer::OpenOutput(const Source& first, const fs::path& temp, std::string* detail) {
    AVFormatContext* raw = nullptr;
    // "mov": the QuickTime brand in "ftyp", which the recording parser needs.
    if (avformat_alloc_output_context2(&raw, nullptr, "mov", nullptr) < 0) return false;
    out_.reset(raw);
    const AVStream* inputs[2] = {first.VideoStream(), first.AudioStream()};
    for (const AVStream* in : inputs) {
        if (in == nullptr) continue;
        AVStream* st = avformat_new_stream(raw, nullptr);
        if (st == nullptr || avcodec_parameters_copy(st->codecpar, in->codecpar) < 0) return false;
        st->codecpar->codec_tag = 0;
        st->time_base = in->time_base;
        st->sample_aspect_ratio = in->sample_aspect_ratio;
        st->avg_frame_rate = in->avg_frame_rate;
    }
    video_par_ = first.VideoStream()->codecpar;
    audio_par_ = first.AudioStream() == nullptr ? nullptr : first.AudioStream()->codecpar;
    int rc = avio_open(&raw->pb, temp.c_str(), AVIO_FLAG_WRITE);
    if (rc >= 0) rc = avformat_write_header(raw, nullptr);
    if (rc < 0) {
        *detail = temp.string() + ": " + AvError(rc);
        return false;
    }
    return true;
}

bool ClipMuxer::Report(int64_t output_us) {
    if (!progress_) return true;
    const double fraction = std::clamp(static_cast<double>(output_us) / total_us_, 0.0, 1.0);
    return progress_(fraction);
}

ClipExportStatus ClipMuxer::Run(const fs::path& temp, std::string* detail) {
    total_us_ = 0;
    for (const ClipExportPart& p : plan_.parts) {
        const int64_t end = p.endUs == kToTheEnd ? int64_t{p.info.durationMs} * 1000 : p.endUs;
        total_us_ += std::max<int64_t>(end - p.startUs, 0);
    }
    total_us_ = std::max<int64_t>(total_us_, 1);
    for (size_t i = 0; i < plan_.parts.size(); ++i) {
        Source source;
        if (!OpenSource(plan_.parts[i].path, &source, detail)) return ClipExportStatus::kUnreadable;
        if (i == 0 && !OpenOutput(source, temp, detail)) return ClipExportStatus::kWriteFailed;
        if (i > 0 && !SamePicture(video_par_, source.VideoStream()->codecpar)) {
            *detail = plan_.parts[i].path.string() + ": picture format differs";
            return ClipExportStatus::kIncompatible;
        }
        const ClipExportStatus status = CopyPart(plan_.parts[i], source, detail);
        if (status != ClipExportStatus::kOk) return status;
        if (i == 0) first_ = std::move(source.ctx);
    }
    const int rc = av_write_trailer(out_.get());
    const int closed = avio_closep(&out_->pb);
    if (rc < 0 || closed < 0) {
        *detail = temp.string() + ": " + AvError(rc < 0 ? rc : closed);
        return ClipExportStatus::kWriteFailed;
    }
    return ClipExportStatus::kOk;
}

ClipExportStatus ClipMuxer::WritePacket(AVPacket* pkt, const Source& source, int64_t start_us,
                                        int64_t* end_us, std::string* detail) {
    const int s = pkt->stream_index;
    const bool video = s == source.video;
    const int out_index = video ? 0 : 1;
    AVStream* out_st = out_->streams[out_index];
    const AVRational in_tb = source.ctx->streams[s]->time_base;
    // Relative to the part's first picture, then placed after the parts
    // before it.
    const int64_t base = av_rescale_q(start_us, kMicroseconds, in_tb) +
                         av_rescale_q(source.zero, source.VideoStream()->time_base, in_tb);
    const int64_t shift = av_rescale_q(offset_us_, kMicroseconds, out_st->time_base);
    const int64_t pts = av_rescale_q(pkt->pts - base, in_tb, out_st->time_base) + shift;
    int64_t dts = pkt->dts == AV_NOPTS_VALUE
                      ? pts
                      : av_rescale_q(pkt->dts - base, in_tb, out_st->time_base) + shift;
    const bool overlaps = last_dts_[out_index] != AV_NOPTS_VALUE && dts <= last_dts_[out_index];
    if (video && overlaps) dts = last_dts_[out_index] + 1;
    // Sound that runs past the previous part's last picture overlaps the
    // next part's first sound; the later one is dropped.
    if ((overlaps && !video) || pts < dts) return ClipExportStatus::kOk;
    if (video) {
        int64_t duration = pkt->duration;
        const AVRational rate = source.ctx->streams[s]->avg_frame_rate;
        if (duration <= 0 && rate.num > 0) duration = av_rescale_q(1, av_inv_q(rate), in_tb);
        *end_us = std::max(*end_us, source.ToUs(s, pkt->pts + duration));
    }
    pkt->pts = pts;
    pkt->dts = dts;
    pkt->duration = av_rescale_q(pkt->duration, in_tb, out_st->time_base);
    pkt->stream_index = out_index;
    pkt->pos = -1;
    last_dts_[out_index] = dts;
    const int64_t at_us = av_rescale_q(pts, out_st->time_base, kMicroseconds);
    const int rc = av_interleaved_write_frame(out_.get(), pkt);
    if (rc < 0) {
        *detail = AvError(rc);
        return ClipExportStatus::kWriteFailed;
    }
    if (video && !Report(at_us)) return ClipExportStatus::kCancelled;
    return ClipExportStatus::kOk;
}

ClipExportStatus ClipMuxer::CopyPart(const ClipExportPart& part, Source& source,
                                     std::string* detail) {
    AVFormatContext* in = source.ctx.get();
    const bool with_audio = audio_par_ != nullptr && source.audio >= 0 &&
                            SameSound(audio_par_, source.AudioStream()->codecpar);
    if (part.startUs > 0) {
        const int64_t ts = source.zero + av_rescale_q(part.startUs, kMicroseconds,
                                                      source.VideoStream()->time_base);
        if (av_seek_frame(in, source.video, ts, AVSEEK_FLAG_BACKWARD) < 0) {
            *detail = part.path.string() + ": cannot seek";
            return ClipExportStatus::kUnreadable;
        }
    }
    // Time stamps are taken relative to the part's start (the keyframe the
    // plan found), so sound stored ahead of that picture in the file lines up.
    const int64_t start_us = part.startUs;
    int64_t start_pts = AV_NOPTS_VALUE;  // the part's first picture, video time base
    int64_t end_us = start_us;           // end of the last picture taken, playback time
    // Pictures shown after the end point that come before pictures shown
    // before it in decode order may be their references: they wait here and
    // are written only when such a picture follows.
    std::vector<Packet> held;
    bool video_done = false;
    bool audio_done = !with_audio;
    Packet pkt(av_packet_alloc());
    int rc = 0;
    ClipExportStatus status = ClipExportStatus::kOk;
    while (status == ClipExportStatus::kOk && !(video_done && audio_done) &&
           (rc = av_read_frame(in, pkt.get())) >= 0) {
        const int s = pkt->stream_index;
        const bool video = s == source.video;
        if ((!video && (!with_audio || s != source.audio)) || pkt->pts == AV_NOPTS_VALUE) {
            av_packet_unref(pkt.get());
            continue;
        }
        const int64_t pts_us = source.ToUs(s, pkt->pts);
        const int64_t dts_us = pkt->dts == AV_NOPTS_VALUE ? pts_us : source.ToUs(s, pkt->dts);
        if (video && !video_done) {
            if (start_pts == AV_NOPTS_VALUE && (pkt->flags & AV_PKT_FLAG_KEY) &&
                pts_us >= start_us) {
                start_pts = pkt->pts;
            }
            // Every picture shown before the end point is decoded before it.
            video_done = start_pts != AV_NOPTS_VALUE && dts_us >= part.endUs;
            if (start_pts != AV_NOPTS_VALUE && !video_done && pkt->pts >= start_pts) {
                if (pts_us >= part.endUs) {
                    held.emplace_back(av_packet_clone(pkt.get()));
                } else {
                    for (Packet& h : held) {
                        if (status == ClipExportStatus::kOk) {
                            status = WritePacket(h.get(), source, start_us, &end_us, detail);
                        }
                    }
                    held.clear();
                    if (status == ClipExportStatus::kOk) {
                        status = WritePacket(pkt.get(), source, start_us, &end_us, detail);
                    }
                }
            }
        } else if (!video && !audio_done) {
            audio_done = pts_us >= part.endUs;
            if (!audio_done && pts_us >= start_us) {
                status = WritePacket(pkt.get(), source, start_us, &end_us, detail);
            }
        }
        av_packet_unref(pkt.get());
    }
    if (status != ClipExportStatus::kOk) return status;
    if (rc < 0 && rc != AVERROR_EOF) {
        *detail = part.path.string() + ": " + AvError(rc);
        return ClipExportStatus::kUnreadable;
    }
    if (start_pts == AV_NOPTS_VALUE) {
        *detail = part.path.string() + ": no picture in the span";
        return ClipExportStatus::kUnreadable;
    }
    ClipTelemetryPart share;
    share.sourceStartUs = start_us;
    share.outputStartUs = offset_us_;
    share.lengthUs = std::max<int64_t>(end_us - start_us, 0);
    telemetry_parts_.push_back(std::move(share));
    offset_us_ += telemetry_parts_.back().lengthUs;
    return ClipExportStatus::kOk;
}

class TempFile {
public:
    explicit TempFile(fs::path path) : path_(std::move(path)) {}
    ~TempFile() {
        if (!kept_) {
            std::error_code ec;
            fs::remove(path_, ec);
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const fs::path& path() const { return path_; }
    void Keep() { kept_ = true; }

private:
    fs::path path_;
    bool kept_ = false;
};

ClipExportResult Fail(ClipExportStatus status, std::string detail) {
    ClipExportResult r;
    r.status = status;
    r.detail = std::move(detail);
    return r;
}

}  // namespace

ClipExportPlan PlanClipExport(const std::vector<fs::path>& recordings, int64_t from_ms,
                              int64_t to_ms) {
    ClipExportPlan plan;
    int64_t total_ms = 0;
    std::vector<ClipExportPart> all;
    std::vector<int64_t> begins_us;  // where each recording starts in the count
    for (const fs::path& path : recordings) {
        ClipExportPart part;
        part.path = path;
        if (ParseRecording(path, &part.info) != 0) {
            plan.status = ClipExportStatus::kUnreadable;
            plan.detail = path.string() + ": not a recording";
            return plan;
        }
        begins_us.push_back(total_ms * 1000);
        total_ms += part.info.durationMs;
        all.push_back(std::move(part));
    }
    from_ms = std::max<int64_t>(from_ms, 0);
    to_ms = std::min(to_ms, total_ms);
    if (from_ms >= to_ms) {
        plan.status = ClipExportStatus::kEmptySpan;
        return plan;
    }
    for (size_t i = 0; i < all.size(); ++i) {
        ClipExportPart& part = all[i];
        const int64_t begin_us = begins_us[i];
        const int64_t end_us = begin_us + int64_t{part.info.durationMs} * 1000;
        if (end_us <= from_ms * 1000 || begin_us >= to_ms * 1000) continue;
        part.startUs = std::max<int64_t>(from_ms * 1000 - begin_us, 0);
        // A span that reaches a recording's end takes all of it, whatever
        // the rounding of its duration to milliseconds.
        part.endUs = to_ms * 1000 >= end_us ? kToTheEnd : to_ms * 1000 - begin_us;
        if (plan.parts.empty()) plan.actualStartUs = begin_us;  // plus the keyframe below
        plan.parts.push_back(std::move(part));
    }
    plan.requestedEndUs = to_ms * 1000;
    ClipExportPart& first = plan.parts.front();
    Source source;
    if (!OpenSource(first.path, &source, &plan.detail)) {
        plan.status = ClipExportStatus::kUnreadable;
        return plan;
    }
    const int64_t key_us = KeyframeAtOrBefore(source, first.startUs);
    if (key_us < 0) {
        plan.status = ClipExportStatus::kUnreadable;
        plan.detail = first.path.string() + ": no keyframe before the start";
        return plan;
    }
    first.startUs = key_us;
    plan.actualStartUs += key_us;
    if (first.info.startTime != 0) plan.startTime = first.info.startTime + key_us / 1000000;
    return plan;
}

ClipExportResult WriteClipExport(const ClipExportPlan& plan, const fs::path& target, bool replace,
                                 const ClipExportProgress& progress) {
    if (plan.status != ClipExportStatus::kOk) return Fail(plan.status, plan.detail);
    if (plan.parts.empty()) return Fail(ClipExportStatus::kEmptySpan, {});
    for (const ClipExportPart& part : plan.parts) {
        if (IsSameFile(part.path, target)) {
            return Fail(ClipExportStatus::kTargetIsSource, target.string());
        }
    }
    std::error_code ec;
    if (!replace && fs::exists(target, ec)) {
        return Fail(ClipExportStatus::kTargetExists, target.string());
    }
    TempFile temp(target.parent_path() / ("." + target.filename().string() + ".part"));
    std::string detail;
    ClipMuxer muxer(plan, progress);
    ClipExportStatus status = muxer.Run(temp.path(), &detail);
    if (status != ClipExportStatus::kOk) return Fail(status, detail);

    // The telemetry follows the media; the G samples are spread over the
    // duration the parser reads back from the written file.
    ClipInfo written{};
    if (ParseRecording(temp.path(), &written) != 0) {
        return Fail(ClipExportStatus::kWriteFailed, temp.path().string() + ": unreadable result");
    }
    std::vector<ClipTelemetryPart> parts = muxer.telemetry_parts();
    for (size_t i = 0; i < parts.size(); ++i) {
        if (!ReadTelemetry(plan.parts[i], &parts[i].source)) {
            return Fail(ClipExportStatus::kUnreadable,
                        plan.parts[i].path.string() + ": telemetry unreadable");
        }
    }
    ClipTelemetry telemetry = CutClipTelemetry(parts, written.durationMs);
    if (plan.startTime != 0) telemetry.dateText = ClipDateText(plan.startTime);
    if (!AppendBytes(temp.path(), ClipTelemetryBoxes(telemetry))) {
        return Fail(ClipExportStatus::kWriteFailed,
                    temp.path().string() + ": " + std::strerror(errno));
    }
    if (progress && !progress(1.0)) return Fail(ClipExportStatus::kCancelled, {});
    if (!replace && fs::exists(target, ec)) {
        return Fail(ClipExportStatus::kTargetExists, target.string());
    }
    fs::rename(temp.path(), target, ec);
    if (ec) return Fail(ClipExportStatus::kWriteFailed, target.string() + ": " + ec.message());
    temp.Keep();

    ClipExportResult result;
    result.written = target;
    result.actualStartUs = plan.actualStartUs;
    result.actualEndUs = plan.actualStartUs + muxer.length_us();
    result.bytes = fs::file_size(target, ec);
    return result;
}

const char* ClipExportStatusText(ClipExportStatus status) {
    switch (status) {
        case ClipExportStatus::kOk:
            return "written";
        case ClipExportStatus::kCancelled:
            return "cancelled";
        case ClipExportStatus::kEmptySpan:
            return "the span holds no picture";
        case ClipExportStatus::kUnreadable:
            return "a recording cannot be read";
        case ClipExportStatus::kIncompatible:
            return "the recordings cannot be joined without re-encoding";
        case ClipExportStatus::kTargetExists:
            return "the target exists";
        case ClipExportStatus::kTargetIsSource:
            return "the target is one of the recordings";
        case ClipExportStatus::kWriteFailed:
            return "the clip could not be written";
    }
    return "failed";
}

}  // namespace orvo
