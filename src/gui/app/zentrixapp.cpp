#include "gui/app/zentrixapp.h"

#include "catalogue/catalogue.h"
#include "config/settings.h"
#include "core/appstate.h"
#include "gui/app/tmainform.h"
#include "platform/collation.h"
#include "platform/drivetable.h"
#include "platform/process.h"

#include <QApplication>

namespace zentrix {

int RunZentrix(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Zentrix");
    platform::InitCollation();

    platform::DriveTable& drives = platform::DriveTable::Instance();
    Catalogue catalogue(drives);
    AppState state;
    Settings settings;

    // The current disk is the drive that holds the process's current directory.
    const auto cwd = drives.ToCataloguePath(platform::CurrentDirectory());
    state.currentDisk = cwd ? (*cwd)[0] : (drives.Drives().empty() ? 'C' : drives.Drives()[0].letter);

    TMainForm form(catalogue, state, settings);
    form.show();
    form.LogStartDrives();
    return app.exec();
}

} // namespace zentrix
