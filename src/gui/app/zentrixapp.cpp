#include "gui/app/zentrixapp.h"

#include "catalogue/catalogue.h"
#include "config/settings.h"
#include "config/settingsstore.h"
#include "config/tenhinifile.h"
#include "core/appstate.h"
#include "core/plugincalls.h"
#include "gui/app/singleinstance.h"
#include "gui/app/tmainform.h"
#include "gui/errors/exceptionreporter.h"
#include "platform/collation.h"
#include "platform/drivetable.h"
#include "platform/process.h"
#include "platform/volume.h"

#include <QDir>
#include <QProxyStyle>
#include <QToolTip>
#include <QPainter>
#include <QSplashScreen>
#include <QTimer>

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
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName("Zentrix");
    QApplication::setApplicationVersion("1.0");
    QApplication::setStyle(new HintStyle);
    QPalette hints = QToolTip::palette();
    hints.setColor(QPalette::ToolTipBase, Qt::white);
    hints.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(hints);

    // The program's units: collation, drive table, catalogue, program state.
    platform::InitCollation();
    platform::DriveTable& drives = platform::DriveTable::Instance();
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

    // The user file types, the WatchDog operations and the options.
    {
        TEnhIniFile store(SettingsIniName());
        catalogue.UserFileTypes = LoadUserExt(store);
        LoadSettings(store, settings, SettingsEnvironment::FromDrives(drives));
        settings.WatchDogOperations = LoadWatchDogOperations(store);
        options.logDrivesAtStartup = LoadLogDrivesAtStartup(store);
    }

    // One instance only: a later start hands its directory over and ends.
    if (settings.OneInst && otherInstance) {
        QString dir;
        for (const auto& a : options.args)
            dir += (dir.isEmpty() ? "" : " ") + QString::fromLocal8Bit(a.c_str());
        if (instance.handOver(dir.trimmed()))
            return 0;
    }

    QSplashScreen splash(splashPicture());
    splash.show();
    splash.repaint();
    QApplication::processEvents();

    TMainForm form(catalogue, state, settings, drives);
    PluginCalls::BindFileInfo();

    // Every error that escapes a command ends in the report and the program goes on.
    ExceptionReporter reporter;
    reporter.parentWidget = &form;
    reporter.resetMainWindow = [&form] { form.ResetAfterError(); };
    reporter.afterReport = [&form] { form.AfterErrorReport(); };
    reporter.showHelp = [&form](int topic) { form.ShowHelpTopic(topic, false); };
    app.setReporter(&reporter);

    if (!otherInstance)
        instance.listen([&form](const QString& directory) {
            form.RestoreAndRaise();
            if (!directory.isEmpty())
                form.OpenDirectory(directory.toStdString());
        });
    QApplication::setApplicationDisplayName(QString());
    form.RestoreState();
    form.show();
    form.Start(options);

    // One period after the window shows, the splash goes; without a command
    // line the tip and the quote of the day follow.
    const bool noArgs = options.args.empty();
    QObject::connect(form.SplashTimer, &QTimer::timeout, &form, [&splash, &form, noArgs] {
        splash.close();
        if (noArgs)
            form.ShowStartupTips();
    });
    form.SplashTimer->start();
    const int rc = app.exec();
    app.setReporter(nullptr);
    return rc;
}

} // namespace zentrix
