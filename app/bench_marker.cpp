#include "app/bench_marker.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace orvo {

void WriteBenchMarker(const std::string& line) {
    const char* path = std::getenv("ORVO_BENCH_MARKERS");
    if (path == nullptr || *path == '\0') return;
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) return;
    const std::string text = line + '\n';
    [[maybe_unused]] const ssize_t written = ::write(fd, text.data(), text.size());
    ::close(fd);
}

void WriteBenchStage(const char* name) {
    const char* path = std::getenv("ORVO_BENCH_MARKERS");
    if (path == nullptr || *path == '\0') return;
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    WriteBenchMarker(std::string("stage ") + name + ' ' +
                     std::to_string(std::chrono::nanoseconds(now).count()));
}

}  // namespace orvo
