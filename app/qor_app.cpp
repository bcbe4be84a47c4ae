#include "app/qor_app.h"

#include <unistd.h>

#include <cstdlib>

#include <QApplication>

#include "app/qor_dlg.h"

namespace orvo {

void DisableBrowserSandboxWhenRoot() {
#ifndef _WIN32
    if (::geteuid() == 0) ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
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
    // The embedded browser shares its graphics context with the widgets.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication application(argc_, argv_);
    QApplication::setApplicationName(QStringLiteral("orvo-player"));
    CQORDlg dialog;
    // orvo-player [PATH]: a folder or a file given on the command line is
    // opened as the OPEN command would open it.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1) dialog.OpenPathWhenShown(arguments.at(1));
    dialog.exec();
    return 0;
}

}  // namespace orvo
