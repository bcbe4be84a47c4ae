#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <vlc/vlc.h>

namespace orvo {

// The instance arguments of argument set 0 (the plain engine), shared by the
// binding and the launcher that creates the engine before the toolkit loads.
inline std::vector<const char*> PlainEngineArguments() {
    return {"-I", "dummy", "--ignore-config", "--plugin-path=./plugins"};
}

// The option every recording is opened with.
inline constexpr const char* kEngineMediaOption = ":ffmpeg-hw";

// An engine created by the program's launcher before the toolkit was loaded:
// the library handle and the instance and player of argument set 0. The
// pointers are null when the library or the engine could not be made.
//
// With a recording on the command line the launcher also starts playing it
// (media set, playback started) into a window of its own, `surface`, which
// the main window embeds: the engine's start-up then runs while the toolkit
// loads. `path` is the recording's canonical path.
struct EarlyEngine {
    void* library = nullptr;
    libvlc_instance_t* instance = nullptr;
    libvlc_media_player_t* player = nullptr;
    libvlc_media_t* media = nullptr;
    std::string path;
    std::uintptr_t surface = 0;
};

// Waits until the launcher's creation has ended and hands its result over;
// called once, on any thread.
using EarlyEngineWait = std::function<EarlyEngine()>;

}  // namespace orvo
