#pragma once

#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>

#include <vlc/vlc.h>

#include "playback/early_engine.h"

namespace orvo {

struct VlcApi;

// Tag for the constructor that creates the engine on another thread.
struct StartEngineInBackground {};

// Size of the decoded picture in pixels; 0 x 0 when not known.
struct VideoSize {
    unsigned width = 0;
    unsigned height = 0;
};

// The binding to libVLC. The library is loaded at run time and every entry
// point is looked up by name, so the viewer starts (without playback) when
// libVLC is missing: `available()` then reads 0 and every operation does
// nothing. All operations are called from the window thread.
class CVlcPlayer {
public:
#ifdef _WIN32
    static constexpr const char* kLibraryName = "libvlc.dll";
#else
    static constexpr const char* kLibraryName = "libvlc.so.5";
#endif

    // `library_name` exists so tests can point the loader elsewhere.
    explicit CVlcPlayer(std::string library_name = kLibraryName);
    // Returns at once and creates the engine on a thread of its own:
    // libVLC's start-up (loading the library and its plug-ins, creating the
    // instance and the player, which opens the audio output) is thread-safe
    // and takes longer than building the window, so the two run side by side.
    // Every operation waits for it, except the video size, time and length,
    // which answer "no media" meanwhile (no media can be set before the
    // engine exists). Operations stay on the window thread.
    CVlcPlayer(std::string library_name, StartEngineInBackground);
    // As the one above, but the engine itself was made by the launcher
    // (CEngineHeadStart): the binding only takes it over, without waiting.
    CVlcPlayer(std::string library_name, EarlyEngineWait early);
    ~CVlcPlayer();
    CVlcPlayer(const CVlcPlayer&) = delete;
    CVlcPlayer& operator=(const CVlcPlayer&) = delete;

    // Sets the media (UTF-8 path) without starting playback. 1, or 0 when the
    // engine is unavailable or refused the path.
    int Open(const std::string& utf8_path);
    void Play();
    void Pause();
    void Stop();
    std::int64_t GetLength() const;  // ms, -1 when unavailable
    std::int64_t GetTime() const;    // ms, -1 when unavailable
    void SetTime(std::int64_t ms);
    // Shows the next picture of a paused (or playing) clip and leaves it
    // paused there.
    void NextFrame();
    // Frames per second of the current clip; 0 when not known.
    float GetFps() const;
    void SetRate(float rate);
    void SetVolume(int volume);  // 0..200, 100 = unity gain
    void SetMute(bool on);
    // Saves the current frame at its own size; the format follows the
    // extension (.png, otherwise JPEG). 1 when the engine took the request.
    int TakeSnapshot(const std::string& utf8_path);
    // Text in the top-left corner of the picture; 1, or 0 when unavailable.
    int SetOverlayText(const std::string& text, int size, bool enabled);
    // Margins in video pixels cut from each edge; all 0 shows the whole frame.
    int SetCrop(int left, int top, int right, int bottom);
    VideoSize GetVideoSize() const;
    // The native window the engine draws into: an X11 window id on X11, the
    // window handle on Windows.
    void SetWindow(std::uintptr_t window);

    // The launcher's clip (EarlyEngine): the window it draws into while it
    // plays, 0 when there is none or it has ended. The first Open of the
    // same file takes that clip over as it plays (and reports it playing);
    // any other Open, a Stop once it was taken over, or Recreate ends it,
    // and the window last given to SetWindow takes over, after `handler`
    // has run. A Stop before any Open leaves it playing.
    std::uintptr_t early_surface();
    void SetEarlySurfaceDoneHandler(std::function<void()> handler);
    // Ends the launcher's clip unless an Open took it over; true when it
    // ended one.
    bool DropUnclaimedEarlyClip();
    // Subscribes `handler` to the player's events; kept across Recreate.
    void AttachEvents(libvlc_callback_t handler, void* user_data);
    // Re-creates the engine with argument set 0 (plain) or 1 (picture turned
    // by 180 degrees). The new player has no media and no window. 1 when
    // re-created; 0 otherwise, with only the stored set changed.
    int Recreate(int argument_set);

    // The engine's creation has ended (at once for the plain constructor).
    bool engine_created() const;
    // Waits for the creation; then runs the ready handler, once.
    void WaitForEngine();
    // Runs on the window thread once the engine exists, before the
    // operation that first needs it (or from WaitForEngine).
    void SetEngineReadyHandler(std::function<void()> handler);
    // Runs once the creation has ended: on the creating thread, or at once
    // when it has already ended. It may only hand work to the window thread.
    void NotifyWhenCreated(std::function<void()> notify);

    int available() {
        WaitForEngine();
        return available_;
    }
    int playing() const {
        return playing_;
    }
    int paused() const {
        return paused_;
    }
    int argument_set() const {
        return argument_set_;
    }
    int volume() const {
        return volume_;
    }
    float rate() const {
        return rate_;
    }
    const std::string& path() const {
        return path_;
    }

private:
    void Create(const std::string& library_name);
    void Adopt(const std::string& library_name, const EarlyEngine& early);
    bool OpenAndResolve(const std::string& library_name);
    void StartCreation(std::function<void()> create);
    void JoinCreation() const;
    bool StillCreating() const;
    bool CreateEngine();
    void AttachAll();
    void SetEngineWindow(std::uintptr_t window);
    bool EarlyClipAlive() const;
    bool ClaimEarlyClip(const std::string& utf8_path);
    void EndEarlyClip();
    void ReportEarlyPlaying();

    libvlc_instance_t* instance_ = nullptr;
    libvlc_media_player_t* player_ = nullptr;
    libvlc_media_t* media_ = nullptr;
    libvlc_event_manager_t* event_manager_ = nullptr;
    void* event_user_data_ = nullptr;
    libvlc_callback_t event_handler_ = nullptr;
    void* library_ = nullptr;
    std::string path_;
    int available_ = 1;
    int playing_ = 0;
    int paused_ = 1;
    int argument_set_ = 0;
    int volume_ = 200;
    float rate_ = 1.0f;
    std::uintptr_t window_ = 0;  // the window set last

    // The launcher's clip.
    std::string early_path_;
    std::uintptr_t early_surface_ = 0;
    bool early_claimed_ = false;
    std::function<void()> early_surface_done_;

    std::unique_ptr<VlcApi> api_;

    // Background creation: joined before any field above is read.
    mutable std::future<void> creation_;
    std::mutex created_mutex_;
    bool created_ = true;
    std::function<void()> created_notify_;
    std::function<void()> ready_handler_;
};

}  // namespace orvo
