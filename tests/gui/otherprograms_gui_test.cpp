// Files exchanged with other programs: dragged out of the file window.
#include "catalogue/disklogger.h"
#include "catalogue/fileclass.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "platform/fileuris.h"
#include "support/mainwindowfixture.h"

#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

using Strings = std::vector<std::string>;

// Names a shell or a list would take apart.
const Strings kHostile = {"a?", "x;C:victim.txt", "plain;semi", "x\" .. \"y", "star*"};

class OtherProgramsGui : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome();
        for (const std::string& name : kHostile)
            tmp.write("d/" + name, name);
        tmp.write("d/ab", "ab");
        tmp.mkdir("e");
        state.currentDisk = 'D';
        ASSERT_NO_FATAL_FAILURE(openWindow("D=" + tmp.at("d") + ";E=" + tmp.at("e")));
        form->Start({});
        idle();
        focusList();
    }
    int row(const std::string& name) {
        for (int i = 0; i < fw().Count(); ++i)
            if (fw().Text(i) == name)
                return i;
        return -1;
    }
    void tag(const Strings& names) {
        for (const std::string& n : names) {
            ASSERT_GE(row(n), 0) << n;
            fw().Record(row(n))->SetTagged(true);
        }
    }
    /// A left-button drag begun on a row, as the mouse does it.
    void dragRow(const std::string& name) {
        ASSERT_GE(row(name), 0) << name;
        fw().SetCurrent(row(name));
        const QPoint at = list()->itemRect(row(name)).center();
        QWidget* port = list()->viewport();
        QTest::mousePress(port, Qt::LeftButton, Qt::NoModifier, at);
        const QPoint far = at + QPoint(40, 0);
        QMouseEvent move(QEvent::MouseMove, far, port->mapToGlobal(far), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(port, &move);
        idle();
    }
};

// Other programs take the tagged files (or the current one) by their URIs,
// names byte for byte.
TEST_F(OtherProgramsGui, FilesDraggedFromTheFileWindowCarryTheirUris) {
    Strings uris;
    QObject::connect(&form->fileWindow(), &FileWindowController::dragDataMade,
                     [&](const QMimeData* data) {
                         uris.clear();
                         for (const QByteArray& line : data->data("text/uri-list").split('\n'))
                             if (!line.trimmed().isEmpty())
                                 uris.push_back(line.trimmed().toStdString());
                         EXPECT_TRUE(data->hasFormat("application/x-zentrix-file-window"));
                     });
    dragRow("ab");
    EXPECT_EQ(uris, Strings{platform::FileUri(tmp.at("d/ab"))});

    tag(kHostile);
    dragRow("ab");
    Strings paths;
    for (const std::string& uri : uris)
        paths.push_back(platform::PathOfFileUri(uri).value_or("(bad)"));
    std::sort(paths.begin(), paths.end());
    Strings expected;
    for (const std::string& name : kHostile)
        expected.push_back(tmp.at("d/" + name));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(paths, expected);
}

} // namespace
