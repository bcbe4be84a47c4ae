#include "platform/thread_priority.h"

#ifdef __linux__
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#endif

namespace orvo {

#ifdef __linux__

namespace {

// On Linux a thread id names that one thread to the priority calls; 0
// would name the whole process.
id_t ThisThread() {
    return static_cast<id_t>(::syscall(SYS_gettid));
}

}  // namespace

int ThisThreadsNiceValue() {
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, ThisThread());
    return errno == 0 ? nice : 0;
}

bool LowerThisThreadsPriority(int steps) {
    if (steps <= 0) return false;
    errno = 0;
    const int now = ::getpriority(PRIO_PROCESS, ThisThread());
    if (errno != 0) return false;
    return ::setpriority(PRIO_PROCESS, ThisThread(), std::min(19, now + steps)) == 0;
}

#else

int ThisThreadsNiceValue() {
    return 0;
}

bool LowerThisThreadsPriority(int) {
    return false;
}

#endif

}  // namespace orvo
