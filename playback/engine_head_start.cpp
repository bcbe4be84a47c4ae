#include "playback/engine_head_start.h"

#include <dlfcn.h>

#include <utility>

#include "app/bench_marker.h"

namespace orvo {

namespace {

template <typename F>
F Entry(void* library, const char* name) {
    return reinterpret_cast<F>(dlsym(library, name));
}

// The binding's Open and Play, by the launcher: a failure leaves the engine
// without media, and the binding opens the recording itself.
void StartEarlyClip(EarlyEngine& engine, const std::string& path, std::uintptr_t surface) {
    const auto new_media =
        Entry<decltype(&libvlc_media_new_path)>(engine.library, "libvlc_media_new_path");
    const auto add_option =
        Entry<decltype(&libvlc_media_add_option)>(engine.library, "libvlc_media_add_option");
    const auto set_media = Entry<decltype(&libvlc_media_player_set_media)>(
        engine.library, "libvlc_media_player_set_media");
    const auto key_input =
        Entry<decltype(&libvlc_video_set_key_input)>(engine.library, "libvlc_video_set_key_input");
    const auto mouse_input = Entry<decltype(&libvlc_video_set_mouse_input)>(
        engine.library, "libvlc_video_set_mouse_input");
    const auto set_window = Entry<decltype(&libvlc_media_player_set_xwindow)>(
        engine.library, "libvlc_media_player_set_xwindow");
    const auto play =
        Entry<decltype(&libvlc_media_player_play)>(engine.library, "libvlc_media_player_play");
    if (!new_media || !add_option || !set_media || !key_input || !mouse_input || !set_window ||
        !play)
        return;
    engine.media = new_media(engine.instance, path.c_str());
    if (engine.media == nullptr) return;
    add_option(engine.media, kEngineMediaOption);
    set_media(engine.player, engine.media);
    key_input(engine.player, 0);
    mouse_input(engine.player, 0);
    set_window(engine.player, static_cast<std::uint32_t>(surface));
    play(engine.player);
    engine.path = path;
    engine.surface = surface;
    WriteBenchStage("play");
}

EarlyEngine CreateEarly(const char* library_name, const std::string& path, std::uintptr_t surface) {
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
    if (engine.player != nullptr && !path.empty() && surface != 0)
        StartEarlyClip(engine, path, surface);
    return engine;
}

}  // namespace

CEngineHeadStart::CEngineHeadStart(const char* library_name)
    : CEngineHeadStart(library_name, std::string(), 0) {}

CEngineHeadStart::CEngineHeadStart(const char* library_name, std::string path,
                                   std::uintptr_t surface)
    : creation_(
          std::async(std::launch::async, CreateEarly, library_name, std::move(path), surface)) {}

CEngineHeadStart::~CEngineHeadStart() {
    if (taken_) return;
    const EarlyEngine engine = Take();
    if (engine.library == nullptr) return;
    if (engine.player != nullptr && engine.media != nullptr) {
        if (auto stop = Entry<decltype(&libvlc_media_player_stop)>(engine.library,
                                                                   "libvlc_media_player_stop"))
            stop(engine.player);
        if (auto release =
                Entry<decltype(&libvlc_media_release)>(engine.library, "libvlc_media_release"))
            release(engine.media);
    }
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
