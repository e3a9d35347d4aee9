#include "gui/controls/systemclipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace zentrix {
namespace {

constexpr const char* kUriList = "text/uri-list";
constexpr const char* kGnomeCopied = "x-special/gnome-copied-files";
constexpr const char* kKdeCut = "application/x-kde-cutselection";

QByteArray bytes(const std::string& s) {
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

std::string text(const QByteArray& b) {
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

} // namespace

QMimeData* FilesMimeData(const std::vector<std::string>& hostPaths, bool cut) {
    auto* data = new QMimeData;
    data->setData(kUriList, bytes(platform::UriListText(hostPaths)));
    data->setData(kGnomeCopied, bytes(platform::GnomeCopiedFilesText({cut, hostPaths})));
    data->setData(kKdeCut, cut ? "1" : "0");
    QString plain;
    for (const std::string& path : hostPaths)
        plain += (plain.isEmpty() ? "" : "\n") + QString::fromUtf8(bytes(path));
    data->setText(plain);
    return data;
}

std::optional<platform::ClipboardFiles> FilesOfMimeData(const QMimeData* data) {
    if (!data)
        return std::nullopt;
    std::optional<platform::ClipboardFiles> files;
    if (data->hasFormat(kGnomeCopied))
        files = platform::ParseGnomeCopiedFiles(text(data->data(kGnomeCopied)));
    if (!files && data->hasFormat(kUriList)) {
        files.emplace();
        files->paths = platform::ParseUriList(text(data->data(kUriList)));
        files->cut = data->data(kKdeCut).startsWith('1');
    }
    if (!files || files->paths.empty())
        return std::nullopt;
    return files;
}

void PutFilesOnClipboard(const std::vector<std::string>& hostPaths, bool cut) {
    QGuiApplication::clipboard()->setMimeData(FilesMimeData(hostPaths, cut));
}

std::optional<platform::ClipboardFiles> FilesOnClipboard() {
    return FilesOfMimeData(QGuiApplication::clipboard()->mimeData());
}

void ClearClipboard() {
    QGuiApplication::clipboard()->clear();
}

} // namespace zentrix
