#pragma once

#include <chrono>
#include <cstdint>
#include <future>
#include <string>

#include "playback/early_engine.h"

namespace orvo {

// The launcher's part of the engine: loading libVLC and its plug-ins and
// creating the instance and the player take longer than loading the toolkit
// and building the window, so they start first, on a thread of their own,
// in a process that has loaded nothing else yet (every plug-in's symbols are
// then looked up in a handful of libraries, not in the toolkit's hundred).
class CEngineHeadStart {
public:
    explicit CEngineHeadStart(const char* library_name);
    // Also starts playing `path` (canonical) into `surface` as soon as the
    // player exists, exactly as the binding would open and play it.
    CEngineHeadStart(const char* library_name, std::string path, std::uintptr_t surface);
    // Waits for the creation; an engine nobody took is released.
    ~CEngineHeadStart();
    CEngineHeadStart(const CEngineHeadStart&) = delete;
    CEngineHeadStart& operator=(const CEngineHeadStart&) = delete;

    // For the launcher: waits, at most `limit`, until the instance exists
    // (or could not be made). Its creation loads the engine's plug-ins, and
    // every library load in the process waits for the one under way: the
    // toolkit's own loads would hold the engine back by as long as they
    // take. A limit, because a stale plug-in cache makes the engine rescan
    // every plug-in, and the window must not wait for that.
    void WaitForInstance(std::chrono::milliseconds limit);

    // For the binding (CVlcPlayer): waits and hands the engine over. Valid
    // while this object lives.
    EarlyEngineWait Handover();

private:
    EarlyEngine Take();

    std::promise<void> instance_made_;
    std::future<void> instance_wait_ = instance_made_.get_future();
    // Last: the creation's thread starts when the rest is in place.
    std::future<EarlyEngine> creation_;
    bool taken_ = false;
};

}  // namespace orvo
