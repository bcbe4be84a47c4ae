#include "tests/playback/engine_fixture.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "app/window_messages.h"

// Xlib defines macros (None, Bool, Status) that clash with GoogleTest, so it
// comes last.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace orvo::test {

namespace fs = std::filesystem;
using std::chrono::milliseconds;

void RecordingSink::PostPlayerMessage(unsigned message, std::uintptr_t wparam) {
    std::lock_guard lock(mutex_);
    messages_.push_back({message, wparam});
    changed_.notify_all();
}

void RecordingSink::MoveSeekSlider(int per_mille) {
    std::lock_guard lock(mutex_);
    slider_.push_back(per_mille);
}

void RecordingSink::SwitchGpsIndicatorOff() {
    std::lock_guard lock(mutex_);
    ++gps_off_;
}

std::vector<PostedMessage> RecordingSink::Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<int> RecordingSink::SliderMoves() const {
    std::lock_guard lock(mutex_);
    return slider_;
}

std::vector<libvlc_event_type_t> RecordingSink::RawEvents() const {
    std::lock_guard lock(mutex_);
    return raw_;
}

int RecordingSink::GpsOffCount() const {
    std::lock_guard lock(mutex_);
    return gps_off_;
}

void RecordingSink::Clear() {
    std::lock_guard lock(mutex_);
    messages_.clear();
    slider_.clear();
    raw_.clear();
    gps_off_ = 0;
}

bool RecordingSink::WaitUntil(const std::function<bool(const std::vector<PostedMessage>&)>& done,
                              milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return done(messages_); });
}

bool RecordingSink::WaitForMessage(unsigned message, milliseconds timeout, std::int64_t wparam) {
    return WaitUntil(
        [&](const std::vector<PostedMessage>& all) {
            return std::any_of(all.begin(), all.end(), [&](const PostedMessage& m) {
                return m.message == message &&
                       (wparam < 0 || m.wparam == static_cast<std::uintptr_t>(wparam));
            });
        },
        timeout);
}

bool RecordingSink::WaitForRawEvents(libvlc_event_type_t type, std::size_t count,
                                     milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] {
        return static_cast<std::size_t>(std::count(raw_.begin(), raw_.end(), type)) >= count;
    });
}

void RecordingSink::CountingHandler(const libvlc_event_t* event, void* data) {
    OnPlayerEvent(event, data);
    // Recorded once handled, so a waiter sees everything the handler did.
    auto* sink = static_cast<RecordingSink*>(static_cast<IPlayerEventSink*>(data));
    std::lock_guard lock(sink->mutex_);
    sink->raw_.push_back(event->type);
    sink->changed_.notify_all();
}

void RecordingSink::Attach() {
    player_.AttachEvents(&RecordingSink::CountingHandler, static_cast<IPlayerEventSink*>(this));
}

std::vector<std::int64_t> PostedTimes(const std::vector<PostedMessage>& messages) {
    std::vector<std::int64_t> times;
    for (const PostedMessage& m : messages)
        if (m.message == WM_PLAYER_TIME) times.push_back(static_cast<std::int64_t>(m.wparam));
    return times;
}

int CountMessages(const std::vector<PostedMessage>& messages, unsigned message) {
    return static_cast<int>(
        std::count_if(messages.begin(), messages.end(),
                      [&](const PostedMessage& m) { return m.message == message; }));
}

namespace {

std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    return out + "'";
}

}  // namespace

void MakeClip(const fs::path& out, const std::string& lavfi_source, double seconds) {
    std::string command = "ffmpeg -nostdin -v error -y -f lavfi -i " + Quoted(lavfi_source) +
                          " -t " + std::to_string(seconds) +
                          " -c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 25 " +
                          Quoted(out.string());
    int status = std::system(command.c_str());
    ASSERT_EQ(status, 0) << "ffmpeg failed (is it installed?): " << command;
    ASSERT_TRUE(fs::exists(out)) << out;
}

namespace {

// One connection for the whole test program. Opening a connection per test
// fails now and then while the server is still tearing down the engine's own
// connections of the previous test.
Display* SharedDisplay() {
    static Display* const display = [] {
        // libVLC's video outputs use Xlib from their own threads: Xlib must be
        // made thread-safe before anyone opens a display.
        XInitThreads();
        Display* opened = nullptr;
        for (int attempt = 0; attempt < 20 && opened == nullptr; ++attempt) {
            opened = XOpenDisplay(nullptr);
            if (opened == nullptr) std::this_thread::sleep_for(milliseconds(100));
        }
        return opened;
    }();
    return display;
}

}  // namespace

XWindow::XWindow(unsigned width, unsigned height) {
    Display* display = SharedDisplay();
    if (display == nullptr) {
        const char* name = std::getenv("DISPLAY");
        ADD_FAILURE() << "cannot open X display \"" << (name ? name : "(unset)")
                      << "\": run the engine tests under xvfb-run";
        return;
    }
    display_ = display;
    width_ = width;
    height_ = height;
    int screen = DefaultScreen(display);
    window_ = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, width, height, 0,
                                  BlackPixel(display, screen), BlackPixel(display, screen));
    XMapWindow(display, window_);
    XSync(display, False);
}

std::vector<std::uint8_t> XWindow::CaptureGrey() const {
    auto* display = static_cast<Display*>(display_);
    if (display == nullptr || window_ == 0) return {};
    // The root window shows what is on screen, whoever draws it (the engine
    // draws into a child window of its own).
    Window root = DefaultRootWindow(display);
    Window child = 0;
    int x = 0;
    int y = 0;
    XTranslateCoordinates(display, window_, root, 0, 0, &x, &y, &child);
    XImage* image = XGetImage(display, root, x, y, width_, height_, AllPlanes, ZPixmap);
    if (image == nullptr) return {};
    std::vector<std::uint8_t> grey(std::size_t{width_} * height_);
    for (unsigned row = 0; row < height_; ++row) {
        for (unsigned col = 0; col < width_; ++col) {
            unsigned long pixel = XGetPixel(image, static_cast<int>(col), static_cast<int>(row));
            unsigned r = (pixel >> 16) & 0xFF;
            unsigned g = (pixel >> 8) & 0xFF;
            unsigned b = pixel & 0xFF;
            grey[std::size_t{row} * width_ + col] = static_cast<std::uint8_t>((r + g + b) / 3);
        }
    }
    XDestroyImage(image);
    return grey;
}

XWindow::~XWindow() {
    auto* display = static_cast<Display*>(display_);
    if (display == nullptr || window_ == 0) return;
    XDestroyWindow(display, window_);
    XSync(display, False);
}

namespace {

std::vector<std::uint8_t> ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned Be16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return (unsigned{b[at]} << 8) | b[at + 1];
}

unsigned Be32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return (Be16(b, at) << 16) | Be16(b, at + 2);
}

}  // namespace

VideoSize PngSize(const fs::path& file) {
    std::vector<std::uint8_t> b = ReadAll(file);
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (b.size() < 24 || !std::equal(std::begin(kSignature), std::end(kSignature), b.begin()) ||
        b[12] != 'I' || b[13] != 'H' || b[14] != 'D' || b[15] != 'R') {
        return {};
    }
    return {Be32(b, 16), Be32(b, 20)};
}

VideoSize JpegSize(const fs::path& file) {
    std::vector<std::uint8_t> b = ReadAll(file);
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8) return {};
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (b[at] != 0xFF) return {};
        std::uint8_t marker = b[at + 1];
        unsigned length = Be16(b, at + 2);
        bool frame_header =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame_header) {
            if (at + 9 > b.size()) return {};
            return {Be16(b, at + 7), Be16(b, at + 5)};
        }
        at += 2 + length;
    }
    return {};
}

std::vector<std::uint8_t> GreyPixels(const fs::path& image, unsigned width, unsigned height) {
    fs::path raw = image;
    raw += ".grey";
    std::string command = "ffmpeg -nostdin -v error -y -i " + Quoted(image.string()) +
                          " -f rawvideo -pix_fmt gray " + Quoted(raw.string());
    if (std::system(command.c_str()) != 0) {
        ADD_FAILURE() << "ffmpeg could not decode " << image;
        return {};
    }
    std::vector<std::uint8_t> pixels = ReadAll(raw);
    if (pixels.size() != std::size_t{width} * height) {
        ADD_FAILURE() << "decoded " << pixels.size() << " bytes, expected " << width * height;
        return {};
    }
    return pixels;
}

bool WaitForFile(const fs::path& file, milliseconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    std::uintmax_t last = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        std::error_code ec;
        std::uintmax_t size = fs::file_size(file, ec);
        if (!ec && size > 0 && size == last) return true;
        last = ec ? 0 : size;
        std::this_thread::sleep_for(milliseconds(50));
    }
    return false;
}

}  // namespace orvo::test
