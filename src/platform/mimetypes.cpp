#include "platform/mimetypes.h"

#include <QMimeDatabase>
#include <QMimeType>
#include <QString>

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

} // namespace zentrix::platform
