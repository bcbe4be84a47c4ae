#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

namespace orvo::bench {

// A card of camera recordings for benchmarks: sparse files of realistic size
// (the media payload is a hole), telemetry after the media as the camera
// writes it. Names follow the camera scheme with one recording per minute.
struct SyntheticCardOptions {
    size_t recordings = 2000;
    size_t avi_every = 4;                // every n-th recording is an AVI (0: none)
    size_t event_every = 10;             // every n-th recording goes to EVENT as EMER...
    uint64_t media_bytes = 150'000'000;  // about one minute of 1080p video
};

struct SyntheticCard {
    std::filesystem::path root;
    std::vector<std::filesystem::path> files;  // every recording, in creation order
};

// Creates the card under root, reusing it when a previous run left one with
// the same options (a stamp file records them).
SyntheticCard MakeSyntheticCard(const std::filesystem::path& root,
                                const SyntheticCardOptions& options = {});

// The floor of any per-file work: open, read the first 4 KiB, close. Returns
// the number of bytes read (so the work cannot be optimised away).
uint64_t FloorPass(const std::vector<std::filesystem::path>& files);

// Runs pass `rounds` times after one warm-up run; returns the median CPU time
// (user + system) of one run in nanoseconds.
double MedianPassNs(const std::function<void()>& pass, int rounds);

}  // namespace orvo::bench
