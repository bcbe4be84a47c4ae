// orvo-info: command-line access to what the viewer reads from recordings.

#include <signal.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <span>
#include <string>
#include <vector>

#include "cli/catalog_commands.h"
#include "cli/checked_output.h"
#include "cli/commands.h"
#include "cli/evidence_command.h"
#include "cli/incidents_command.h"
#include "cli/trip_commands.h"

namespace orvo::cli {
namespace {

// One line per command; a new command adds its entry here.
constexpr Command kCommands[] = {
    {"probe", "FILE...", "print one JSON line per recording with what its parser reports",
     &RunProbe},
    {"scan", "PATH", "print the catalogue of a folder (or one file) as JSON", &RunScan},
    {"gps", "FILE... [--format csv|gpx|json|geojson] [--points] [--camera-tz ZONE] [--out DIR]",
     "print the GPS records of a recording; several recordings or a folder: one file each in DIR",
     &RunGps},
    {"gsensor", "FILE... [--format csv] [--out DIR]",
     "print the G-sensor samples of a recording in g; several or a folder: one file each in DIR",
     &RunGSensor},
    {"kml", "FILE... [--out DIR] [--timed [--points] [--camera-tz ZONE]]",
     "write the KML track of each recording and print its path", &RunKml},

    // evidence package
    {"evidence", "PATH... --out DIR [--lang en|ja]",
     "write a verified evidence package (copies, KML/GPX/CSV, report.pdf, SHA256SUMS) of the "
     "recordings of folders or files into DIR and print its folder",
     &RunEvidence},

    // clip export
    {"clip", "FILE... --from S --to S --out PATH",
     "cut and join consecutive recordings without re-encoding, telemetry included", &RunClip},

    // incidents
    {"incidents", "PATH [--g THRESHOLD] [--brake KMH_PER_S] [--accel KMH_PER_S]",
     "print one JSON line per incident (hard jolt, braking, acceleration, event) of a folder "
     "or a recording",
     &RunIncidents},

    // trips
    {"trip",
     "PATH [--format gpx|geojson|kml|csv [--timed] [--points] [--camera-tz ZONE] [--out FILE]]",
     "print one JSON line per trip (group), or export every trip as one track", &RunTrip},
};

void PrintCommandUsage(const Command& c, std::ostream& os) {
    os << "usage: orvo-info " << c.name << ' ' << c.synopsis
       << "\n(orvo-info --help lists every command)\n";
}

// Runs a command with its standard output checked: output that could not be
// written in full turns success into failure, with the cause.
int RunChecked(const Command& c, const std::vector<std::string>& args) {
    CheckedOutputBuffer buffer(1);
    std::ostream out(&buffer);
    int status = c.run(args, out, std::cerr);
    if (status == kExitUsage) PrintCommandUsage(c, std::cerr);
    if (const int error = buffer.Finish(); error != 0) {
        std::cerr << "orvo-info: cannot write the output: " << std::strerror(error) << '\n';
        if (status == kExitOk) status = kExitRejected;
    }
    return status;
}

// Status of a reply written to std::cout (help, version).
int FinishStdout() {
    if (std::cout.flush()) return kExitOk;
    std::cerr << "orvo-info: cannot write the output: " << std::strerror(errno) << '\n';
    return kExitRejected;
}

void PrintUsage(std::ostream& os) {
    os << "usage: orvo-info COMMAND [ARGS...]\n\ncommands:\n";
    for (const Command& c : kCommands) {
        os << "  " << c.name << ' ' << c.synopsis << "\n      " << c.summary << '\n';
    }
    os << "\n  --version\n      print the version\n";
    os << "\nexit status: 0 success, 1 a file was rejected or an output could not be written,"
          " 2 usage error\n";
}

int Main(std::span<char*> argv) {
    if (argv.size() < 2) {
        PrintUsage(std::cerr);
        return kExitUsage;
    }
    const std::string_view name = argv[1];
    if (name == "-h" || name == "--help" || name == "help") {
        PrintUsage(std::cout);
        return FinishStdout();
    }
    if (name == "--version" || name == "-V") {
        std::cout << "orvo-info " << ORVO_VERSION << '\n';
        return FinishStdout();
    }
    for (const Command& c : kCommands) {
        if (c.name != name) continue;
        return RunChecked(c, std::vector<std::string>(argv.begin() + 2, argv.end()));
    }
    std::cerr << "orvo-info: unknown command '" << name << "'\n";
    PrintUsage(std::cerr);
    return kExitUsage;
}

}  // namespace
}  // namespace orvo::cli

int main(int argc, char** argv) {
    // Past a file size limit a write should fail with EFBIG and be reported,
    // not kill the process.
    ::signal(SIGXFSZ, SIG_IGN);
    try {
        return orvo::cli::Main(std::span<char*>(argv, static_cast<size_t>(argc)));
    } catch (const std::exception& e) {
        std::cerr << "orvo-info: " << e.what() << '\n';
        return orvo::cli::kExitRejected;
    }
}
