#include "platform/mimetypes.h"

#include <QMimeDatabase>
#include <QMimeType>
#include <QString>

#include <algorithm>

namespace zentrix::platform {
namespace {

QMimeType typeFor(std::string_view fileName) {
    static const QMimeDatabase db;
    const QString name = QString::fromUtf8(fileName.data(), static_cast<qsizetype>(fileName.size()));
    const QList<QMimeType> types = db.mimeTypesForFileName(name);
    return types.isEmpty() ? QMimeType() : types.first();
}

} // namespace

std::string RegisteredTypeDescription(std::string_view fileName) {
    const QMimeType type = typeFor(fileName);
    if (!type.isValid() || type.isDefault())
        return {};
    const std::string comment = type.comment().toStdString();
    const std::string name = type.name().toStdString();
    if (comment.empty())
        return name;
    return comment + " (" + name + ")";
}

std::string MimeTypeNameFor(std::string_view fileName) {
    const QMimeType type = typeFor(fileName);
    return type.isValid() && !type.isDefault() ? type.name().toStdString() : std::string();
}

std::vector<std::string> MimeTypesOfFile(const std::string& hostPath) {
    static const QMimeDatabase db;
    const QMimeType type = db.mimeTypeForFile(QString::fromStdString(hostPath));
    std::vector<std::string> out;
    if (!type.isValid())
        return out;
    out.push_back(type.name().toStdString());
    // Breadth first: the nearest kinds before the farther ones.
    for (size_t i = 0; i < out.size() && out.size() < 64; ++i) {
        const QMimeType t = db.mimeTypeForName(QString::fromStdString(out[i]));
        for (const QString& parent : t.parentMimeTypes()) {
            const std::string name = parent.toStdString();
            if (std::find(out.begin(), out.end(), name) == out.end())
                out.push_back(name);
        }
    }
    const std::string any = "application/octet-stream";
    if (type.name() != "inode/directory" &&
        std::find(out.begin(), out.end(), any) == out.end())
        out.push_back(any);
    return out;
}

} // namespace zentrix::platform
