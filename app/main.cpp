#include "app/qor_app.h"

int main(int argc, char** argv) {
    orvo::TuneAllocatorForPlayback();
    orvo::CQORApp app(argc, argv);
    return app.InitInstance();
}
