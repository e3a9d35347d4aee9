// The commands of viewing and launching, each through the main window as a
// user reaches them: a menu item (or its key) on a real window, offscreen.
#include "catalogue/disklogger.h"
#include "filewindow/filewindow.h"
#include "gui/app/mainmenubar.h"
#include "gui/app/tquickviewpane.h"
#include "gui/controls/thistorycombobox.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/filewindow/tvirtuallistbox.h"
#include "gui/tree/thetreeview.h"
#include "gui/view/quickviewcontroller.h"
#include "gui/view/tfileinfoform.h"
#include "gui/view/tfilepropertiesdialog.h"
#include "gui/view/tquickviewmedia.h"
#include "gui/view/tviewerform.h"
#include "gui/view/viewcontroller.h"
#include "support/fifofeeder.h"
#include "support/files.h"
#include "support/mainwindowfixture.h"
#include "support/modalwatch.h"
#include "view/viewerdocument.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

// Waits (running events) until a file exists; programs started run on their own.
bool waitForFile(const std::string& path, int ms = 5000) {
    for (int i = 0; i < ms / 20; ++i) {
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0 && st.st_size > 0)
            return true;
        QTest::qWait(20);
    }
    return false;
}

class ViewWindowTest : public MainWindowFixture {
protected:
    std::unique_ptr<ScopedEnv> histfile;

    void SetUp() override {
        useHome(false);
        tmp.mkdir("plugins");
        tmp.mkdir("bin");
        tmp.mkdir("d/sub");
        // The libraries of this build, and a picture viewer that only notes its
        // argument (the real one would stay open).
        for (const char* lib : {"Utils.so", "UnZip.so", "Tools.so", "FileInfo.so"})
            tmp.symlink(std::string(ZENTRIX_BUILD_DIR) + "/" + lib, std::string("plugins/") + lib);
        script("plugins/zenview", "zenview");
        setEnv("ZENTRIX_PLUGIN_DIR", tmp.at("plugins"));
        // The desktop's opener notes what it was asked to open.
        script("bin/xdg-open", "xdg-open");
        setEnv("PATH", tmp.at("bin") + ":" + std::getenv("PATH"));
        tmp.write("d/readme.txt", "first line\r\nsecond line\n");
        tmp.write("d/ten.bin", std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A", 10));
        makeDrives("D=" + tmp.at("d"));
        state.currentDisk = 'D';
        settings.ShowHintsAtStartUp = false;
        settings.ShowQuotesAtStartUp = false;
    }

    void TearDown() override { closeWindow(); }

    // A program that writes its arguments to tmp/<name>.out.
    void script(const std::string& relative, const std::string& name) {
        tmp.write(relative, "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + tmp.at(name + ".out") + "'\n");
        tmp.chmod(relative, 0755);
    }

    void open() {
        makeForm();
        form->show();
        StartupOptions options;
        options.args = {"D:\\"};
        form->Start(options);
        form->IdleHandler();
    }

    FileWindow& model() { return form->fileWindow().model(); }

    // Makes a file current in a focused file window.
    void select(const std::string& name) {
        model().SetCurrent(-1);
        for (int i = 0; i < model().Count(); ++i)
            if (model().Text(i) == name)
                model().SetCurrent(i);
        ASSERT_TRUE(model().Record(model().Current())) << name;
        form->fileWindow().MainListBox->setFocus();
        QApplication::processEvents();
    }

    QAction* action(const std::string& command) {
        QAction* found = nullptr;
        for (QAction* a : form->findChildren<QAction*>())
            if (a->property("command").toString().toStdString() == command && !found)
                found = a;
        return found;
    }

    void run(const std::string& command) {
        QAction* a = action(command);
        ASSERT_TRUE(a) << command;
        ASSERT_TRUE(a->isEnabled()) << command;
        a->trigger();
    }
};

} // namespace

TEST_F(ViewWindowTest, EveryItemOfViewingAndLaunchingIsLive) {
    open();
    for (const char* command : {"ViewSingleFile",
                                "EditSingleFile",
                                "miFileExecuteClick",
                                "FileInfo",
                                "FileProperties",
                                "OpenZIPFile",
                                "TestZIPFile",
                                "MakeZIPFile",
                                "pmiZIPdirectoryClick",
                                "miFilePrintClick",
                                "BrowseIcons",
                                "miClipBrdClick",
                                "CommandLine",
                                "PasteFileToCmdLine",
                                "miDirEditFileClick",
                                "DosPrompt",
                                "ExploreDir",
                                "Run_DEFRAG",
                                "pmiDefragAllDisksClick",
                                "Run_SCANDISK",
                                "miVolFormatDiskClick",
                                "miVolCopyDiskClick",
                                "miToolsSysInfoClick",
                                "miToolsCDBrowserClick",
                                "btnQuickFileViewClick",
                                "pmiAutoPlayClick",
                                "pmiQViewCopyClick",
                                "pmiQViewAppendToClipboardClick",
                                "pmiQViewFontClick"}) {
        QAction* a = action(command);
        ASSERT_TRUE(a) << command;
        EXPECT_TRUE(a->isEnabled()) << command;
    }
}

TEST_F(ViewWindowTest, TheViewerShowsTheFileAndItsKeysWork) {
    settings.WDEnabled = true;
    settings.WatchDogOperations[9] = true; // "View file"
    open();
    select("readme.txt");
    QStringList shown;
    bool hexAfterH = false;
    std::vector<std::string> hexLine;
    OnModalShown([&](QWidget* modal) {
        auto* viewer = qobject_cast<TViewerForm*>(modal);
        ASSERT_TRUE(viewer);
        viewer->resize(500, 400);
        viewer->area()->viewport()->grab();
        for (const QString& line : viewer->area()->shownLines())
            shown << line;
        QTest::keyClick(viewer, Qt::Key_H);
        hexAfterH = viewer->document().HexMode();
        hexLine.push_back(viewer->document().Line(0));
        QTest::keyClick(viewer, Qt::Key_H);
        QTest::keyClick(viewer, Qt::Key_Escape);
    });
    QTest::keyClick(form->fileWindow().MainListBox, Qt::Key_V);
    EXPECT_EQ(shown, (QStringList{"first line", "second line", ""}));
    EXPECT_TRUE(hexAfterH);
    ASSERT_EQ(hexLine.size(), 1u);
    EXPECT_EQ(hexLine[0].substr(0, 29), "00000000 :  66 69 72 73 74 20");
    EXPECT_NE(ReadFile(tmp.at("home/WATCHDOG.LOG")).find("View file: D:\\readme.txt"),
              std::string::npos);
}

TEST_F(ViewWindowTest, TheViewDispatchFollowsExtensionAndSettings) {
    tmp.write("d/photo.jpg", "not really a picture");
    tmp.write("d/anim.gif", "GIF89a broken");
    tmp.write("d/notes.txt", "x");
    open();
    // A picture goes to the picture viewer program beside the executable.
    select("photo.jpg");
    run("ViewSingleFile");
    ASSERT_TRUE(waitForFile(tmp.at("zenview.out")));
    EXPECT_EQ(ReadFile(tmp.at("zenview.out")), tmp.at("d/photo.jpg") + "\n");
    // A broken GIF: the window's message.
    select("anim.gif");
    run("ViewSingleFile");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Error loading GIF file!     "});
    // Without the built-in viewer, GIF files too go to the desktop's
    // application (the stored default of another system reads as empty).
    settings.UseDefaultFileViewer = false;
    settings.AssociatedFileViewer = "C:\\WINDOWS\\PBRUSH.EXE";
    run("ViewSingleFile");
    ASSERT_TRUE(waitForFile(tmp.at("xdg-open.out")));
    EXPECT_EQ(ReadFile(tmp.at("xdg-open.out")), tmp.at("d/anim.gif") + "\n");
    // Archive commands leave other files alone.
    prompter.clear();
    select("notes.txt");
    run("OpenZIPFile");
    run("TestZIPFile");
    EXPECT_TRUE(prompter.texts().empty());
}

TEST_F(ViewWindowTest, TheEditorKeepsLineEndsAndAsksBeforeDiscarding) {
    tmp.write("d/crlf.txt", "alpha\r\nbeta\r\n");
    open();
    select("crlf.txt");
    OnModalShown([&](QWidget* modal) {
        auto* text = modal->findChild<QPlainTextEdit*>("meText");
        ASSERT_TRUE(text);
        EXPECT_EQ(text->toPlainText(), "alpha\nbeta\n");
        text->moveCursor(QTextCursor::End);
        QTest::keyClicks(text, "gamma");
        for (QAction* a : modal->findChildren<QAction*>())
            if (a->text() == "&Save")
                a->trigger();
        QTest::keyClicks(text, "!");
        // Closing with a change asks; "No" throws it away.
        OnModalShown([](QWidget* question) {
            if (auto* no = question->findChild<QPushButton*>(); no)
                for (QPushButton* b : question->findChildren<QPushButton*>())
                    if (b->text().contains("No"))
                        b->click();
        });
        modal->close();
    });
    run("EditSingleFile");
    EXPECT_EQ(ReadFile(tmp.at("d/crlf.txt")), "alpha\r\nbeta\r\ngamma");
}

TEST_F(ViewWindowTest, TheCommandLineRunsInTheSelectedDirectory) {
    tmp.write("home/history", "#1700000000\nls -l\nmake\n");
    histfile = std::make_unique<ScopedEnv>("HISTFILE", tmp.at("home/history"));
    open();
    ViewController& view = form->view();
    ASSERT_TRUE(view.pnCmdLine->isVisibleTo(form.get()));
    form->logger().GoToDirPath("D:\\sub\\");
    view.hbCmdLine->setFocus();
    view.hbCmdLine->setEditText("pwd > here.txt");
    QTest::keyClick(view.hbCmdLine->lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(waitForFile(tmp.at("d/sub/here.txt")));
    EXPECT_EQ(ReadFile(tmp.at("d/sub/here.txt")), tmp.at("d/sub") + "\n");
    EXPECT_EQ(view.hbCmdLine->Items().front(), "pwd > here.txt");
    // A text that names a directory opens it instead.
    view.hbCmdLine->setEditText("D:\\sub");
    QTest::keyClick(view.hbCmdLine->lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(waitForFile(tmp.at("xdg-open.out")));
    EXPECT_EQ(ReadFile(tmp.at("xdg-open.out")), tmp.at("d/sub") + "\n");
    // The shell's history as the list; the box's own history comes back after.
    view.sbStartMenuHistoryClick();
    EXPECT_EQ(view.hbCmdLine->count(), 2);
    EXPECT_EQ(view.hbCmdLine->itemText(0), "ls -l");
    view.hbCmdLine->hidePopup();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    // Pasting the current file's name.
    form->logger().GoToDirPath("D:\\");
    form->IdleHandler();
    select("readme.txt");
    view.hbCmdLine->setEditText("cat ");
    run("PasteFileToCmdLine");
    EXPECT_EQ(view.hbCmdLine->currentText().toStdString(),
              "cat \"" + tmp.at("d/readme.txt") + "\" ");
}

TEST_F(ViewWindowTest, AHiddenCommandLineShowsOnItsCommandAndHidesAgain) {
    settings.ShowCmdLinePanel = false;
    open();
    ViewController& view = form->view();
    EXPECT_FALSE(view.pnCmdLine->isVisibleTo(form.get()));
    run("CommandLine");
    QApplication::processEvents();
    EXPECT_TRUE(view.pnCmdLine->isVisibleTo(form.get()));
    EXPECT_TRUE(view.hbCmdLine->hasFocus());
    form->MainTreeView->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(view.pnCmdLine->isVisibleTo(form.get()));
}

TEST_F(ViewWindowTest, FileInformationAndProperties) {
    open();
    select("ten.bin");
    QStringList dump;
    QString size;
    OnModalShown([&](QWidget* modal) {
        auto* info = qobject_cast<TFileInfoForm*>(modal);
        ASSERT_TRUE(info);
        dump = info->meDump->toPlainText().split('\n');
        size = info->lbSize->text();
        // The offscreen platform does not activate a modal window by itself;
        // the main window's keys would take the press otherwise.
        QApplication::setActiveWindow(info);
        QTest::keyClick(info, Qt::Key_Return);
    });
    run("FileInfo");
    ASSERT_EQ(dump.size(), 128);
    EXPECT_EQ(dump[0], "0000: 01 02 03 04 05 06 07 08  ........");
    EXPECT_EQ(dump[1], "0008: 09 0A 00 00 00 00 00 00  ........");
    EXPECT_EQ(dump[127], "03F8: 00 00 00 00 00 00 00 00  ........");
    EXPECT_EQ(size, "0 KB (10 B)");

    QList<QPair<QString, QString>> rows;
    OnModalShown([&](QWidget* modal) {
        auto* dialog = qobject_cast<TFilePropertiesDialog*>(modal);
        ASSERT_TRUE(dialog);
        rows = dialog->rows();
        dialog->reject();
    });
    run("FileProperties");
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows[0], (QPair<QString, QString>("Name", "ten.bin")));
    EXPECT_TRUE(rows.contains(QPair<QString, QString>("Size", QLocale().toString(10) + " bytes")));
}

TEST_F(ViewWindowTest, ArchivesOfTaggedFilesAndDamagedArchives) {
    tmp.write("d/broken.zip", "PK\x03\x04 this is no archive at all");
    open();
    run("MakeZIPFile");
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"There are no tagged files to operate with!     "});
    prompter.clear();
    for (int i = 0; i < model().Count(); ++i)
        if (model().Text(i) == "readme.txt" || model().Text(i) == "ten.bin")
            model().Record(i)->SetTagged(true);
    run("MakeZIPFile");
    // Two names in the drive's root: "NewArchive.ZIP" in the selected directory.
    const std::string archive = ReadFile(tmp.at("d/NewArchive.ZIP"));
    ASSERT_GE(archive.size(), 4u);
    EXPECT_EQ(archive.substr(0, 2), "PK");
    EXPECT_NE(archive.find("readme.txt"), std::string::npos);
    // A damaged archive cannot be opened; its test reports the error.
    form->IdleHandler();
    select("broken.zip");
    run("OpenZIPFile");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Could not open ZIP file!     "});
    prompter.clear();
    form->IdleHandler(); // opening an archive rereads its directory
    select("broken.zip");
    OnModalNamed("ZipReport", [](QWidget* report) { report->close(); });
    run("TestZIPFile");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Error in ZIP file!     "});
}

uint32_t crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<unsigned char>(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putLe(std::string& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A ZIP archive of one stored entry.
std::string storedZip(const std::string& name, const std::string& content) {
    const uint32_t crc = crc32(content);
    const auto size = static_cast<uint32_t>(content.size());
    const auto nameSize = static_cast<uint32_t>(name.size());
    std::string zip("PK\x03\x04", 4);
    for (const uint32_t v : {20u, 0u, 0u, 0u, 0u})
        putLe(zip, v, 2);
    putLe(zip, crc, 4);
    putLe(zip, size, 4);
    putLe(zip, size, 4);
    putLe(zip, nameSize, 2);
    putLe(zip, 0, 2);
    zip += name + content;
    const auto directory = static_cast<uint32_t>(zip.size());
    zip += std::string("PK\x01\x02", 4);
    for (const uint32_t v : {20u, 20u, 0u, 0u, 0u, 0u})
        putLe(zip, v, 2);
    putLe(zip, crc, 4);
    putLe(zip, size, 4);
    putLe(zip, size, 4);
    putLe(zip, nameSize, 2);
    for (int i = 0; i < 4; ++i)
        putLe(zip, 0, 2);
    putLe(zip, 0, 4);
    putLe(zip, 0, 4);
    zip += name;
    const auto directorySize = static_cast<uint32_t>(zip.size()) - directory;
    zip += std::string("PK\x05\x06", 4);
    for (const uint32_t v : {0u, 0u, 1u, 1u})
        putLe(zip, v, 2);
    putLe(zip, directorySize, 4);
    putLe(zip, directory, 4);
    putLe(zip, 0, 2);
    return zip;
}

// The bytes as a gzip file: qCompress's deflate stream between gzip's header
// and trailer.
std::string gzipped(const std::string& bytes) {
    const QByteArray zlib = qCompress(QByteArray::fromStdString(bytes), 9);
    // 4 bytes of length and 2 of zlib header before, the Adler-32 sum after.
    const QByteArray deflate = zlib.mid(6, zlib.size() - 10);
    std::string out("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03", 10);
    out.append(deflate.constData(), static_cast<size_t>(deflate.size()));
    putLe(out, crc32(bytes), 4);
    putLe(out, static_cast<uint32_t>(bytes.size()), 4);
    return out;
}

TEST_F(ViewWindowTest, ArchivesAreReadAsTheyAreAndFifosNeverWaitedOn) {
    // A sound archive inside a gzip stream is no ZIP; a FIFO named like one
    // would hold a sound archive, were it read.
    const std::string archive = storedZip("a.txt", "alpha");
    tmp.write("d/sound.zip", archive);
    tmp.write("d/wrapped.zip", gzipped(archive));
    ASSERT_EQ(::mkfifo(tmp.at("d/pipe.zip").c_str(), 0600), 0);
    FifoFeeder feeder(tmp.at("d/pipe.zip"), archive);
    open();
    select("sound.zip");
    OnModalNamed("ZipReport", [](QWidget* report) { report->close(); });
    run("TestZIPFile");
    EXPECT_TRUE(prompter.texts().empty()) << "the sound one tests sound";
    form->IdleHandler();
    select("wrapped.zip");
    OnModalNamed("TZipForm", [](QWidget* zip) { zip->close(); });
    run("OpenZIPFile");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Could not open ZIP file!     "});
    prompter.clear();
    form->IdleHandler();
    select("pipe.zip");
    OnModalNamed("ZipReport", [](QWidget* report) { report->close(); });
    run("TestZIPFile");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Error in ZIP file!     "});
}

TEST_F(ViewWindowTest, ADesktopFilesIconThatIsAFifoIsNeverRead) {
    // A picture in a colour no theme icon has, were the FIFO read.
    QImage magenta(16, 16, QImage::Format_RGB32);
    magenta.fill(QColor(255, 0, 255));
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        magenta.save(&buffer, "PNG");
    }
    ASSERT_EQ(::mkfifo(tmp.at("icon.png").c_str(), 0600), 0);
    FifoFeeder feeder(tmp.at("icon.png"), png.toStdString());
    tmp.write("d/app.desktop", "[Desktop Entry]\nName=App\nIcon=" + tmp.at("icon.png") + "\n");
    open();
    select("app.desktop");
    QImage shown;
    OnModalShown([&](QWidget* modal) {
        auto* info = qobject_cast<TFileInfoForm*>(modal);
        ASSERT_TRUE(info);
        shown = info->imgIcon->pixmap().toImage();
        info->reject();
    });
    run("FileInfo");
    EXPECT_TRUE(shown.isNull() || shown.pixelColor(8, 8) != QColor(255, 0, 255));
}

TEST_F(ViewWindowTest, PrintingGoesThroughThePrintDialog) {
    open();
    select("readme.txt");
    const std::string pdf = tmp.at("out.pdf");
    OnModalShown([&](QWidget* modal) {
        auto* dialog = qobject_cast<QPrintDialog*>(modal);
        ASSERT_TRUE(dialog);
        // The dialog's own file box (printing to a file, as without printers).
        for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
            if (edit->objectName() == "filename")
                edit->setText(QString::fromStdString(pdf));
        dialog->printer()->setOutputFileName(QString::fromStdString(pdf));
        dialog->accept();
    });
    run("miFilePrintClick");
    EXPECT_EQ(ReadFile(pdf).substr(0, 4), "%PDF");
    EXPECT_TRUE(prompter.texts().empty());
}

TEST_F(ViewWindowTest, EditingANamedNewFileThatStaysEmptyLeavesNothing) {
    settings.UseDefaultFileEditor = false;
    settings.AssociatedFileEditor = tmp.at("bin/xdg-open"); // notes its argument and ends
    open();
    run("miDirEditFileClick");
    ViewController& view = form->view();
    EXPECT_TRUE(view.ts_FC_EditFile->isVisibleTo(form.get()));
    prompter.answer(true);
    view.hbEditFile->setEditText("new.txt");
    view.btnEditOKClick();
    EXPECT_EQ(prompter.questions(), std::vector<std::string>{"Create new file new.txt ?"});
    ASSERT_TRUE(waitForFile(tmp.at("xdg-open.out")));
    EXPECT_EQ(ReadFile(tmp.at("xdg-open.out")), tmp.at("d/new.txt") + "\n");
    struct stat st {};
    EXPECT_NE(::stat(tmp.at("d/new.txt").c_str(), &st), 0);
}

TEST_F(ViewWindowTest, QuickViewSwitchAndMediaPanel) {
    tmp.write("d/sound.wav", "RIFF....WAVE");
    settings.QuickView = false;
    open();
    select("sound.wav");
    run("btnQuickFileViewClick");
    EXPECT_TRUE(settings.QuickView);
    EXPECT_TRUE(form->pnQuickView->isVisibleTo(form.get()));
    // What the pane shows is found on its own thread and arrives a moment later.
    for (int waited = 0; waited < 20000 && !form->pnQuickView->pnMedia->isVisibleTo(form.get());
         waited += 10)
        QTest::qWait(10);
    EXPECT_TRUE(form->pnQuickView->pnMedia->isVisibleTo(form.get()));
    run("pmiAutoPlayClick");
    EXPECT_TRUE(settings.AutoPlay);
    run("pmiAutoPlayClick");
    // Stopping what never played is harmless; leaving the window stops playing.
    form->pnQuickView->btnStopClick();
    form->MainTreeView->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(form->pnQuickView->pnMedia->playerOpen());
    run("btnQuickFileViewClick");
    EXPECT_FALSE(settings.QuickView);
}

TEST_F(ViewWindowTest, LaunchersSayWhenTheirToolIsMissing) {
    open();
    run("Run_DEFRAG");
    run("Run_SCANDISK");
    EXPECT_EQ(prompter.texts(), (std::vector<std::string>{"DEFRAG execution failed!     ",
                                                          "SCANDISK execution failed!     "}));
    prompter.clear();
    run("ExploreDir");
    ASSERT_TRUE(waitForFile(tmp.at("xdg-open.out")));
    EXPECT_EQ(ReadFile(tmp.at("xdg-open.out")), tmp.at("d") + "\n");
    // The system information and CD browser windows of Tools.
    for (const char* command : {"miToolsSysInfoClick", "miToolsCDBrowserClick"}) {
        QString title;
        OnModalShown([&](QWidget* modal) {
            title = modal->windowTitle();
            modal->close();
        });
        run(command);
        EXPECT_FALSE(title.isEmpty()) << command;
    }
}
