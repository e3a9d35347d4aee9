#pragma once

#include <QString>

class QPrinter;

namespace zentrix::utils {

/// Prints a file on a printer that is set up already: a picture scaled to the
/// page, anything else as text, paginated, with a header line (the file's
/// name and the page number) on every page. False when nothing could be printed.
bool PrintFileOn(QPrinter& printer, const QString& path);

} // namespace zentrix::utils
