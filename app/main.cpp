// orvo-player: a small launcher. It starts creating the engine at once, on a
// thread of its own, and meanwhile loads the viewer itself (the toolkit, the
// browser and the window, in liborvo-player-ui.so); the viewer takes the
// engine over when it needs it. So the engine's start-up, the longest part
// of the way to the first picture, runs while the toolkit loads and builds
// the window. A recording named on the command line starts playing at once,
// into a window of the launcher's own that the main window embeds when it
// is built.

#include <dlfcn.h>
#include <sched.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/bench_marker.h"
#include "app/command_line.h"
#include "app/process_setup.h"
#include "playback/early_surface.h"
#include "playback/engine_head_start.h"
#include "playback/vlc_player.h"

namespace {

using UiEntry = int (*)(int, char**, const orvo::EarlyEngineWait*);

constexpr const char* kUiLibrary = "liborvo-player-ui.so";
// The video surface of the window's first layout; the main window sets the
// real size when it embeds the surface.
constexpr int kSurfaceWidth = 622;
constexpr int kSurfaceHeight = 350;
// The toolkit's libraries, each with the libraries it needs, in the order
// the viewer needs them.
constexpr const char* kToolkitLibraries[] = {"libQt6Core.so.6", "libQt6Gui.so.6",
                                             "libQt6Widgets.so.6"};

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    const std::string program(path, static_cast<std::size_t>(n));
    const std::size_t slash = program.rfind('/');
    return slash == std::string::npos ? std::string(".") : program.substr(0, slash);
}

// One at a time: a load holds the process's loader lock from start to end,
// and the engine's thread, loading its plug-ins meanwhile, then waits for
// one library at a time, not for the whole toolkit (about 10 ms fewer to
// the first picture); the yield lets a load woken by the lock's release
// take it before the next one. Their symbols stay out of the global scope;
// a library that fails here fails again, and is reported, with the viewer's
// own load.
void LoadToolkitOneByOne() {
    for (const char* library : kToolkitLibraries) {
        dlopen(library, RTLD_NOW | RTLD_LOCAL);
        sched_yield();
    }
}

// Beside the program in the build tree; in the package's private folder
// when installed. Its own symbols stay out of the global scope.
void* LoadViewer() {
    LoadToolkitOneByOne();
    const std::string folder = ProgramFolder();
    for (const std::string& path :
         {folder + "/" + kUiLibrary, folder + "/" + ORVO_UI_LIBRARY_FOLDER + "/" + kUiLibrary}) {
        if (::access(path.c_str(), R_OK) != 0) continue;
        if (void* viewer = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) return viewer;
        std::fprintf(stderr, "orvo-player: %s\n", dlerror());
        return nullptr;
    }
    std::fprintf(stderr, "orvo-player: %s is missing beside the program\n", kUiLibrary);
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    orvo::WriteBenchStage("main");
    orvo::TuneAllocatorForPlayback();
    // The environment is complete before the engine's thread reads it.
    orvo::DisableBrowserSandboxWhenRoot();
    orvo::UseSoftwareQuickBackend();
    orvo::KeepToolkitOffOpenGl();
    orvo::SkipMissingBusLauncher();
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    // --version and --help need no engine. The surface outlives the engine.
    std::unique_ptr<orvo::CEarlySurface> surface;
    std::unique_ptr<orvo::CEngineHeadStart> engine;
    if (!orvo::AsksForVersionOrHelp(args)) {
        std::string recording = orvo::RecordingToStartEarly(args);
        if (!recording.empty() &&
            orvo::ToolkitDrawsOnX11(std::getenv("DISPLAY"), std::getenv("QT_QPA_PLATFORM"),
                                    std::getenv("XDG_SESSION_TYPE")))
            surface = std::make_unique<orvo::CEarlySurface>(kSurfaceWidth, kSurfaceHeight);
        const std::uintptr_t window = surface ? surface->window() : 0;
        if (window == 0) recording.clear();
        engine = std::make_unique<orvo::CEngineHeadStart>(orvo::CVlcPlayer::kLibraryName,
                                                          std::move(recording), window);
    }

    // The toolkit loads at once, beside the engine's creation: every load in
    // the process waits for the one under way, so the two share the loader
    // either way, and waiting for the engine's instance first only made the
    // window later (by about 55 ms on a slow machine), not the picture
    // sooner.
    void* viewer = LoadViewer();
    if (viewer == nullptr) return 1;
    const auto entry = reinterpret_cast<UiEntry>(dlsym(viewer, "orvo_player_main"));
    if (entry == nullptr) {
        std::fprintf(stderr, "orvo-player: %s\n", dlerror());
        return 1;
    }
    const orvo::EarlyEngineWait handover = engine ? engine->Handover() : orvo::EarlyEngineWait{};
    return entry(argc, argv, engine ? &handover : nullptr);
}
