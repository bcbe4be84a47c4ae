#pragma once

#include <string>

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

// What decides whether a library asking for the session bus would fork a
// bus launcher in vain.
struct SessionBusFacts {
    const char* address = nullptr;      // DBUS_SESSION_BUS_ADDRESS
    const char* runtime_dir = nullptr;  // XDG_RUNTIME_DIR
    unsigned uid = 0;
    bool user_bus_exists = false;  // the socket "bus" in the runtime folder
    bool launcher_found = false;   // dbus-launch, where the bus library looks
};

// The session bus address to set, or an empty text to leave it alone. With
// no address and no socket, the bus library forks dbus-launch for each
// connection (the toolkit's accessibility bridge, the engine's screen saver
// inhibitor), during start-up and from a process of several hundred
// megabytes; when dbus-launch is not installed each fork only fails. The
// address of the user's standard socket then fails at once, and still works
// should a bus start there later. Where the launcher exists, it may start a
// bus, and nothing is changed.
std::string SessionBusAddressToSet(const SessionBusFacts& facts);

// Reads the facts above from the environment and the file system and sets
// the address if need be. Must run before any thread starts.
void SkipMissingBusLauncher();

}  // namespace orvo
