#pragma once

#include <cstdint>
#include <future>
#include <string>

#include "playback/early_engine.h"

namespace orvo {

// The launcher's part of the engine: loading libVLC and its plug-ins and
// creating the instance and the player take longer than loading the toolkit
// and building the window, so they start first, on a thread of their own,
// while the launcher loads the toolkit.
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

    // For the binding (CVlcPlayer): waits and hands the engine over. Valid
    // while this object lives.
    EarlyEngineWait Handover();

private:
    EarlyEngine Take();

    std::future<EarlyEngine> creation_;
    bool taken_ = false;
};

}  // namespace orvo
