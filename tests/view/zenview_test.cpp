// The picture viewer program's window: walking the pictures of a directory,
// zoom and fit, by its keys.
#include "gui/view/tzenviewwindow.h"
#include "support/tempdir.h"

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

using zentrix::TZenViewWindow;
using zentrix::test::TempDir;

namespace {

void App() {
    static int argc = 1;
    static char name[] = "zenview-tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QApplication(argc, argv);
}

void picture(TempDir& tmp, const std::string& name, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    ASSERT_TRUE(image.save(QString::fromStdString(tmp.at(name)), "PNG"));
}

QString nameOf(const TZenViewWindow& w) {
    return QFileInfo(w.currentPath()).fileName();
}

} // namespace

TEST(ZenView, NextAndPreviousWalkTheDirectoryAndPassOverBrokenPictures) {
    App();
    TempDir tmp;
    picture(tmp, "a.png", 40, 30);
    picture(tmp, "b10.png", 40, 30);
    picture(tmp, "b2.png", 40, 30);
    tmp.write("broken.png", "not a picture");
    tmp.write("notes.txt", "not a picture either");
    TZenViewWindow w;
    w.show();
    ASSERT_TRUE(w.OpenPicture(QString::fromStdString(tmp.at("a.png"))));
    // Numbers in names count as numbers; the text file is no picture at all.
    EXPECT_EQ(TZenViewWindow::PicturesIn(QString::fromStdString(tmp.path())).size(), 4);
    QTest::keyClick(&w, Qt::Key_Space);
    EXPECT_EQ(nameOf(w), "b2.png");
    QTest::keyClick(&w, Qt::Key_PageDown);
    EXPECT_EQ(nameOf(w), "b10.png");
    // The broken picture is passed over and the walk goes round.
    QTest::keyClick(&w, Qt::Key_Right);
    EXPECT_EQ(nameOf(w), "a.png");
    QTest::keyClick(&w, Qt::Key_Backspace);
    EXPECT_EQ(nameOf(w), "b10.png");
    EXPECT_FALSE(w.OpenPicture(QString::fromStdString(tmp.at("broken.png"))));
    EXPECT_EQ(nameOf(w), "b10.png");
}

TEST(ZenView, ZoomAndFit) {
    App();
    TempDir tmp;
    picture(tmp, "wide.png", 4000, 1000);
    TZenViewWindow w;
    w.resize(800, 600);
    w.show();
    ASSERT_TRUE(w.OpenPicture(QString::fromStdString(tmp.at("wide.png"))));
    // Fitted: the whole picture in the window, its shape kept.
    ASSERT_TRUE(w.fit());
    const QSize fitted = w.picture()->size();
    EXPECT_LE(fitted.width(), 800);
    EXPECT_NEAR(fitted.width() / double(fitted.height()), 4.0, 0.1);
    // F: real size; + and - zoom from there.
    QTest::keyClick(&w, Qt::Key_F);
    EXPECT_FALSE(w.fit());
    EXPECT_EQ(w.picture()->size(), QSize(4000, 1000));
    QTest::keyClick(&w, Qt::Key_Minus);
    EXPECT_EQ(w.picture()->width(), 3200);
    QTest::keyClick(&w, Qt::Key_Plus);
    EXPECT_EQ(w.picture()->width(), 4000);
    QTest::keyClick(&w, Qt::Key_F);
    EXPECT_EQ(w.picture()->size(), fitted);
}
