// orvo-info: command-line access to what the viewer reads from recordings.

#include <iostream>
#include <span>
#include <string>
#include <vector>

#include "cli/catalog_commands.h"
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
    {"gps", "FILE [--format csv|gpx|json]", "print the GPS records of a recording", &RunGps},
    {"gsensor", "FILE [--format csv]", "print the G-sensor samples of a recording in g",
     &RunGSensor},
    {"kml", "FILE [--out DIR]", "write the KML track of a recording and print its path", &RunKml},

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
    {"trip", "PATH", "print one JSON line per trip (group) with its times, distance and speeds",
     &RunTrip},
};

void PrintUsage(std::ostream& os) {
    os << "usage: orvo-info COMMAND [ARGS...]\n\ncommands:\n";
    for (const Command& c : kCommands) {
        os << "  " << c.name << ' ' << c.synopsis << "\n      " << c.summary << '\n';
    }
    os << "\nexit status: 0 success, 1 a file was rejected or failed, 2 usage error\n";
}

int Main(std::span<char*> argv) {
    if (argv.size() < 2) {
        PrintUsage(std::cerr);
        return kExitUsage;
    }
    const std::string_view name = argv[1];
    if (name == "-h" || name == "--help" || name == "help") {
        PrintUsage(std::cout);
        return kExitOk;
    }
    for (const Command& c : kCommands) {
        if (c.name != name) continue;
        const std::vector<std::string> args(argv.begin() + 2, argv.end());
        const int status = c.run(args, std::cout, std::cerr);
        if (status == kExitUsage) PrintUsage(std::cerr);
        return status;
    }
    std::cerr << "orvo-info: unknown command '" << name << "'\n";
    PrintUsage(std::cerr);
    return kExitUsage;
}

}  // namespace
}  // namespace orvo::cli

int main(int argc, char** argv) {
    try {
        return orvo::cli::Main(std::span<char*>(argv, static_cast<size_t>(argc)));
    } catch (const std::exception& e) {
        std::cerr << "orvo-info: " << e.what() << '\n';
        return orvo::cli::kExitRejected;
    }
}
