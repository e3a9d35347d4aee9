#include "gui/app/zentrixapp.h"

#include "app/appframe.h"
#include "catalogue/catalogue.h"
#include "config/settings.h"
#include "config/settingsstore.h"
#include "config/tenhinifile.h"
#include "core/appstate.h"
#include "core/plugincalls.h"
#include "gui/app/mainstatusbar.h"
#include "gui/app/singleinstance.h"
#include "gui/app/tmainform.h"
#include "gui/errors/exceptionreporter.h"
#include "gui/help/helpcontroller.h"
#include "platform/atomicfile.h"
#include "platform/collation.h"
#include "platform/drivetable.h"
#include "platform/pluginlibrary.h"
#include "platform/process.h"
#include "platform/volume.h"

#include <QDir>
#include <QPainter>
#include <QProxyStyle>
#include <QSplashScreen>
#include <QThread>
#include <QTimer>
#include <QToolTip>
#include <cstdio>
#include <memory>

namespace zentrix {

namespace {

QPixmap splashPicture() {
    QPixmap pixmap(360, 160);
    pixmap.fill(QColor(32, 48, 80));
    QPainter p(&pixmap);
    p.setPen(Qt::white);
    QFont f = p.font();
    f.setPointSize(28);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 20, 360, 70), Qt::AlignCenter, "Zentrix");
    f.setPointSize(11);
    f.setBold(false);
    p.setFont(f);
    p.drawText(QRect(0, 90, 360, 30), Qt::AlignCenter, "Version 1.0");
    p.drawText(QRect(0, 115, 360, 30), Qt::AlignCenter, "Loading ...");
    return pixmap;
}

QString instanceKey() {
    const QByteArray home = qgetenv("ZENTRIX_HOME");
    return home.isEmpty() ? QDir::homePath() : QString::fromLocal8Bit(home);
}

// Hints appear after a second, on a white background.
class HintStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* ret) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return 1000;
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};

} // namespace

int RunZentrix(int argc, char* argv[]) {
    // Before anything changes the current directory.
    platform::PluginLibrary::AnchorDirectory();
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName("Zentrix");
    QApplication::setApplicationVersion("1.0");
    QApplication::setStyle(new HintStyle);
    QPalette hints = QToolTip::palette();
    hints.setColor(QPalette::ToolTipBase, Qt::white);
    hints.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(hints);

    // Every error that escapes a command, or the start itself, ends in the report
    // and the program goes on.
    ExceptionReporter reporter;
    app.setReporter(&reporter);

    // The program's units: collation, drive table, catalogue, program state.
    platform::InitCollation();
    platform::DriveTable& drives = platform::DriveTable::Instance();
    for (const std::string& problem : drives.Problems())
        std::fprintf(stderr, "zentrix: %s\n", problem.c_str());
    Catalogue catalogue(drives);
    AppState state;
    Settings settings;
    SingleInstance instance(instanceKey());
    const bool otherInstance = instance.otherRunning();

    StartupOptions options;
    for (int i = 1; i < argc; ++i)
        options.args.emplace_back(argv[i]);

    // "Loading ..." until the main window is there.
    QApplication::setApplicationDisplayName("Loading ...");

    // The current disk is the drive that holds the process's current directory.
    const auto cwd = drives.ToCataloguePath(platform::CurrentDirectory());
    state.currentDisk = cwd ? (*cwd)[0] : (drives.Drives().empty() ? 'C' : drives.Drives()[0].letter);
    if (const platform::DriveInfo* d = drives.Find(state.currentDisk)) {
        state.driveTypeName = platform::DriveKindName(d->kind);
        state.volumeLabel = platform::QueryVolume(*d).label;
    }

    // The user file types, the WatchDog operations and the options. A store that
    // cannot be read leaves the defaults.
    reporter.guard([&] {
        TEnhIniFile store(SettingsIniName());
        catalogue.UserFileTypes = LoadUserExt(store);
        LoadSettings(store, settings, SettingsEnvironment::FromDrives(drives));
        settings.WatchDogOperations = LoadWatchDogOperations(store);
        options.logDrivesAtStartup = LoadLogDrivesAtStartup(store);
    });

    // One instance only: a later start hands its directory over and ends.
    if (settings.OneInst && otherInstance) {
        // A relative directory means this process's current one, not the other's.
        const std::string dir = AppFrame::AbsoluteStartDirectory(
            AppFrame::StartDirectory(options.args, {}), platform::CurrentDirectory());
        if (instance.handOver(QString::fromLocal8Bit(dir.c_str())))
            return 0;
    }

    // The splash stays below the messages that the start may show.
    QSplashScreen splash(splashPicture());
    splash.setWindowFlag(Qt::WindowStaysOnTopHint, false);
    splash.show();
    splash.repaint();
    QApplication::processEvents();

    std::unique_ptr<TMainForm> owned;
    if (!reporter.guard(
            [&] { owned = std::make_unique<TMainForm>(catalogue, state, settings, drives); }))
        return 1; // no window to go on with; the report says why
    TMainForm& form = *owned;
    const bool fileInfoBound = PluginCalls::BindFileInfo();

    // A settings write that fails where nobody can be asked (a history or a
    // recent directory saved on the way) is said, not dropped.
    TEnhIniFile::SetWriteFailureHandler([&form](const platform::FileWriteError& e) {
        std::fprintf(stderr, "zentrix: %s\n", e.what());
        if (QThread::currentThread() == form.thread())
            form.MainStatusBar->setHint(QString("The settings could not be written: ") + e.what());
    });
    reporter.parentWidget = &form;
    reporter.resetMainWindow = [&form] { form.ResetAfterError(); };
    reporter.afterReport = [&form] { form.AfterErrorReport(); };
    reporter.showHelp = [&form](int topic) {
        form.ShowHelpTopic(topic, false);
    };

    if (!otherInstance)
        instance.listen([&form](const QString& directory) {
            form.RestoreAndRaise();
            if (!directory.isEmpty())
                form.OpenDirectory(directory.toStdString());
        });
    QApplication::setApplicationDisplayName(QString());
    ShowMainWindow(form, options, reporter);

    // One period after the window shows, the splash goes; without a command
    // line the tip and the quote of the day follow.
    const bool noArgs = options.args.empty();
    QObject::connect(form.SplashTimer, &QTimer::timeout, &form, [&splash, &form, noArgs] {
        splash.close();
        if (noArgs)
            form.ShowStartupTips();
    });
    form.SplashTimer->start();

    // A smoke test of an installed tree: once the main window shows, say where
    // the plug-ins and the help were found, and end.
    if (qEnvironmentVariableIsSet("ZENTRIX_QUIT_WHEN_SHOWN"))
        QTimer::singleShot(0, &form, [&form, fileInfoBound] {
            std::printf("main window shown: %s\nplug-ins: %s (FileInfo %s)\nhelp: %s\n",
                        form.isVisible() ? "yes" : "no",
                        platform::PluginLibrary::Directory().c_str(),
                        fileInfoBound ? "loaded" : "missing",
                        form.help().helpDirectory().toLocal8Bit().constData());
            std::fflush(stdout);
            QCoreApplication::exit(form.isVisible() ? 0 : 1);
        });
    const int rc = app.exec();
    TEnhIniFile::SetWriteFailureHandler(nullptr);
    owned.reset(); // before the reporter and the catalogue it refers to
    app.setReporter(nullptr);
    return rc;
}

void ShowMainWindow(TMainForm& form, const StartupOptions& options, ExceptionReporter& reporter) {
    // Each step on its own: a failure in one is reported and the next still
    // runs, so that the window comes up usable.
    reporter.guard([&] { form.RestoreState(); });
    form.show();
    reporter.guard([&] { form.StartDrives(options); });
    reporter.guard([&] { form.OpenStartDirectory(options); });
}

} // namespace zentrix
