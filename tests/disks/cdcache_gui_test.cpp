#include "catalogue/discidentification.h"
#include "catalogue/disklogger.h"
#include "filewindow/filewindow.h"
#include "gui/app/mainmenubar.h"
#include "gui/disks/diskcontroller.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/tree/thetreeview.h"
#include "support/mainwindowfixture.h"

#include <QAction>
#include <QSplitter>
#include <QStackedWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <set>

using namespace zentrix;
using namespace zentrix::test;

namespace {

/// The real main window over two CD-ROM drives, E and F, holding the same disc.
class CdCacheGui : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome(false);
        tmp.mkdir("c");
        tmp.write("disc/README.TXT", "read me");
        tmp.write("disc/DATA/ONE.DAT", "1");
        tmp.write("disc/DATA/DEEP/TWO.DAT", "22");
        state.currentDisk = 'E';
        settings.ShowMemStat = false;
        ASSERT_NO_FATAL_FAILURE(openWindow("C=" + tmp.at("c") + ";E=" + tmp.at("disc") +
                                           ":cdrom:DISC;F=" + tmp.at("disc") + ":cdrom:DISC"));
        form->Start({});
        idle();
    }

    void idle() override {
        MainWindowFixture::idle();
        form->IdleHandler();
    }
    TTreeNode* node(const std::string& path) { return form->logger().FindNodeByPath(path); }
    void key(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        form->MainTreeView->setFocus();
        QTest::keyClick(form->MainTreeView, static_cast<Qt::Key>(k), modifiers);
        idle();
    }
    std::set<std::string> shownFiles() {
        std::set<std::string> out;
        for (const TFileClass* f : form->fileWindow().model().Records())
            out.insert(f->FullName());
        return out;
    }
};

} // namespace

TEST_F(CdCacheGui, F6ArchivesTheDiscAndLoggingItAgainLoadsTheCache) {
    ASSERT_TRUE(node("E:\\"));
    cat->Tree().Select(node("E:\\"));
    key(Qt::Key_B, Qt::AltModifier); // the whole disc read
    ASSERT_TRUE(node("E:\\DATA\\DEEP\\") && node("E:\\DATA\\DEEP\\")->Logged());
    cat->Tree().Select(node("E:\\DATA\\"));
    idle();

    QAction* archive = form->menus().action("miArchiveCDROMDisk");
    ASSERT_TRUE(archive);
    EXPECT_TRUE(archive->isEnabled());
    prompter.answer(true).answerText("Disc one");
    key(Qt::Key_F6);
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"Archive CD-ROM disk: E: ?",
                                        "Enter disc title: ", "Operation successful.     "}));
    const auto id = DiscIdentificationValue("DISC", tmp.at("disc"));
    ASSERT_TRUE(id);
    struct stat st {};
    EXPECT_EQ(
        ::stat((tmp.at("home") + "/Cache/" + DiscIdentificationText(*id) + ".ccc").c_str(), &st),
        0);

    // Two levels down the disc changes (the root listing stays the same); the
    // cache still has what was archived.
    tmp.remove("disc/DATA/DEEP/TWO.DAT");
    prompter.clear();
    prompter.answer(true);
    form->disks().lbDrivesChoice('F');
    idle();
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{"Log CD-ROM from cache ?"});
    ASSERT_TRUE(node("F:\\DATA\\DEEP\\"));
    ASSERT_TRUE(node("F:\\DATA\\DEEP\\")->Logged());
    EXPECT_EQ(node("F:\\DATA\\DEEP\\")->Data()->NumFilesInDir(), 1);
    EXPECT_TRUE(node("F:\\DATA\\")->Expanded());
    // The window shows its panes again, the root's files in the file window.
    EXPECT_TRUE(form->scVertical->isVisible());
    EXPECT_FALSE(form->ZenPageControl->isVisible());
    EXPECT_EQ(cat->Tree().Selected(), node("F:\\"));
    EXPECT_EQ(shownFiles(), std::set<std::string>{"F:\\README.TXT"});
}

TEST_F(CdCacheGui, ADiscReleasedAndLoggedAgainAsksWhetherToUseTheCache) {
    // C: is logged too: the last disk logged cannot be released.
    form->disks().lbDrivesChoice('C');
    idle();
    ASSERT_TRUE(node("C:\\"));
    ASSERT_TRUE(node("E:\\"));
    cat->Tree().Select(node("E:\\"));
    key(Qt::Key_B, Qt::AltModifier);
    prompter.answer(true).answerText("Disc one");
    key(Qt::Key_F6);
    ASSERT_EQ(prompter.texts().back(), "Operation successful.     ");

    // Another disc with the same label and root listing goes in; the disk is
    // released and logged again.
    tmp.remove("disc/DATA/DEEP/TWO.DAT");
    prompter.clear();
    prompter.answer(true).answer(false); // release: OK; eject: no
    key(Qt::Key_R, Qt::AltModifier);
    ASSERT_FALSE(node("E:\\"));
    prompter.clear();
    prompter.answer(false); // "Log CD-ROM from cache ?": no, read the disc
    form->disks().lbDrivesChoice('E');
    idle();
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{"Log CD-ROM from cache ?"});
    ASSERT_TRUE(node("E:\\DATA\\"));
    form->logger().GoToDirPath("E:\\DATA\\DEEP\\");
    ASSERT_TRUE(node("E:\\DATA\\DEEP\\") && node("E:\\DATA\\DEEP\\")->Logged());
    EXPECT_EQ(node("E:\\DATA\\DEEP\\")->Data()->NumFilesInDir(), 0) << "the disc, not the cache";
}
