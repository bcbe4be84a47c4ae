#pragma once

#include "app/process_setup.h"
#include "playback/early_engine.h"

namespace orvo {

// The application object: starts the toolkit, runs the main window modally
// and ends the program when the window ends.
class CQORApp {
public:
    CQORApp(int& argc, char** argv);
    // With the engine the launcher has begun to create (may be null).
    CQORApp(int& argc, char** argv, const EarlyEngineWait* early_engine);
    ~CQORApp();
    CQORApp(const CQORApp&) = delete;
    CQORApp& operator=(const CQORApp&) = delete;

    // Runs the main window; the program's exit code.
    int InitInstance();

private:
    int& argc_;
    char** argv_;
    const EarlyEngineWait* early_engine_ = nullptr;
};

}  // namespace orvo
