#pragma once

namespace orvo {

// The application object: starts the toolkit, runs the main window modally
// and ends the program when the window ends.
class CQORApp {
public:
    CQORApp(int& argc, char** argv);
    ~CQORApp();
    CQORApp(const CQORApp&) = delete;
    CQORApp& operator=(const CQORApp&) = delete;

    // Runs the main window; the program's exit code.
    int InitInstance();

private:
    int& argc_;
    char** argv_;
};

// The embedded browser refuses to start as root with its sandbox on; the
// sandbox is switched off only in that case, before the toolkit starts.
void DisableBrowserSandboxWhenRoot();

// Keeps the C library's allocator from holding on to the memory of the
// engine's decoder threads, which come and go with every clip; unless the
// user has chosen settings of his own in the environment. Must run before
// any thread starts.
void TuneAllocatorForPlayback();

}  // namespace orvo
