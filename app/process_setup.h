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

// With the software path above nothing in the toolkit draws through OpenGL,
// yet its X11 platform would load and set up the GL libraries while the
// window is built, under the loader's lock the engine's plug-ins need at
// the same moment. Left alone when the user chose a GL backend or the
// platform's GL integration.
void KeepToolkitOffOpenGl();

// Keeps the C library's allocator from holding on to the memory of the
// engine's decoder threads, which come and go with every clip; unless the
// user has chosen settings of his own in the environment. Must run before
// any thread starts.
void TuneAllocatorForPlayback();

}  // namespace orvo
