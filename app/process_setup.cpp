#include "app/process_setup.h"

#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cstdlib>
#include <cstring>

namespace orvo {

void DisableBrowserSandboxWhenRoot() {
#ifndef _WIN32
    const char* set = std::getenv("QTWEBENGINE_DISABLE_SANDBOX");
    if (::geteuid() == 0 && (set == nullptr || std::strcmp(set, "1") != 0))
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
#endif
}

void UseSoftwareQuickBackend() {
    const char* chosen = std::getenv("QT_QUICK_BACKEND");
    if (chosen == nullptr || *chosen == '\0') ::setenv("QT_QUICK_BACKEND", "software", 1);
}

void KeepToolkitOffOpenGl() {
    const char* backend = std::getenv("QT_QUICK_BACKEND");
    if (backend == nullptr || std::strcmp(backend, "software") != 0) return;
    if (std::getenv("QT_XCB_GL_INTEGRATION") == nullptr)
        ::setenv("QT_XCB_GL_INTEGRATION", "none", 1);
}

void TuneAllocatorForPlayback() {
#if defined(__GLIBC__)
    // Each clip change ends the engine's decoder and output threads and
    // starts new ones. With the allocator's defaults every such thread may
    // get an arena of its own, and the first freed picture buffer (over a
    // megabyte) raises the size above which blocks are mapped on their own;
    // from then on picture buffers come from those arenas and stay behind
    // as free but resident memory: the viewer grew by several megabytes per
    // clip change. Two arenas and a fixed threshold of 256 KiB (picture
    // buffers mapped, and returned to the system when freed) keep the
    // resident size flat. Settings of the user's own are left alone.
    if (std::getenv("GLIBC_TUNABLES") != nullptr) return;
    if (std::getenv("MALLOC_ARENA_MAX") == nullptr) mallopt(M_ARENA_MAX, 2);
    if (std::getenv("MALLOC_MMAP_THRESHOLD_") == nullptr) mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}

}  // namespace orvo
