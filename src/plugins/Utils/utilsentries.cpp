// The entries of Utils.so. Every entry catches everything: an exception must
// never travel back into the program through a C call.

#include "aboutform.h"
#include "clipboardviewer.h"
#include "diskinfoform.h"
#include "editfileform.h"
#include "extfilespecform.h"
#include "filespecbuilder.h"
#include "gui/controls/plainmessagebox.h"
#include "iconsform.h"
#include "pluginapi/pluginapi.h"
#include "printing.h"

#include <QApplication>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>
#include <cstring>
#include <exception>

namespace {

const ZxHost* g_host = nullptr;

QWidget* ownerWidget(void* owner) {
    return static_cast<QWidget*>(owner);
}

// Windows need a running application; the program always has one.
bool haveApplication() {
    return qobject_cast<QApplication*>(QCoreApplication::instance());
}

template <class Body> void guarded(Body&& body) noexcept {
    try {
        if (haveApplication())
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

} // namespace

extern "C" {

ZENTRIX_PLUGIN_EXPORT void ZentrixPluginAttach(const ZxHost* host) {
    g_host = (host && host->structSize >= sizeof(ZxHost) && host->version >= 1) ? host : nullptr;
}

ZENTRIX_PLUGIN_EXPORT unsigned char ExtendedFileSpec(const ZxStringList* userFileTypes,
                                                     char* buffer, void* owner) {
    unsigned char result = 0;
    if (!buffer)
        return 0;
    guarded([&] {
        std::vector<std::string> entries;
        if (userFileTypes && userFileTypes->items)
            for (int32_t i = 0; i < userFileTypes->count; ++i)
                if (userFileTypes->items[i])
                    entries.emplace_back(userFileTypes->items[i]);
        // The caller's text may lack its terminator: never read past the buffer.
        const std::string current(buffer, strnlen(buffer, ZX_FILESPEC_BUFFER_SIZE - 1));
        zentrix::utils::TExtFileSpecForm form(zentrix::utils::ParseUserFileTypes(entries), current,
                                              ZX_FILESPEC_BUFFER_SIZE, ownerWidget(owner));
        if (form.exec() != QDialog::Accepted)
            return;
        const std::string spec = form.Result();
        if (!zentrix::utils::FitsBuffer(spec, ZX_FILESPEC_BUFFER_SIZE))
            return;
        std::memcpy(buffer, spec.c_str(), spec.size() + 1);
        result = 1;
    });
    return result;
}

ZENTRIX_PLUGIN_EXPORT void ShowZentrixQCV(void* owner) {
    guarded([&] {
        zentrix::utils::TClipboardViewer viewer(ownerWidget(owner));
        viewer.exec();
    });
}

ZENTRIX_PLUGIN_EXPORT void ShowAboutForm(void* owner) {
    guarded([&] {
        zentrix::utils::TAboutForm form(ownerWidget(owner));
        form.exec();
    });
}

ZENTRIX_PLUGIN_EXPORT void ShowDiskInfo(uint32_t driveLetter, void* owner) {
    guarded([&] {
        ZxVolumeFacts facts{};
        facts.structSize = sizeof facts;
        const char letter = driveLetter < 0x80 ? static_cast<char>(driveLetter) : '?';
        if (!g_host || !g_host->queryVolume || !g_host->queryVolume(driveLetter, &facts)) {
            zentrix::PlainMessageBox(ownerWidget(owner), QMessageBox::Information, "Information",
                                     QString("Drive %1: is not known to Zentrix.").arg(letter));
            return;
        }
        zentrix::utils::TDiskInfoForm form(facts, ownerWidget(owner));
        form.exec();
    });
}

ZENTRIX_PLUGIN_EXPORT void ViewIcons(const char* description, const char* fileName, void* owner) {
    if (!fileName)
        return;
    guarded([&] {
        zentrix::utils::TIconsForm form(QString::fromUtf8(description ? description : ""),
                                        QString::fromUtf8(fileName), ownerWidget(owner));
        form.exec();
    });
}

ZENTRIX_PLUGIN_EXPORT void EditFile(const char* fileName, void* owner) {
    if (!fileName)
        return;
    guarded([&] {
        zentrix::utils::TEditFileForm form(QString::fromUtf8(fileName), ownerWidget(owner));
        if (!form.loaded()) {
            zentrix::PlainMessageBox(ownerWidget(owner), QMessageBox::Warning, "Error",
                                     QString("Cannot read %1").arg(QString::fromUtf8(fileName)));
            return;
        }
        form.exec();
    });
}

ZENTRIX_PLUGIN_EXPORT unsigned char PrintFile(const char* fileName, void* owner) {
    unsigned char result = 0;
    if (!fileName)
        return 0;
    guarded([&] {
        QPrinter printer;
        QPrintDialog dialog(&printer, ownerWidget(owner));
        dialog.setObjectName("PrintDialog");
        if (dialog.exec() != QDialog::Accepted)
            return;
        result = zentrix::utils::PrintFileOn(printer, QString::fromUtf8(fileName)) ? 1 : 0;
    });
    return result;
}

} // extern "C"
