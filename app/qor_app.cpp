#include "app/qor_app.h"

#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QPixmap>

#include "app/bench_marker.h"
#include "app/command_line.h"
#include "app/qor_dlg.h"
#include "app/version.h"
#include "controls/gdi_plus_bitmap.h"
#include "gps/map_browser.h"
#include "playback/video_static.h"

namespace orvo {

CQORApp::CQORApp(int& argc, char** argv) : argc_(argc), argv_(argv) {}

CQORApp::CQORApp(int& argc, char** argv, const EarlyEngineWait* early_engine)
    : argc_(argc), argv_(argv), early_engine_(early_engine) {}

CQORApp::~CQORApp() = default;

namespace {

constexpr int kApplicationIconId = 128;

// Answers --version, --help and usage errors on the terminal; -1 when the
// window is to run.
int AnswerOnTerminal(const PlayerCommandLine& command_line) {
    switch (command_line.action) {
        case PlayerCommandLine::Action::kVersion:
            std::cout << "orvo-player " << kOrvoVersion << '\n';
            return 0;
        case PlayerCommandLine::Action::kHelp:
            std::cout << PlayerUsageText();
            return 0;
        case PlayerCommandLine::Action::kUsageError:
            std::cerr << "orvo-player: " << command_line.error << '\n' << PlayerUsageText();
            return 2;
        case PlayerCommandLine::Action::kRun:
            break;
    }
    return -1;
}

std::vector<std::string> ArgumentsAfterProgramName(const QStringList& arguments) {
    std::vector<std::string> result;
    for (qsizetype i = 1; i < arguments.size(); ++i)
        result.push_back(arguments.at(i).toStdString());
    return result;
}

}  // namespace

int CQORApp::InitInstance() {
    // --version and --help work without a display, before the toolkit starts.
    const std::vector<std::string> raw(argv_ + (argc_ > 0 ? 1 : 0), argv_ + argc_);
    if (AsksForVersionOrHelp(raw)) return AnswerOnTerminal(ParsePlayerCommandLine(raw));

    // Done already by the launcher when it started the engine early; then
    // these change nothing (the engine's thread may be reading the
    // environment).
    DisableBrowserSandboxWhenRoot();
    UseSoftwareQuickBackend();
    KeepToolkitOffOpenGl();
    // The engine starts on its own thread while the toolkit and the window
    // are built; the environment is complete before it reads any of it.
    QorDlgOptions options;
    if (early_engine_ != nullptr && *early_engine_) {
        options.engine = std::make_shared<CVlcPlayer>(CVlcPlayer::kLibraryName, *early_engine_);
    } else {
        options.engine =
            std::make_shared<CVlcPlayer>(CVlcPlayer::kLibraryName, StartEngineInBackground{});
    }
    PrepareBrowserGraphics();
    UseFewNativeWindows();
    QApplication application(argc_, argv_);
    QApplication::setApplicationName(QStringLiteral("orvo-player"));
    QApplication::setApplicationVersion(QString::fromLatin1(kOrvoVersion));
    QGuiApplication::setDesktopFileName(QStringLiteral("orvo-player"));
    CGdiPlusBitmapResource icon;
    if (icon.Load(kApplicationIconId))
        QApplication::setWindowIcon(QIcon(QPixmap::fromImage(icon.image())));
    WriteBenchStage("toolkit");

    // The toolkit has taken its own options from the arguments by now.
    const PlayerCommandLine command_line =
        ParsePlayerCommandLine(ArgumentsAfterProgramName(QCoreApplication::arguments()));
    if (const int status = AnswerOnTerminal(command_line); status >= 0) return status;

    QString path = QString::fromStdString(command_line.path);
    if (command_line.settings_in_config_home) {
        // Started from the application menu: the settings file lives in the
        // user's configuration folder, not in whatever folder the desktop
        // started us in. A relative PATH still means the original folder.
        if (!path.isEmpty()) path = QFileInfo(path).absoluteFilePath();
        const std::filesystem::path folder =
            ConfigHomeFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
        if (!EnterSettingsFolder(folder)) {
            std::cerr << "orvo-player: cannot use the settings folder '" << folder.string()
                      << "'; settings stay in the working directory\n";
        }
    }

    CQORDlg dialog(nullptr, std::move(options));
    WriteBenchStage("window");
    // orvo-player [PATH]: a folder or a file given on the command line is
    // opened as the OPEN command would open it.
    if (!path.isEmpty()) dialog.OpenPathWhenShown(path);
    dialog.exec();
    return 0;
}

}  // namespace orvo
