#include "playback/engine_head_start.h"

#include <dlfcn.h>

#include "app/bench_marker.h"

namespace orvo {

namespace {

template <typename F>
F Entry(void* library, const char* name) {
    return reinterpret_cast<F>(dlsym(library, name));
}

EarlyEngine CreateEarly(const char* library_name) {
    EarlyEngine engine;
    // As the binding opens it: never unloaded (see CVlcPlayer).
    engine.library = dlopen(library_name, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (engine.library == nullptr) return engine;
    const auto make_instance = Entry<decltype(&libvlc_new)>(engine.library, "libvlc_new");
    const auto make_player =
        Entry<decltype(&libvlc_media_player_new)>(engine.library, "libvlc_media_player_new");
    if (make_instance == nullptr || make_player == nullptr) return engine;
    const std::vector<const char*> args = PlainEngineArguments();
    engine.instance = make_instance(static_cast<int>(args.size()), args.data());
    if (engine.instance != nullptr) engine.player = make_player(engine.instance);
    if (engine.instance != nullptr && engine.player == nullptr) {
        // Half an engine is no engine: the binding then reports it missing.
        if (auto release = Entry<decltype(&libvlc_release)>(engine.library, "libvlc_release"))
            release(engine.instance);
        engine.instance = nullptr;
    }
    WriteBenchStage("engine");
    return engine;
}

}  // namespace

CEngineHeadStart::CEngineHeadStart(const char* library_name)
    : creation_(std::async(std::launch::async, CreateEarly, library_name)) {}

CEngineHeadStart::~CEngineHeadStart() {
    if (taken_) return;
    const EarlyEngine engine = Take();
    if (engine.library == nullptr) return;
    if (engine.player != nullptr) {
        if (auto release = Entry<decltype(&libvlc_media_player_release)>(
                engine.library, "libvlc_media_player_release"))
            release(engine.player);
    }
    if (engine.instance != nullptr) {
        if (auto release = Entry<decltype(&libvlc_release)>(engine.library, "libvlc_release"))
            release(engine.instance);
    }
}

EarlyEngine CEngineHeadStart::Take() {
    taken_ = true;
    return creation_.get();
}

EarlyEngineWait CEngineHeadStart::Handover() {
    return [this] { return Take(); };
}

}  // namespace orvo
