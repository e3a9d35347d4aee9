// Any file the built-in editor opens: the text it shows is written back byte
// for byte when nothing is changed, whatever its encoding and line ends, and
// the editor shows lines ended by "\n" alone.
#include "editfileform.h"

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

using namespace zentrix::utils;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    TextFormat format;
    const QString text = DecodeText(bytes, format);
    if (text.contains('\r') || format.lineEnds.size() != static_cast<size_t>(text.count('\n')))
        std::abort();
    QByteArray again;
    if (!EncodeText(text, format, again) || again != bytes)
        std::abort();
    return 0;
}
