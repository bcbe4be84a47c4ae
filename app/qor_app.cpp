#include "app/qor_app.h"

#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cstdlib>
#include <memory>
#include <utility>

#include <QApplication>

#include "app/qor_dlg.h"
#include "gps/map_profile.h"

namespace orvo {

void DisableBrowserSandboxWhenRoot() {
#ifndef _WIN32
    if (::geteuid() == 0) ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
#endif
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

CQORApp::CQORApp(int& argc, char** argv) : argc_(argc), argv_(argv) {}

CQORApp::~CQORApp() = default;

int CQORApp::InitInstance() {
    DisableBrowserSandboxWhenRoot();
    // The map page is composed by Qt Quick inside the widget window. Its
    // OpenGL path fails on X servers without working GL (virtual displays,
    // remote sessions) and turns the whole window black; the software path
    // works everywhere and is fast enough for a map page.
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND")) qputenv("QT_QUICK_BACKEND", "software");
    // The engine starts on its own thread while the toolkit and the window
    // are built; the environment is complete before it reads any of it.
    QorDlgOptions options;
    options.engine =
        std::make_shared<CVlcPlayer>(CVlcPlayer::kLibraryName, StartEngineInBackground{});
    // The embedded browser shares its graphics context with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    RegisterMapTileScheme();
    QApplication application(argc_, argv_);
    QApplication::setApplicationName(QStringLiteral("orvo-player"));
    CQORDlg dialog(nullptr, std::move(options));
    // orvo-player [PATH]: a folder or a file given on the command line is
    // opened as the OPEN command would open it.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) dialog.OpenPathWhenShown(arguments.at(1));
    dialog.exec();
    return 0;
}

}  // namespace orvo
