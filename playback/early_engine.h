#pragma once

#include <functional>
#include <vector>

#include <vlc/vlc.h>

namespace orvo {

// The instance arguments of argument set 0 (the plain engine), shared by the
// binding and the launcher that creates the engine before the toolkit loads.
inline std::vector<const char*> PlainEngineArguments() {
    return {"-I", "dummy", "--ignore-config", "--plugin-path=./plugins"};
}

// An engine created by the program's launcher before the toolkit was loaded:
// the library handle and the instance and player of argument set 0. The
// pointers are null when the library or the engine could not be made.
struct EarlyEngine {
    void* library = nullptr;
    libvlc_instance_t* instance = nullptr;
    libvlc_media_player_t* player = nullptr;
};

// Waits until the launcher's creation has ended and hands its result over;
// called once, on any thread.
using EarlyEngineWait = std::function<EarlyEngine()>;

}  // namespace orvo
