// The entries of UnZip.so. Every entry catches everything: an exception must
// never travel back into the program through a C call.

#include "gui/controls/plainmessagebox.h"
#include "pluginapi/pluginapi.h"
#include "view/zipplan.h"
#include "ziparchive.h"
#include "zipforms.h"

#include <QApplication>
#include <QFileInfo>
#include <exception>
#include <unistd.h>

namespace {

QWidget* ownerWidget(void* owner) {
    return static_cast<QWidget*>(owner);
}

template <class Body> void guarded(Body&& body) noexcept {
    try {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()))
            body();
    } catch (const std::exception& e) {
        try {
            zentrix::PlainMessageBox(nullptr, QMessageBox::Critical, "Error",
                                     QString::fromUtf8(e.what()));
        } catch (...) {
        }
    } catch (...) {
    }
}

std::string currentDirectory() {
    char buf[4096];
    return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string(".");
}

} // namespace

extern "C" {

ZENTRIX_PLUGIN_EXPORT void ZIPFiles(unsigned char recurse, unsigned char keepSubdirectories,
                                    const char* fileList, const char* archiveName, void* owner) {
    if (!fileList || !archiveName)
        return;
    guarded([&] {
        using namespace zentrix::unzip;
        const std::string archive = archiveName;
        const auto items = CollectPackItems(zentrix::ParseZipFileList(fileList), currentDirectory(),
                                            recurse != 0, keepSubdirectories != 0, archive);
        QWidget* parent = ownerWidget(owner);
        if (items.empty()) {
            zentrix::PlainMessageBox(parent, QMessageBox::Information, "Information",
                                     "There are no files to pack.     ");
            return;
        }
        if (QFileInfo::exists(QString::fromStdString(archive)) &&
            !zentrix::PlainQuestion(
                parent, "Confirm",
                QString("%1 exists already. Replace it?").arg(QString::fromStdString(archive))))
            return;
        RunProgress progress("Packing ...", parent);
        RunReport report;
        progress.run([&](const ProgressCallback& callback) {
            report = CreateArchive(archive, items, callback);
        });
        if (!report.ok && !report.stopped)
            ShowReport("ZIP", "The archive could not be made as asked.", report, parent);
    });
}

ZENTRIX_PLUGIN_EXPORT unsigned char OpenZip(const char* fileName, void* owner) {
    unsigned char result = 0;
    if (!fileName)
        return 0;
    guarded([&] {
        using namespace zentrix::unzip;
        // Read on a worker: a ZIP without a central directory is read entry by
        // entry, which may take long; the user can stop it.
        std::optional<std::vector<ZipEntry>> entries;
        const std::string path = fileName;
        bool cancelled = false;
        {
            RunProgress progress("Reading ...", ownerWidget(owner));
            progress.run([&](const ProgressCallback& callback) {
                entries = ListArchive(path, nullptr, callback);
            });
            cancelled = progress.cancelled();
        }
        if (cancelled) {
            result = 1; // stopped by the user: nothing to complain about
            return;
        }
        if (!entries)
            return;
        result = 1;
        TZipForm form(QString::fromUtf8(fileName), std::move(*entries), ownerWidget(owner));
        form.exec();
    });
    return result;
}

ZENTRIX_PLUGIN_EXPORT unsigned char TestZIPArchive(const char* fileName, void* owner) {
    unsigned char result = 0;
    if (!fileName)
        return 0;
    guarded([&] {
        using namespace zentrix::unzip;
        RunProgress progress("Testing ...", ownerWidget(owner));
        RunReport report;
        const std::string path = fileName;
        progress.run(
            [&](const ProgressCallback& callback) { report = TestArchive(path, callback); });
        if (report.stopped) {
            result = 1;
            return;
        }
        result = report.ok ? 1 : 0;
        // A damaged archive gets its message from the program; the report
        // says which entries are bad.
        ShowReport("Test", report.ok ? "No errors found." : "Errors found.", report,
                   ownerWidget(owner));
    });
    return result;
}

} // extern "C"
