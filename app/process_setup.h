#pragma once

namespace orvo {

// Process-wide settings made before any thread starts or the toolkit loads.
// None of them needs Qt.

// The embedded browser refuses to start as root with its sandbox on; the
// sandbox is switched off only in that case (and left alone when the
// environment already says so).
void DisableBrowserSandboxWhenRoot();

// The map page is composed by Qt Quick inside the widget window. Its OpenGL
// path fails on X servers without working GL (virtual displays, remote
// sessions) and turns the whole window black; the software path works
// everywhere and is fast enough for a map page. A choice of the user's own
// in the environment is kept.
void UseSoftwareQuickBackend();

// Keeps the C library's allocator from holding on to the memory of the
// engine's decoder threads, which come and go with every clip; unless the
// user has chosen settings of his own in the environment. Must run before
// any thread starts.
void TuneAllocatorForPlayback();

}  // namespace orvo
