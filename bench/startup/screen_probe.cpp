#include "bench/startup/screen_probe.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdlib>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

namespace orvo::bench {

namespace {

Display* AsDisplay(void* p) {
    return static_cast<Display*>(p);
}

// Decoded H.264 colours drift a little from the encoded ones.
constexpr int kTolerance = 40;

}  // namespace

ScreenProbe::ScreenProbe(ScreenRect area, unsigned rgb) : area_(area), rgb_(rgb) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return;
    display_ = display;
    if (!XShmQueryExtension(display)) return;
    const int screen = DefaultScreen(display);
    auto* shm = new XShmSegmentInfo{};
    XImage* image =
        XShmCreateImage(display, DefaultVisual(display, screen),
                        static_cast<unsigned>(DefaultDepth(display, screen)), ZPixmap, nullptr, shm,
                        static_cast<unsigned>(area.width), static_cast<unsigned>(area.height));
    if (image == nullptr) {
        delete shm;
        return;
    }
    shm->shmid = shmget(IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * image->height,
                        IPC_CREAT | 0600);
    shm->shmaddr = image->data = static_cast<char*>(shmat(shm->shmid, nullptr, 0));
    shm->readOnly = False;
    XShmAttach(display, shm);
    XSync(display, False);
    // Gone with the last detach, even if the benchmark is killed.
    shmctl(shm->shmid, IPC_RMID, nullptr);
    image_ = image;
    shm_ = shm;
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
}

ScreenProbe::~ScreenProbe() {
    Display* display = AsDisplay(display_);
    if (image_ != nullptr) {
        auto* shm = static_cast<XShmSegmentInfo*>(shm_);
        XShmDetach(display, shm);
        XDestroyImage(static_cast<XImage*>(image_));
        shmdt(shm->shmaddr);
        delete shm;
    }
    if (display != nullptr) XCloseDisplay(display);
}

void ScreenProbe::Reset() {
    MappedAt(0);
    mapped_at_.reset();
}

std::optional<Clock::time_point> ScreenProbe::MappedAt(int min_width) {
    Display* display = AsDisplay(display_);
    if (display == nullptr) return mapped_at_;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify || mapped_at_) continue;
        const Clock::time_point now = Clock::now();
        XWindowAttributes attributes;
        // The window may be gone again already; an error handler would only
        // report that, so the request is checked instead.
        if (XGetWindowAttributes(display, event.xmap.window, &attributes) != 0 &&
            attributes.width >= min_width && !attributes.override_redirect) {
            mapped_at_ = now;
        }
    }
    return mapped_at_;
}

double ScreenProbe::ColourShare() {
    if (!ok()) return 0;
    Display* display = AsDisplay(display_);
    auto* image = static_cast<XImage*>(image_);
    if (!XShmGetImage(display, DefaultRootWindow(display), image, area_.x, area_.y, AllPlanes))
        return 0;
    const int r0 = static_cast<int>((rgb_ >> 16) & 0xFF);
    const int g0 = static_cast<int>((rgb_ >> 8) & 0xFF);
    const int b0 = static_cast<int>(rgb_ & 0xFF);
    long near = 0;
    long total = 0;
    for (int y = 0; y < area_.height; y += 2) {
        const auto* row =
            reinterpret_cast<const unsigned*>(image->data + y * image->bytes_per_line);
        for (int x = 0; x < area_.width; x += 2) {
            const unsigned p = row[x];
            const int r = static_cast<int>((p >> 16) & 0xFF);
            const int g = static_cast<int>((p >> 8) & 0xFF);
            const int b = static_cast<int>(p & 0xFF);
            near += (std::abs(r - r0) < kTolerance && std::abs(g - g0) < kTolerance &&
                     std::abs(b - b0) < kTolerance)
                        ? 1
                        : 0;
            ++total;
        }
    }
    return total > 0 ? static_cast<double>(near) / static_cast<double>(total) : 0;
}

}  // namespace orvo::bench
