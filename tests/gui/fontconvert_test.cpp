#include "gui/config/fontconvert.h"
#include "gui/errors/exceptionreporter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPalette>

using namespace zentrix;

namespace {

void ensureApp() {
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new GuardedApplication(argc, argv);
}

} // namespace

TEST(FontConvert, StoredFontTextsBecomeWindowFonts) {
    ensureApp();
    QFont base("DejaVu Sans", 9);
    base.setUnderline(true);
    QColor color(Qt::black);

    QFont f = ApplyFontTextToQFont("Arial,10,BI,0,clRed", base, color);
    EXPECT_EQ(f.family(), "Arial");
    EXPECT_EQ(f.pointSize(), 10);
    EXPECT_TRUE(f.bold());
    EXPECT_TRUE(f.italic());
    EXPECT_FALSE(f.underline());
    EXPECT_EQ(color, QColor(255, 0, 0));

    color = Qt::black;
    f = ApplyFontTextToQFont("Arial", base, color); // no comma: nothing changes
    EXPECT_EQ(f, base);
    f = ApplyFontTextToQFont("", base, color);
    EXPECT_EQ(f, base);
    f = ApplyFontTextToQFont(",0,,,", base, color); // a size no window can show
    EXPECT_EQ(f.pointSize(), 9);
    f = ApplyFontTextToQFont(",,,,clWindowText", base, color);
    EXPECT_EQ(color, QApplication::palette().color(QPalette::Text));

    color = QColor(0x12, 0x34, 0x56);
    QFont mine("Mono", 11);
    mine.setBold(true);
    const QString text = FontTextOf(mine, color);
    EXPECT_EQ(text, "Mono,11,B,0,$00563412");
    QColor back;
    EXPECT_EQ(ApplyFontTextToQFont(text, base, back).family(), "Mono");
    EXPECT_EQ(back, color);
}
