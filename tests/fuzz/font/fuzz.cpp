// Font texts from the settings file ("Name,Size,Style,Pitch,Color"), as a hand
// edit or another program may leave them. Applying one never fails and keeps
// every field in its range; a font written and read again is the same font; and
// the windows' fonts take any text without harm.
#include "config/fontfields.h"
#include "gui/config/fontconvert.h"

#include <QApplication>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace zentrix;

namespace {

void check(bool ok) {
    if (!ok)
        std::abort();
}

// A name survives the text form when it needs no trimming and holds no comma.
bool writable(const std::string& name) {
    return !name.empty() && name.find(',') == std::string::npos &&
           static_cast<unsigned char>(name.front()) > ' ' &&
           static_cast<unsigned char>(name.back()) > ' ';
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    FontFields font;
    font.Name = "Sans";
    ApplyFontText(text, font);
    check(font.Pitch >= 0 && font.Pitch <= 2);

    if (writable(font.Name)) {
        FontFields other;
        other.Name = "Other";
        other.Size = 99;
        other.Bold = !font.Bold;
        other.Pitch = font.Pitch == 1 ? 2 : 1;
        other.Color = font.Color ^ 1;
        ApplyFontText(FontToText(font), other);
        check(other == font);
    }
    // Colours read back as what was written.
    if (const auto color = ColorFromText(text))
        check(ColorFromText(ColorToText(*color)) == color);

    QColor color(Qt::black);
    const QFont applied = ApplyFontTextToQFont(
        QString::fromUtf8(text.data(), static_cast<int>(text.size())), QFont("Sans", 9), color);
    check(applied.pointSize() > 0 && applied.pointSize() <= 200);
    FontTextOf(applied, color);
    return 0;
}
