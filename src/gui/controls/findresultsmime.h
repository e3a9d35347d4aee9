#pragma once

#include <QStringList>

#include <string>
#include <vector>

class QMimeData;

namespace zentrix {

/// The drag data of find results: their catalogue full names, each ended by a
/// NUL (a name may hold a line break, never a NUL).
inline constexpr const char* kFindResultsMime = "application/x-zentrix-find-results";

/// Puts the names into the drag data.
void SetFindResults(QMimeData* data, const QStringList& fullNames);
/// The names of the drag data, each whole; none when it carries no find results.
std::vector<std::string> FindResults(const QMimeData* data);

} // namespace zentrix
