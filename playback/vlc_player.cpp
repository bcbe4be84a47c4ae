#include "playback/vlc_player.h"

#include "app/bench_marker.h"

#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cctype>
#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace orvo {

// Every libVLC entry point the binding uses, looked up by its exported name.
#define ORVO_VLC_ENTRY_POINTS(X)         \
    X(libvlc_new)                        \
    X(libvlc_release)                    \
    X(libvlc_media_new_path)             \
    X(libvlc_media_add_option)           \
    X(libvlc_media_release)              \
    X(libvlc_media_player_new)           \
    X(libvlc_media_player_release)       \
    X(libvlc_media_player_set_media)     \
    X(libvlc_media_player_event_manager) \
    X(libvlc_media_player_play)          \
    X(libvlc_media_player_pause)         \
    X(libvlc_media_player_stop)          \
    X(libvlc_media_player_get_length)    \
    X(libvlc_media_player_get_state)     \
    X(libvlc_media_player_get_time)      \
    X(libvlc_media_player_set_time)      \
    X(libvlc_media_player_next_frame)    \
    X(libvlc_media_player_get_fps)       \
    X(libvlc_media_player_set_rate)      \
    X(libvlc_media_player_set_xwindow)   \
    X(libvlc_media_player_set_hwnd)      \
    X(libvlc_audio_set_volume)           \
    X(libvlc_audio_set_mute)             \
    X(libvlc_video_set_key_input)        \
    X(libvlc_video_set_mouse_input)      \
    X(libvlc_video_take_snapshot)        \
    X(libvlc_video_set_marquee_string)   \
    X(libvlc_video_set_marquee_int)      \
    X(libvlc_video_set_crop_geometry)    \
    X(libvlc_video_get_width)            \
    X(libvlc_video_get_height)           \
    X(libvlc_event_attach)

// The width and height queries are deprecated in libVLC 3 but are exactly
// what the viewer needs; only their types are taken from the header.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
struct VlcApi {
#define ORVO_VLC_DECLARE(name) decltype(&::name) name = nullptr;
    ORVO_VLC_ENTRY_POINTS(ORVO_VLC_DECLARE)
#undef ORVO_VLC_DECLARE
};
#pragma GCC diagnostic pop

namespace {

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return !a.empty() && !b.empty() && std::filesystem::equivalent(a, b, error) && !error;
}

// The events handed to the attached handler, in the order they are attached.
constexpr std::array<libvlc_event_type_t, 12> kAttachedEvents = {
    libvlc_MediaPlayerPositionChanged, libvlc_MediaPlayerSeekableChanged,
    libvlc_MediaPlayerTimeChanged,     libvlc_MediaStateChanged,
    libvlc_MediaPlayerMediaChanged,    libvlc_MediaPlayerOpening,
    libvlc_MediaPlayerBuffering,       libvlc_MediaPlayerPlaying,
    libvlc_MediaPlayerPaused,          libvlc_MediaPlayerStopped,
    libvlc_MediaPlayerEndReached,      libvlc_MediaPlayerEncounteredError,
};
static_assert(libvlc_MediaPlayerPositionChanged == 268 &&
                  libvlc_MediaPlayerSeekableChanged == 269 &&
                  libvlc_MediaPlayerTimeChanged == 267 && libvlc_MediaStateChanged == 5 &&
                  libvlc_MediaPlayerMediaChanged == 256 && libvlc_MediaPlayerOpening == 258 &&
                  libvlc_MediaPlayerBuffering == 259 && libvlc_MediaPlayerPlaying == 260 &&
                  libvlc_MediaPlayerPaused == 261 && libvlc_MediaPlayerStopped == 262 &&
                  libvlc_MediaPlayerEndReached == 265 && libvlc_MediaPlayerEncounteredError == 266,
              "libVLC event numbers changed");

// Marquee options are set in this order; the enable switch comes last so the
// text appears with its final look.
constexpr int kMarqueeText = libvlc_marquee_Text;
static_assert(libvlc_marquee_Enable == 0 && libvlc_marquee_Text == 1 && libvlc_marquee_Color == 2 &&
                  libvlc_marquee_Opacity == 3 && libvlc_marquee_Size == 6 &&
                  libvlc_marquee_Timeout == 7 && libvlc_marquee_X == 8 && libvlc_marquee_Y == 9,
              "libVLC marquee option numbers changed");

std::vector<const char*> InstanceArguments(int argument_set) {
    if (argument_set == 1) {
        // The engine's own defaults (one empty argument), plus the transform
        // filter that turns the picture by 180 degrees.
        return {"--video-filter=transform", "--transform-type=180", ""};
    }
    return PlainEngineArguments();
}

void* OpenLibrary(const std::string& name) {
#ifdef _WIN32
    std::wstring wide(name.begin(), name.end());
    return reinterpret_cast<void*>(LoadLibraryW(wide.c_str()));
#else
    // Never unloaded: libVLC and its plug-ins keep process-wide state (and
    // static TLS) that does not survive being unloaded and loaded again.
    return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
#endif
}

void* FindSymbol(void* library, const char* name) {
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
#else
    return dlsym(library, name);
#endif
}

void CloseLibrary(void* library) {
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(library));
#else
    dlclose(library);
#endif
}

// Snapshot attempts before giving up; each waits up to half a second.
constexpr int kSnapshotAttempts = 3;

std::filesystem::path Utf8Path(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8String(const std::filesystem::path& path) {
    std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

bool HasPngExtension(const std::string& path) {
    std::string extension = Utf8String(Utf8Path(path).extension());
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".png";
}

std::filesystem::path TemporarySnapshotPath() {
    static std::atomic<unsigned> counter{0};
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) folder = ".";
#ifdef _WIN32
    unsigned long process = GetCurrentProcessId();
#else
    long process = static_cast<long>(getpid());
#endif
    return folder /
           ("orvo-snapshot-" + std::to_string(process) + "-" + std::to_string(counter++) + ".png");
}

struct JpegErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JpegFail(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrorTrap*>(info->err)->jump, 1);
}

// Writes 8-bit RGB rows as a baseline JPEG file.
bool WriteJpeg(const std::string& path, const std::vector<unsigned char>& rgb, unsigned width,
               unsigned height) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return false;
    jpeg_compress_struct info{};
    JpegErrorTrap trap{};
    info.err = jpeg_std_error(&trap.manager);
    trap.manager.error_exit = JpegFail;
    if (setjmp(trap.jump) != 0) {
        jpeg_destroy_compress(&info);
        std::fclose(out);
        std::remove(path.c_str());
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 92, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(&rgb[std::size_t{info.next_scanline} * width * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(out) == 0;
}

// Re-encodes a PNG file as JPEG at the same size.
bool PngToJpeg(const std::string& png_path, const std::string& jpeg_path) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, png_path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    return WriteJpeg(jpeg_path, rgb, image.width, image.height);
}

}  // namespace

CVlcPlayer::CVlcPlayer(std::string library_name) : api_(std::make_unique<VlcApi>()) {
    Create(library_name);
}

CVlcPlayer::CVlcPlayer(std::string library_name, StartEngineInBackground)
    : api_(std::make_unique<VlcApi>()), created_(false) {
    StartCreation([this, name = std::move(library_name)] {
        Create(name);
        WriteBenchStage("engine");
    });
}

CVlcPlayer::CVlcPlayer(std::string library_name, EarlyEngineWait early)
    : api_(std::make_unique<VlcApi>()), created_(false) {
    StartCreation(
        [this, name = std::move(library_name), early = std::move(early)] { Adopt(name, early()); });
}

void CVlcPlayer::StartCreation(std::function<void()> create) {
    creation_ = std::async(std::launch::async, [this, create = std::move(create)] {
        create();
        std::function<void()> notify;
        {
            std::lock_guard<std::mutex> lock(created_mutex_);
            created_ = true;
            notify = std::move(created_notify_);
        }
        if (notify) notify();
    });
}

bool CVlcPlayer::OpenAndResolve(const std::string& library_name) {
    library_ = OpenLibrary(library_name);
    if (library_ == nullptr) return false;
        // Entry points are looked up once. A missing one leaves its operation a
        // no-op; only those needed to create the engine make it unavailable.
#define ORVO_VLC_RESOLVE(name) \
    api_->name = reinterpret_cast<decltype(api_->name)>(FindSymbol(library_, #name));
    ORVO_VLC_ENTRY_POINTS(ORVO_VLC_RESOLVE)
#undef ORVO_VLC_RESOLVE
    return true;
}

void CVlcPlayer::Create(const std::string& library_name) {
    if (!OpenAndResolve(library_name) || !CreateEngine()) {
        available_ = 0;
        return;
    }
    api_->libvlc_audio_set_volume(player_, volume_);
}

void CVlcPlayer::Adopt(const std::string& library_name, const EarlyEngine& early) {
    // The launcher's library is already loaded: this only adds a reference.
    if (early.player == nullptr || !OpenAndResolve(library_name) ||
        !api_->libvlc_media_player_event_manager || !api_->libvlc_media_player_release ||
        !api_->libvlc_release || !api_->libvlc_audio_set_volume) {
        // The launcher made no engine (it has released any half of one).
        available_ = 0;
        return;
    }
    instance_ = early.instance;
    player_ = early.player;
    event_manager_ = api_->libvlc_media_player_event_manager(player_);
    if (event_manager_ == nullptr) {
        api_->libvlc_media_player_release(player_);
        api_->libvlc_release(instance_);
        player_ = nullptr;
        instance_ = nullptr;
        available_ = 0;
        return;
    }
    if (early.media != nullptr) {
        // Its sound may start any moment: the engine's own volume stays
        // until the window sets the one it shows.
        media_ = early.media;
        early_path_ = early.path;
        early_surface_ = early.surface;
        return;
    }
    api_->libvlc_audio_set_volume(player_, volume_);
}

CVlcPlayer::~CVlcPlayer() {
    JoinCreation();
    // When the engine is unavailable its objects are already gone (a failed
    // creation releases what it made), so only the library is left to unload.
    if (available_) {
        if (media_ != nullptr && api_->libvlc_media_release) api_->libvlc_media_release(media_);
        if (api_->libvlc_media_player_release) api_->libvlc_media_player_release(player_);
        if (api_->libvlc_release) api_->libvlc_release(instance_);
    }
    if (library_ != nullptr) CloseLibrary(library_);
}

void CVlcPlayer::JoinCreation() const {
    if (creation_.valid()) creation_.get();
}

bool CVlcPlayer::StillCreating() const {
    return creation_.valid() &&
           creation_.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
}

bool CVlcPlayer::engine_created() const {
    return !StillCreating();
}

void CVlcPlayer::WaitForEngine() {
    JoinCreation();
    if (ready_handler_) {
        // Cleared first: the handler itself uses the binding.
        std::function<void()> handler = std::move(ready_handler_);
        ready_handler_ = nullptr;
        handler();
    }
}

void CVlcPlayer::SetEngineReadyHandler(std::function<void()> handler) {
    ready_handler_ = std::move(handler);
}

void CVlcPlayer::NotifyWhenCreated(std::function<void()> notify) {
    {
        std::lock_guard<std::mutex> lock(created_mutex_);
        if (!created_) {
            created_notify_ = std::move(notify);
            return;
        }
    }
    if (notify) notify();
}

bool CVlcPlayer::CreateEngine() {
    if (!api_->libvlc_new || !api_->libvlc_release || !api_->libvlc_media_player_new ||
        !api_->libvlc_media_player_release || !api_->libvlc_media_player_event_manager ||
        !api_->libvlc_audio_set_volume) {
        return false;
    }
    std::vector<const char*> args = InstanceArguments(argument_set_);
    instance_ = api_->libvlc_new(static_cast<int>(args.size()), args.data());
    if (instance_ != nullptr) player_ = api_->libvlc_media_player_new(instance_);
    if (player_ != nullptr) event_manager_ = api_->libvlc_media_player_event_manager(player_);
    if (event_manager_ != nullptr) return true;
    // Release whatever was half made, so an unavailable engine holds nothing.
    if (player_ != nullptr) api_->libvlc_media_player_release(player_);
    if (instance_ != nullptr) api_->libvlc_release(instance_);
    player_ = nullptr;
    instance_ = nullptr;
    return false;
}

void CVlcPlayer::AttachAll() {
    if (!api_->libvlc_event_attach || event_manager_ == nullptr) return;
    for (libvlc_event_type_t type : kAttachedEvents)
        api_->libvlc_event_attach(event_manager_, type, event_handler_, event_user_data_);
}

bool CVlcPlayer::EarlyClipAlive() const {
    if (!api_->libvlc_media_player_get_state) return false;
    // Right after the launcher's play the engine may not have said
    // "opening" yet; only a clip that has ended or failed is gone.
    switch (api_->libvlc_media_player_get_state(player_)) {
        case libvlc_Stopped:
        case libvlc_Ended:
        case libvlc_Error:
            return false;
        default:
            return true;
    }
}

bool CVlcPlayer::ClaimEarlyClip(const std::string& utf8_path) {
    if (early_surface_ == 0 || early_claimed_ || !SameFile(utf8_path, early_path_) ||
        !EarlyClipAlive())
        return false;
    early_claimed_ = true;
    path_ = utf8_path;
    ReportEarlyPlaying();
    return true;
}

void CVlcPlayer::EndEarlyClip() {
    if (early_surface_ == 0) return;
    // A stop ends the picture's output: the engine would otherwise keep it,
    // and the launcher's window, for the next recording.
    if (api_->libvlc_media_player_stop) api_->libvlc_media_player_stop(player_);
    early_surface_ = 0;
    early_claimed_ = false;
    early_path_.clear();
    if (window_ != 0) SetEngineWindow(window_);
    if (early_surface_done_) early_surface_done_();
}

std::uintptr_t CVlcPlayer::early_surface() {
    WaitForEngine();
    return early_surface_;
}

void CVlcPlayer::SetEarlySurfaceDoneHandler(std::function<void()> handler) {
    early_surface_done_ = std::move(handler);
}

bool CVlcPlayer::DropUnclaimedEarlyClip() {
    WaitForEngine();
    if (early_surface_ == 0 || early_claimed_) return false;
    EndEarlyClip();
    return true;
}

int CVlcPlayer::Open(const std::string& utf8_path) {
    WaitForEngine();
    if (!available_) return 0;
    if (api_->libvlc_audio_set_volume) api_->libvlc_audio_set_volume(player_, volume_);
    if (ClaimEarlyClip(utf8_path)) return 1;
    EndEarlyClip();
    path_ = utf8_path;
    if (!api_->libvlc_media_new_path || !api_->libvlc_media_player_set_media) return 0;
    libvlc_media_t* previous = media_;
    media_ = api_->libvlc_media_new_path(instance_, path_.c_str());
    if (media_ != nullptr) {
        if (api_->libvlc_media_add_option)
            api_->libvlc_media_add_option(media_, kEngineMediaOption);
        api_->libvlc_media_player_set_media(player_, media_);
    }
    if (api_->libvlc_video_set_key_input) api_->libvlc_video_set_key_input(player_, 0);
    if (api_->libvlc_video_set_mouse_input) api_->libvlc_video_set_mouse_input(player_, 0);
    // The player holds its own reference to the media it plays, so ours to the
    // previous one goes only after the new one is in place.
    if (previous != nullptr && api_->libvlc_media_release) api_->libvlc_media_release(previous);
    return media_ != nullptr ? 1 : 0;
}

void CVlcPlayer::Play() {
    WaitForEngine();
    if (!available_) return;
    if (api_->libvlc_media_player_play) api_->libvlc_media_player_play(player_);
    playing_ = 1;
    paused_ = 0;
}

void CVlcPlayer::ReportEarlyPlaying() {
    // The launcher's clip may have reported that it plays before anyone
    // listened; the window waits for that report (the handler only posts, so
    // it arrives after the Open). A second one, when the report came after
    // all, changes nothing.
    if (event_handler_ == nullptr || !api_->libvlc_media_player_get_state ||
        api_->libvlc_media_player_get_state(player_) != libvlc_Playing)
        return;
    libvlc_event_t playing{};
    playing.type = libvlc_MediaPlayerPlaying;
    playing.p_obj = player_;
    event_handler_(&playing, event_user_data_);
}

void CVlcPlayer::Pause() {
    WaitForEngine();
    if (!available_) return;
    playing_ = 0;
    if (api_->libvlc_media_player_pause) api_->libvlc_media_player_pause(player_);
    paused_ = 1;
}

void CVlcPlayer::Stop() {
    WaitForEngine();
    if (!available_) return;
    // Nothing the window opened plays yet: the launcher's clip waits for
    // the Open that takes it over (or for DropUnclaimedEarlyClip).
    if (early_surface_ != 0 && !early_claimed_) return;
    if (early_surface_ != 0)
        EndEarlyClip();
    else if (api_->libvlc_media_player_stop)
        api_->libvlc_media_player_stop(player_);
    playing_ = 0;
    paused_ = 0;
}

std::int64_t CVlcPlayer::GetLength() const {
    // No media before the engine exists (so -1, as the engine would say).
    if (StillCreating()) return -1;
    JoinCreation();
    if (!available_ || !api_->libvlc_media_player_get_length) return -1;
    return api_->libvlc_media_player_get_length(player_);
}

std::int64_t CVlcPlayer::GetTime() const {
    if (StillCreating()) return -1;
    JoinCreation();
    if (!available_ || !api_->libvlc_media_player_get_time) return -1;
    return api_->libvlc_media_player_get_time(player_);
}

void CVlcPlayer::SetTime(std::int64_t ms) {
    WaitForEngine();
    if (!available_ || !api_->libvlc_media_player_set_time) return;
    api_->libvlc_media_player_set_time(player_, ms);
}

void CVlcPlayer::NextFrame() {
    if (!available_ || !api_->libvlc_media_player_next_frame) return;
    api_->libvlc_media_player_next_frame(player_);
    // The engine shows the next picture and stays paused.
    playing_ = 0;
    paused_ = 1;
}

float CVlcPlayer::GetFps() const {
    if (!available_ || !api_->libvlc_media_player_get_fps) return 0.0f;
    return api_->libvlc_media_player_get_fps(player_);
}

void CVlcPlayer::SetRate(float rate) {
    WaitForEngine();
    if (!available_) return;
    if (api_->libvlc_media_player_set_rate) api_->libvlc_media_player_set_rate(player_, rate);
    rate_ = rate;
}

void CVlcPlayer::SetVolume(int volume) {
    WaitForEngine();
    if (!available_) return;
    if (api_->libvlc_audio_set_volume) api_->libvlc_audio_set_volume(player_, volume);
    volume_ = volume;
}

void CVlcPlayer::SetMute(bool on) {
    WaitForEngine();
    if (!available_ || !api_->libvlc_audio_set_mute) return;
    api_->libvlc_audio_set_mute(player_, on ? 1 : 0);
}

int CVlcPlayer::TakeSnapshot(const std::string& utf8_path) {
    WaitForEngine();
    if (!available_ || !api_->libvlc_video_take_snapshot) return 0;
    // libVLC 3 writes PNG data whatever the file is called, and gives up
    // without a word when no picture comes within half a second (a busy
    // machine, a paused clip). So the PNG is taken aside, where its arrival
    // can be seen, with a few attempts; then it is moved or re-encoded. The
    // engine has saved the file when the call returns.
    std::filesystem::path png = TemporarySnapshotPath();
    std::string png_utf8 = Utf8String(png);
    std::error_code ec;
    bool taken = false;
    for (int attempt = 0; attempt < kSnapshotAttempts && !taken; ++attempt) {
        if (api_->libvlc_video_take_snapshot(player_, 0, png_utf8.c_str(), 0, 0) != 0)
            break;  // no video output at all
        taken = std::filesystem::file_size(png, ec) > 0 && !ec;
    }
    bool written = false;
    if (taken && HasPngExtension(utf8_path)) {
        written = std::filesystem::copy_file(png, Utf8Path(utf8_path),
                                             std::filesystem::copy_options::overwrite_existing, ec);
    } else if (taken) {
        written = PngToJpeg(png_utf8, utf8_path);
    }
    std::filesystem::remove(png, ec);
    return written ? 1 : 0;
}

int CVlcPlayer::SetOverlayText(const std::string& text, int size, bool enabled) {
    WaitForEngine();
    if (!available_) return 0;
    if (api_->libvlc_video_set_marquee_string)
        api_->libvlc_video_set_marquee_string(player_, kMarqueeText, text.c_str());
    if (api_->libvlc_video_set_marquee_int) {
        auto set = api_->libvlc_video_set_marquee_int;
        set(player_, libvlc_marquee_Size, size);
        set(player_, libvlc_marquee_Opacity, 255);
        set(player_, libvlc_marquee_Color, -1);
        set(player_, libvlc_marquee_Timeout, -1);
        set(player_, libvlc_marquee_X, 0);
        set(player_, libvlc_marquee_Y, 0);
        set(player_, libvlc_marquee_Enable, enabled ? 1 : 0);
    }
    return 1;
}

int CVlcPlayer::SetCrop(int left, int top, int right, int bottom) {
    WaitForEngine();
    if (!available_) return 0;
    char geometry[64];
    std::snprintf(geometry, sizeof geometry, "%d+%d+%d+%d", left, top, right, bottom);
    if (api_->libvlc_video_set_crop_geometry)
        api_->libvlc_video_set_crop_geometry(player_, geometry);
    return 1;
}

VideoSize CVlcPlayer::GetVideoSize() const {
    VideoSize size;
    if (StillCreating()) return size;
    JoinCreation();
    if (!available_) return size;
    if (api_->libvlc_video_get_width) size.width = api_->libvlc_video_get_width(player_);
    if (api_->libvlc_video_get_height) size.height = api_->libvlc_video_get_height(player_);
    return size;
}

void CVlcPlayer::SetWindow(std::uintptr_t window) {
    WaitForEngine();
    if (!available_) return;
    window_ = window;
    // The launcher's clip keeps drawing where it started; the window given
    // here takes over when that clip ends.
    if (early_surface_ == 0) SetEngineWindow(window);
}

void CVlcPlayer::SetEngineWindow(std::uintptr_t window) {
#ifdef _WIN32
    if (api_->libvlc_media_player_set_hwnd)
        api_->libvlc_media_player_set_hwnd(player_, reinterpret_cast<void*>(window));
#else
    if (api_->libvlc_media_player_set_xwindow)
        api_->libvlc_media_player_set_xwindow(player_, static_cast<std::uint32_t>(window));
#endif
}

void CVlcPlayer::AttachEvents(libvlc_callback_t handler, void* user_data) {
    WaitForEngine();
    if (!available_) return;
    event_handler_ = handler;
    event_user_data_ = user_data;
    AttachAll();
}

int CVlcPlayer::Recreate(int argument_set) {
    WaitForEngine();
    argument_set_ = argument_set;
    if (!available_) return 0;
    EndEarlyClip();
    if (media_ == nullptr) return 0;
    if (api_->libvlc_media_release) api_->libvlc_media_release(media_);
    media_ = nullptr;
    if (player_ == nullptr) return 0;
    if (api_->libvlc_media_player_release) api_->libvlc_media_player_release(player_);
    player_ = nullptr;
    event_manager_ = nullptr;
    if (instance_ == nullptr) return 0;
    // The old instance goes only once the new one exists. Releasing the last
    // instance unloads every plug-in, and each reload of the decoder plug-ins
    // takes static TLS space that is never given back: after a few round
    // trips they fail to load and nothing decodes any more.
    libvlc_instance_t* old_instance = instance_;
    instance_ = nullptr;
    bool created = CreateEngine();
    api_->libvlc_release(old_instance);
    if (!created) {
        available_ = 0;
        return 0;
    }
    if (event_handler_ != nullptr) AttachAll();
    api_->libvlc_audio_set_volume(player_, volume_);
    return 1;
}

}  // namespace orvo
