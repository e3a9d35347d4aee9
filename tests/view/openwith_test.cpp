// "Open with": which applications the desktop's databases offer for a file,
// and how the chosen one is started, from the file window's popup.
#include "gui/app/mainmenubar.h"
#include "gui/filewindow/filewindowcontroller.h"
#include "gui/view/openwithmenu.h"
#include "support/files.h"
#include "support/mainwindowfixture.h"
#include "view/openwith.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

using Strings = std::vector<std::string>;

std::string desktopEntry(const std::string& name, const std::string& exec,
                         const std::string& extra = {}) {
    return "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec + "\n" + extra;
}

// A file name a shell would take apart, and one that looks like an option.
const std::string kHostile = "it's \"q\" $HOME;touch pwned `id` %f.txt";

TEST(OpenWith, ExecLinesKeepTheFileOneArgumentWhateverItsName) {
    DesktopApplication app;
    app.name = "Editor";
    app.icon = "editor";
    app.file = "/usr/share/applications/editor.desktop";
    const std::string file = "/home/me/" + kHostile;
    auto argv = [&](const std::string& exec) {
        app.exec = exec;
        return OpenWithArguments(app, file).value_or(Strings{"(none)"});
    };
    EXPECT_EQ(argv("editor %F"), (Strings{"editor", file}));
    EXPECT_EQ(argv("editor"), (Strings{"editor", file}));
    EXPECT_EQ(argv("editor --new-window %U"),
              (Strings{"editor", "--new-window",
                       "file:///home/me/it's%20%22q%22%20$HOME;touch%20pwned%20%60id%60%20%25f.txt"}));
    EXPECT_EQ(argv("\"/opt/My App/run\" --file=%f %i --name \"%c\" %k %% %d"),
              (Strings{"/opt/My App/run", "--file=" + file, "--icon", "editor", "--name", "Editor",
                       app.file, "%"}));
    EXPECT_EQ(argv("sh -c \"echo \\\"\\$x\\\"\" %f"), (Strings{"sh", "-c", "echo \"$x\"", file}));
    EXPECT_EQ(argv("%f"), Strings{"(none)"}); // the file would be run
    EXPECT_EQ(argv("editor \"open"), Strings{"(none)"});

    // Desktop entries' string escapes come first.
    const auto parsed = ParseDesktopApplication(
        desktopEntry("Viewer", "view\\s--x %f", "MimeType=text/plain; image/png;\nTerminal=true\n"));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->exec, "view --x %f");
    EXPECT_EQ(parsed->mimeTypes, (Strings{"text/plain", "image/png"}));
    EXPECT_TRUE(parsed->terminal);
    EXPECT_FALSE(ParseDesktopApplication(desktopEntry("Gone", "gone %f", "Hidden=true\n")));
    EXPECT_FALSE(ParseDesktopApplication("[Desktop Entry]\nType=Link\nExec=x\n"));
}

// The order a desktop shows: the default of the nearest mimeapps.list, the
// added associations, then the applications naming the type; a type's kinds
// after it; removed associations and missing programs left out.
TEST(OpenWith, TheDefaultComesFirstThenTheOthersEachOnce) {
    TempDir tmp;
    tmp.write("data/applications/b-viewer.desktop",
              desktopEntry("B Viewer", "bview %f", "MimeType=text/x-csrc;text/plain;\n"));
    tmp.write("data/applications/vendor/editor.desktop",
              desktopEntry("Editor", "edit %f", "MimeType=text/plain;\n"));
    tmp.write("data/applications/a-reader.desktop",
              desktopEntry("A Reader", "read %f", "MimeType=text/plain;\n"));
    tmp.write("data/applications/hidden-menu.desktop",
              desktopEntry("Menu Hidden", "hm %f", "MimeType=text/plain;\nNoDisplay=true\n"));
    tmp.write("data/applications/missing.desktop",
              desktopEntry("Missing", "missing %f",
                           "MimeType=text/plain;\nTryExec=/nonexistent/program\n"));
    tmp.write("data/applications/removed.desktop",
              desktopEntry("Removed", "rm %f", "MimeType=text/plain;\n"));
    // The user's own copy hides the system's.
    tmp.write("home-data/applications/a-reader.desktop",
              desktopEntry("A Reader (mine)", "myread %f", "MimeType=text/plain;\n"));
    tmp.write("config/mimeapps.list", "[Default Applications]\n"
                                      "text/plain=nothere.desktop;vendor-editor.desktop;\n"
                                      "[Removed Associations]\n"
                                      "text/plain=removed.desktop;\n");
    tmp.write("data/applications/mimeapps.list", "[Default Applications]\n"
                                                 "text/plain=b-viewer.desktop\n"
                                                 "[Added Associations]\n"
                                                 "text/x-csrc=hidden-menu.desktop;\n"
                                                 "text/plain=removed.desktop;\n");
    OpenWithDirs dirs;
    dirs.mimeAppsLists = {tmp.at("config/mimeapps.list"),
                          tmp.at("data/applications/mimeapps.list")};
    dirs.applicationDirs = {tmp.at("home-data/applications"), tmp.at("data/applications")};
    auto names = [&](const Strings& types) {
        Strings out;
        for (const DesktopApplication& app : ApplicationsForTypes(types, dirs))
            out.push_back(app.name);
        return out;
    };
    EXPECT_EQ(names({"text/plain"}), (Strings{"Editor", "A Reader (mine)", "B Viewer"}));
    EXPECT_EQ(names({"text/x-csrc", "text/plain"}),
              (Strings{"Menu Hidden", "B Viewer", "Editor", "A Reader (mine)"}));
    EXPECT_EQ(names({"image/png"}), Strings{});
}

// Through the window: the file popup's "Open with" lists them, and the one
// chosen gets the file as its argument, hostile name and all.
class OpenWithGui : public MainWindowFixture {
protected:
    void SetUp() override {
        useHome();
        tmp.write("d/" + kHostile, "text");
        tmp.write("d/-rf.txt", "text");
        tmp.write("bin/recorder", "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"" +
                                      tmp.at("args.out") + ".tmp\"\nmv \"" + tmp.at("args.out") +
                                      ".tmp\" \"" + tmp.at("args.out") + "\"\n");
        tmp.chmod("bin/recorder", 0755);
        tmp.write("data/applications/recorder.desktop",
                  desktopEntry("Recorder", tmp.at("bin/recorder") + " --open %F",
                               "MimeType=text/plain;\n"));
        tmp.write("data/applications/other.desktop",
                  desktopEntry("Other", "/nonexistent/other %f", "MimeType=text/plain;\n"));
        tmp.write("config/mimeapps.list",
                  "[Default Applications]\ntext/plain=recorder.desktop\n");
        setEnv("XDG_DATA_HOME", tmp.at("data"));
        // The system's MIME database, without the system's applications.
        tmp.mkdir("system");
        tmp.symlink("/usr/share/mime", "system/mime");
        setEnv("XDG_DATA_DIRS", tmp.at("system"));
        setEnv("XDG_CONFIG_DIRS", tmp.at("none"));
        state.currentDisk = 'D';
        ASSERT_NO_FATAL_FAILURE(openWindow("D=" + tmp.at("d")));
        form->Start({});
        idle();
    }
    OpenWithMenu* openWith() { return form->findChild<OpenWithMenu*>(); }
    int row(const std::string& name) {
        for (int i = 0; i < fw().Count(); ++i)
            if (fw().Text(i) == name)
                return i;
        return -1;
    }
};

TEST_F(OpenWithGui, ThePopupsOpenWithStartsTheChosenApplicationWithTheFile) {
    QAction* item = form->menus().action("pmiOpenWith");
    ASSERT_NE(item, nullptr);
    ASSERT_NE(item->menu(), nullptr);
    EXPECT_TRUE(item->isEnabled());
    EXPECT_EQ(item->text(), "Ope&n with");
    ASSERT_TRUE(form->menus().menu("ListBoxPopupMenu")->actions().contains(item));

    for (const std::string& name : {kHostile, std::string("-rf.txt")}) {
        ASSERT_GE(row(name), 0) << name;
        fw().SetCurrent(row(name));
        ::unlink(tmp.at("args.out").c_str());
        emit item->menu()->aboutToShow();
        const QList<QAction*> apps = item->menu()->actions();
        ASSERT_EQ(apps.size(), 2);
        EXPECT_EQ(apps[0]->text(), "Recorder (default)");
        EXPECT_EQ(apps[1]->text(), "Other");
        apps[0]->trigger();
        for (int i = 0; i < 250 && !Exists(tmp.at("args.out")); ++i)
            QTest::qWait(20);
        EXPECT_EQ(ReadFile(tmp.at("args.out")), "--open\n" + tmp.at("d/" + name) + "\n") << name;
    }
    EXPECT_FALSE(Exists(tmp.at("d/pwned")));

    // A program that is not there is said, with its path.
    emit item->menu()->aboutToShow();
    item->menu()->actions().at(1)->trigger();
    ASSERT_EQ(prompter.texts(), Strings{"Could not start Other     "});
    EXPECT_EQ(prompter.lastInformative(), "/nonexistent/other: no such program");
}

} // namespace
