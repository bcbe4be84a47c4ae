// The viewer proper, loaded by the launcher (main.cpp) after it has begun
// to create the engine.

#include "app/bench_marker.h"
#include "app/qor_app.h"

extern "C" __attribute__((visibility("default"))) int orvo_player_main(
    int argc, char** argv, const orvo::EarlyEngineWait* early_engine) {
    orvo::WriteBenchStage("ui");
    orvo::CQORApp app(argc, argv, early_engine);
    return app.InitInstance();
}
