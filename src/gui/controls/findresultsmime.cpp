#include "gui/controls/findresultsmime.h"

#include <QMimeData>

namespace zentrix {

void SetFindResults(QMimeData* data, const QStringList& fullNames) {
    QByteArray bytes;
    for (const QString& name : fullNames) {
        bytes += name.toUtf8();
        bytes += '\0';
    }
    data->setData(kFindResultsMime, bytes);
}

std::vector<std::string> FindResults(const QMimeData* data) {
    std::vector<std::string> names;
    if (!data || !data->hasFormat(kFindResultsMime))
        return names;
    const QByteArray bytes = data->data(kFindResultsMime);
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\0', start);
        if (end < 0)
            end = bytes.size();
        if (end > start)
            names.emplace_back(bytes.constData() + start, static_cast<size_t>(end - start));
        start = end + 1;
    }
    return names;
}

} // namespace zentrix
