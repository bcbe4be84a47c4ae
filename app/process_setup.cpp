#include "app/process_setup.h"

#include <sys/stat.h>
#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cstdlib>
#include <cstring>
#include <string_view>

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

namespace {

// The bus library's escaping: bytes outside this set become %XX.
std::string EscapeAddressValue(std::string_view value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string escaped;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        const bool plain = (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
                           (byte >= 'A' && byte <= 'Z') || std::strchr("-_/.\\*", c) != nullptr;
        if (plain && byte != 0) {
            escaped += c;
        } else {
            escaped += '%';
            escaped += kDigits[byte >> 4];
            escaped += kDigits[byte & 0x0F];
        }
    }
    return escaped;
}

std::string UserBusPath(const char* runtime_dir, unsigned uid) {
    if (runtime_dir != nullptr && *runtime_dir != '\0') return std::string(runtime_dir) + "/bus";
    return "/run/user/" + std::to_string(uid) + "/bus";
}

bool IsExecutable(const std::string& path) {
    return ::access(path.c_str(), X_OK) == 0;
}

// The bus library tries its own installation folder first, then PATH.
bool BusLauncherFound() {
    if (IsExecutable("/usr/bin/dbus-launch")) return true;
    const char* path = std::getenv("PATH");
    if (path == nullptr) return false;
    std::string_view rest(path);
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        if (!folder.empty() && IsExecutable(std::string(folder) + "/dbus-launch")) return true;
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    return false;
}

}  // namespace

std::string SessionBusAddressToSet(const SessionBusFacts& facts) {
    if (facts.address != nullptr && *facts.address != '\0') return {};
    if (facts.user_bus_exists || facts.launcher_found) return {};
    return "unix:path=" + EscapeAddressValue(UserBusPath(facts.runtime_dir, facts.uid));
}

void SkipMissingBusLauncher() {
    SessionBusFacts facts;
    facts.address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    facts.runtime_dir = std::getenv("XDG_RUNTIME_DIR");
    facts.uid = static_cast<unsigned>(::getuid());
    struct stat socket_info {};
    facts.user_bus_exists =
        ::stat(UserBusPath(facts.runtime_dir, facts.uid).c_str(), &socket_info) == 0;
    facts.launcher_found = BusLauncherFound();
    const std::string address = SessionBusAddressToSet(facts);
    if (!address.empty()) ::setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
}

}  // namespace orvo
