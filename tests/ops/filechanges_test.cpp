#include "filewindow/fixture.h"
#include "gui/ops/qtdatetimetexts.h"
#include "ops/attributetext.h"
#include "ops/filechanges.h"
#include "ops/twdlist.h"
#include "platform/attributes.h"
#include "platform/filetime.h"
#include "support/files.h"
#include "support/scopedenv.h"

#include <QLocale>

#include <dirent.h>
#include <sstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/xattr.h>

using namespace zentrix;
using namespace zentrix::test;

namespace {

std::vector<std::string> namesIn(const std::string& dir) {
    std::vector<std::string> out;
    if (DIR* d = ::opendir(dir.c_str())) {
        while (dirent* e = ::readdir(d))
            if (e->d_name[0] != '.' || (e->d_name[1] != '\0' && e->d_name[1] != '.'))
                out.emplace_back(e->d_name);
        ::closedir(d);
    }
    std::sort(out.begin(), out.end());
    return out;
}

mode_t modeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mode & 0777;
}

/// The prompts the rules asked for, recorded.
class RecordingChangesUi : public FileChangesUi {
public:
    struct Shown {
        ChangePrompt prompt;
        std::string caption;
        std::optional<std::string> text;
    };
    std::vector<Shown> shown;
    std::vector<ChangePrompt> closed;
    std::vector<std::string> history;
    void showPrompt(ChangePrompt p, const std::string& caption,
                    const std::optional<std::string>& text) override {
        shown.push_back({p, caption, text});
    }
    void closePrompt(ChangePrompt p) override { closed.push_back(p); }
    void addHistory(ChangePrompt, const std::string& text) override { history.push_back(text); }
};

class FileChangesTest : public FileWindowFixture {
protected:
    ScopedEnv tz{"TZ", "UTC"};
    QtDateTimeTexts dates;
    std::unique_ptr<TWDList> wd;
    std::unique_ptr<FileChanges> changes;
    RecordingChangesUi changesUi;

    void SetUp() override {
        ::tzset();
        QLocale::setDefault(QLocale::c());
        dir.mkdir("logs");
    }
    void TearDown() override {
        QLocale::setDefault(QLocale::system());
        ::tzset();
    }
    /// The catalogue of drive D (with `driveFlags` after its path), its root
    /// shown in the window, the WatchDog logging every kind.
    void open(const std::string& driveFlags = "") {
        drives = std::make_unique<platform::DriveTable>(
            platform::DriveTable::FromSpec("D=" + dir.path() + driveFlags, {}));
        cat = std::make_unique<Catalogue>(*drives);
        tabs = std::make_unique<LoggedDiskTabs>(state);
        logger = std::make_unique<DiskLogger>(*cat, state, settings, *tabs, prompter, catUi);
        fw = std::make_unique<FileWindow>(*cat, state, settings, prompter, progress, *logger);
        fw->SetUi(&ui);
        wd = std::make_unique<TWDList>(settings, prompter, *drives);
        std::array<bool, TWDList::Count> all{};
        all.fill(true);
        wd->LoadFlags(all);
        wd->Clock = [] {
            return std::time_t{1704200703};
        };
        settings.WDEnabled = true;
        settings.WDFilePath = "D:\\logs\\";
        changes =
            std::make_unique<FileChanges>(*cat, state, *fw, prompter, progress, *wd, dates, catUi);
        changes->SetUi(&changesUi);
        logAll('D');
        select("D:\\");
        fill();
    }
    int entry(const std::string& name) {
        for (int i = 0; i < fw->Count(); ++i)
            if (fw->Text(i) == name)
                return i;
        return -1;
    }
    void current(const std::string& name) {
        ASSERT_GE(entry(name), 0) << name;
        fw->SetCurrent(entry(name));
    }
    void tag(std::initializer_list<const char*> names) {
        for (const char* n : names) {
            ASSERT_GE(entry(n), 0) << n;
            fw->Record(entry(n))->SetTagged(true);
        }
    }
    std::vector<std::string> logLines() {
        std::vector<std::string> out;
        std::istringstream in(ReadFile(dir.at("logs/WATCHDOG.LOG")));
        std::string line;
        while (std::getline(in, line))
            if (line.rfind("01/02/24 13:05:03", 0) == 0)
                out.push_back(line.substr(17, line.size() - 18));
        return out;
    }
};

} // namespace

TEST_F(FileChangesTest, RenamingTheCurrentFile) {
    dir.write("a.txt", "first");
    dir.write("b.txt", "second");
    dir.write("MAKEFILE", "all:");
    open();

    // The prompt comes with the file's name.
    current("a.txt");
    changes->RenameSingleFile();
    ASSERT_EQ(changesUi.shown.size(), 1u);
    EXPECT_EQ(changesUi.shown[0].caption, "Rename file(s) to:");
    EXPECT_EQ(changesUi.shown[0].text, "a.txt");

    // Onto a name that exists: refused, both files as they were, no temporary left.
    changes->OK_RenameSingleFile("b.txt");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Cannot rename file!     "});
    // Under it, which rename failed and the system's reason.
    EXPECT_EQ(prompter.lastInformative(),
              dir.at("a.txt") + " to " + dir.at("b.txt") + ": File exists");
    EXPECT_EQ(namesIn(dir.path()),
              (std::vector<std::string>{"MAKEFILE", "a.txt", "b.txt", "logs"}));
    EXPECT_EQ(ReadFile(dir.at("a.txt")), "first");
    EXPECT_EQ(ReadFile(dir.at("b.txt")), "second");

    // A mask: the file, its record and its entry follow; the log says so.
    changes->RenameSingleFile();
    changes->OK_RenameSingleFile("*.BAK");
    EXPECT_EQ(ReadFile(dir.at("a.BAK")), "first");
    EXPECT_FALSE(Exists(dir.at("a.txt")));
    EXPECT_NE(file("D:\\a.BAK"), nullptr);
    EXPECT_EQ(fw->Text(fw->Current()), "a.BAK");
    EXPECT_EQ(changesUi.history, (std::vector<std::string>{"b.txt", "*.BAK"}));
    EXPECT_EQ(logLines(), std::vector<std::string>{" Rename file: D:\\a.txt to D:\\a.BAK"});

    // A name without extension: "*" finds the dot it is given, and no
    // trailing dot is left on the disk.
    current("MAKEFILE");
    changes->RenameSingleFile();
    prompter.clear();
    changes->OK_RenameSingleFile("*");
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"Old and new file names are identical!     "});
    changes->RenameSingleFile();
    changes->OK_RenameSingleFile("*.OLD");
    EXPECT_TRUE(Exists(dir.at("MAKEFILE.OLD")));

    // A change of case alone is a real rename.
    current("b.txt");
    changes->RenameSingleFile();
    changes->OK_RenameSingleFile("B.TXT");
    EXPECT_EQ(namesIn(dir.path()),
              (std::vector<std::string>{"B.TXT", "MAKEFILE.OLD", "a.BAK", "logs"}));

    // A mask that leaves the directory is refused.
    prompter.clear();
    current("B.TXT");
    changes->RenameSingleFile();
    changes->OK_RenameSingleFile("..\\B.TXT");
    changes->RenameSingleFile();
    changes->OK_RenameSingleFile("logs/B.TXT");
    EXPECT_EQ(prompter.texts(),
              (std::vector<std::string>{"Cannot rename file!     ", "Cannot rename file!     "}));
    EXPECT_EQ(prompter.lastInformative(), "\"logs/B.TXT\" is no name a file can have here");
    EXPECT_TRUE(Exists(dir.at("B.TXT")));

    // An empty box: nothing but the completion sound and the prompt closed.
    changesUi.closed.clear();
    changes->OK_RenameSingleFile("");
    EXPECT_EQ(changesUi.closed, std::vector<ChangePrompt>{ChangePrompt::RenameFile});
}

TEST_F(FileChangesTest, ACaseOnlyRenameWorksWhereCaseIsIgnored) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a case-insensitive tmpfs needs root";
    dir.mkdir("ci");
    if (::mount("none", dir.at("ci").c_str(), "tmpfs", 0, "size=1m,casefold") != 0)
        GTEST_SKIP() << "this kernel has no case-insensitive tmpfs (" << std::strerror(errno)
                     << ")";
    struct Unmount {
        std::string path;
        ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{dir.at("ci")};
    // Only directories marked so ignore case.
    ASSERT_EQ(std::system(("chattr +F " + dir.at("ci")).c_str()), 0);
    dir.write("ci/readme.txt", "text");
    ASSERT_TRUE(Exists(dir.at("ci/README.TXT")));
    open();
    select("D:\\ci\\");
    fill();
    current("readme.txt");
    changes->RenameSingleFile();
    changes->OK_RenameSingleFile("README.TXT");
    EXPECT_TRUE(prompter.texts().empty());
    EXPECT_EQ(namesIn(dir.at("ci")), std::vector<std::string>{"README.TXT"});
}

TEST_F(FileChangesTest, RenamingTaggedFiles) {
    dir.write("one.txt", "1");
    dir.write("two.txt", "2");
    dir.write("three.txt", "3");
    dir.write("four.doc", "4");
    dir.write("one.bak", "old");
    open();

    // Without tagged files there is nothing to do.
    changes->RenameTaggedFiles();
    EXPECT_EQ(prompter.texts(),
              std::vector<std::string>{"There are no tagged files to operate with!     "});
    EXPECT_TRUE(changesUi.shown.empty());

    // "*.*" gives every file its own name: asked per file; Cancel ends the run.
    tag({"one.txt", "two.txt", "three.txt"});
    prompter.clear();
    changes->RenameTaggedFiles();
    ASSERT_EQ(changesUi.shown.size(), 1u);
    EXPECT_EQ(changesUi.shown[0].text, std::string());
    prompter.answer(true).answer(false);
    changes->OK_RenameTaggedFiles("*.*");
    EXPECT_EQ(prompter.questions(),
              (std::vector<std::string>{"Old and new file names are identical!     ",
                                        "Old and new file names are identical!     "}));
    EXPECT_FALSE(state.fileOperationRunning);
    EXPECT_FALSE(progress.stopShown);

    // A name taken by another file: asked whether to go on; both files stay.
    prompter.clear();
    prompter.answer(true);
    changes->OK_RenameTaggedFiles("*.bak");
    EXPECT_EQ(prompter.questions(),
              std::vector<std::string>{"Cannot rename file: D:\\one.txt     "});
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"four.doc", "logs", "one.bak",
                                                             "one.txt", "three.bak", "two.bak"}));
    EXPECT_EQ(ReadFile(dir.at("one.bak")), "old");
    EXPECT_EQ(ReadFile(dir.at("one.txt")), "1");
    // One group entry in the one-directory view.
    EXPECT_EQ(logLines(), std::vector<std::string>{" Rename 2 file(s) to *.bak"});
    EXPECT_NE(file("D:\\two.bak"), nullptr);
    EXPECT_TRUE(file("D:\\two.bak")->Tagged());

    // "%" numbers against the directory; wider scopes log every file.
    state.scope = 4;
    prompter.clear();
    changes->OK_RenameTaggedFiles("N%.*");
    EXPECT_TRUE(prompter.questions().empty());
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"N1.bak", "N1.txt", "N2.bak",
                                                             "four.doc", "logs", "one.bak"}));
    EXPECT_EQ(logLines().size(), 4u);
    EXPECT_EQ(logLines()[1], " Rename file: D:\\one.txt to D:\\N1.txt");
}

TEST_F(FileChangesTest, RenamingAProtectedFileAsksFirst) {
    dir.write("sys/kernel.bin", "k");
    dir.write("sys/other.bin", "o");
    open();
    settings.WindowsDir = "D:\\sys\\";
    select("D:\\sys\\");
    fill();
    current("kernel.bin");
    prompter.answer(false);
    changes->RenameSingleFile();
    EXPECT_EQ(prompter.questions(),
              std::vector<std::string>{
                  "Renaming this file could cause Windows to malfunction! Rename anyway?     "});
    EXPECT_TRUE(changesUi.shown.empty());

    // Tagged: No leaves that file alone (still tagged); the others go on.
    tag({"kernel.bin", "other.bin"});
    prompter.clear();
    prompter.answer(false).answer(true);
    changes->OK_RenameTaggedFiles("*.old");
    EXPECT_EQ(prompter.questions(),
              (std::vector<std::string>{"Renaming file: D:\\sys\\kernel.bin could cause Windows to "
                                        "malfunction! Rename anyway?     ",
                                        "Renaming file: D:\\sys\\other.bin could cause Windows to "
                                        "malfunction! Rename anyway?     "}));
    EXPECT_EQ(namesIn(dir.at("sys")), (std::vector<std::string>{"kernel.bin", "other.old"}));
    EXPECT_TRUE(file("D:\\sys\\kernel.bin")->Tagged());
}

TEST_F(FileChangesTest, AttributeTexts) {
    struct Case {
        uint16_t start;
        const char* text;
        uint16_t result;
    };
    const Case cases[] = {
        {0x00, "+A-R-H-S", 0x20}, {0x27, "+A-R-H-S", 0x20},
        {0x03, "+A-R", 0x22}, // read-only hidden: archive and hidden
        {0x00, "+R+", 0x01},  // a dangling sign is ignored
        {0x00, "+X+R", 0x01}, // an unknown letter changes nothing
        {0x00, "*R+S", 0x04}, // neither sign: nothing
        {0x20, "+a", 0x20},   // letters as typed: lower case is unknown
        {0x30, "-D-A", 0x10}, // directory and volume bits are not the text's
        {0x01, "", 0x01},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ApplyAttributePairs(c.start, c.text), c.result) << c.text;
    EXPECT_EQ(AttributePlusText(0x3F), "+A+R+S+H+V+D");
    EXPECT_EQ(AttributePlusText(0x21), "+A+R");
    EXPECT_EQ(AttributePlusText(0), "");

    // The dialog's groups: "-" wins over "+", case is ignored, order A R H S.
    EXPECT_EQ(AttributeChoiceOf("+a-r", 'A'), AttributeChoice::Set);
    EXPECT_EQ(AttributeChoiceOf("+a-r", 'R'), AttributeChoice::Unset);
    EXPECT_EQ(AttributeChoiceOf("+H-H", 'H'), AttributeChoice::Unset);
    EXPECT_EQ(AttributeChoiceOf("+H-H", 'S'), AttributeChoice::Unchanged);
    EXPECT_EQ(AttributeChoicesText(AttributeChoice::Set, AttributeChoice::Unset,
                                   AttributeChoice::Unchanged, AttributeChoice::Set),
              "+A-R+S");
}

TEST_F(FileChangesTest, AttributesGoToTheDiskAndTheRecordGetsWhatIsReadBack) {
    dir.write(".secret", "s");
    dir.chmod(".secret", 0444);
    dir.write("plain.txt", "p");
    open();

    // +A-R on a read-only hidden file: archive and hidden remain.
    current(".secret");
    changes->AttributesSingleFile();
    ASSERT_EQ(changesUi.shown.size(), 1u);
    EXPECT_EQ(changesUi.shown[0].caption, "Change attributes: ");
    EXPECT_EQ(changesUi.shown[0].text, std::nullopt);
    changes->OK_FileAttributes("+A-R");
    EXPECT_EQ(modeOf(dir.at(".secret")), 0644u);
    EXPECT_EQ(file("D:\\.secret")->Attributes(), 0x22);
    EXPECT_EQ(logLines(),
              std::vector<std::string>{" Change attributes for file: D:\\.secret to +A-R"});

    // Here the hidden bit is the name's leading full stop: setting and clearing
    // it renames the file and its record, once the user agreed.
    current("plain.txt");
    changes->AttributesSingleFile();
    prompter.answer(true);
    changes->OK_FileAttributes("+H+R+S");
    EXPECT_EQ(prompter.questions(),
              std::vector<std::string>{"Rename plain.txt to .plain.txt?     "});
    EXPECT_TRUE(Exists(dir.at(".plain.txt")));
    EXPECT_EQ(modeOf(dir.at(".plain.txt")), 0444u);
    TFileClass* hidden = file("D:\\.plain.txt");
    ASSERT_NE(hidden, nullptr);
    // System cannot be kept on this drive: the record shows the truth.
    EXPECT_EQ(hidden->Attributes(), 0x23);
    EXPECT_EQ(fw->Text(fw->Current()), ".plain.txt");

    // Toggle: archive alone, then back, the name kept (hidden stays as it is);
    // paste puts the saved text on another file.
    changes->ToggleFileAttrs();
    EXPECT_TRUE(Exists(dir.at(".plain.txt")));
    EXPECT_EQ(modeOf(dir.at(".plain.txt")), 0644u);
    EXPECT_EQ(file("D:\\.plain.txt")->Attributes(), 0x22);
    current(".secret");
    changes->PasteFileAttrs(); // the saved "+A+R+H" of .plain.txt
    EXPECT_EQ(modeOf(dir.at(".secret")), 0444u);
    current(".plain.txt");
    changes->ToggleFileAttrs();
    EXPECT_TRUE(Exists(dir.at(".plain.txt")));
    EXPECT_EQ(modeOf(dir.at(".plain.txt")), 0444u);

    // Nothing saved: paste leaves the file as it is.
    current(".secret");
    changes->PasteFileAttrs();
    EXPECT_EQ(modeOf(dir.at(".secret")), 0444u);
    EXPECT_EQ(file("D:\\.secret")->Attributes(), 0x23);
}

TEST_F(FileChangesTest, TheSystemBitComesBackOnADriveThatKeepsIt) {
    dir.write("sys.dat", "x");
    const char value[] = "0x24"; // archive and system, as Samba writes it
    if (::setxattr(dir.at("sys.dat").c_str(), "user.DOSATTRIB", value, sizeof value, 0) != 0)
        GTEST_SKIP() << "no user extended attributes here";
    open(":fixed:DATA:dosattrib");
    current("sys.dat");
    ASSERT_EQ(fw->Record(fw->Current())->Attributes(), 0x24);
    changes->ToggleFileAttrs();
    EXPECT_EQ(file("D:\\sys.dat")->Attributes(), 0x20);
    changes->ToggleFileAttrs();
    EXPECT_EQ(file("D:\\sys.dat")->Attributes(), 0x24);
    EXPECT_EQ(platform::ReadFileAttributes(dir.at("sys.dat"), platform::AttrSource::DosAttribXattr),
              0x24u);
    // Clearing the archive bit is kept too.
    changes->AttributesSingleFile();
    changes->OK_FileAttributes("-A");
    EXPECT_EQ(file("D:\\sys.dat")->Attributes(), 0x04);
}

TEST_F(FileChangesTest, AttributesOfTaggedFiles) {
    dir.write("a", "a");
    dir.write("b", "b");
    dir.write("c", "c");
    dir.write("sub/d", "d");
    open();
    tag({"a", "c"});
    changes->AttributesTaggedFiles();
    ASSERT_EQ(changesUi.shown.size(), 1u);
    EXPECT_EQ(changesUi.shown[0].caption, "Attributes of all tagged files: ");
    changes->OK_FileAttributes("+R");
    EXPECT_EQ(modeOf(dir.at("a")), 0444u);
    EXPECT_EQ(modeOf(dir.at("b")), 0644u);
    EXPECT_EQ(modeOf(dir.at("c")), 0444u);
    EXPECT_EQ(progress.total, 2); // the entries less one
    EXPECT_FALSE(progress.stopShown);
    EXPECT_EQ(logLines(), std::vector<std::string>{" Change attributes for 2 file(s) to +R"});
    EXPECT_EQ(changesUi.history, std::vector<std::string>{"+R"});

    // A branch view logs every file; STOP ends the run where it is: the tagged
    // entries before it are handled, the ones after it are not.
    file("D:\\sub\\d")->SetTagged(true);
    fw->BranchShowAllLogged();
    fill();
    ASSERT_EQ(fw->Count(), 4);
    progress.stopAt = 2;
    std::vector<std::string> expected = logLines();
    for (int i = 0; i < 2; ++i)
        if (fw->Record(i)->Tagged())
            expected.push_back(" Change attributes for file: " + fw->Record(i)->FullName() +
                               " to -R");
    const std::string late =
        fw->Record(2)->Tagged() ? fw->Record(2)->FullName() : fw->Record(3)->FullName();
    const uint16_t lateAttributes = file(late)->Attributes();
    changes->AttributesTaggedFiles();
    changes->OK_FileAttributes("-R");
    EXPECT_EQ(logLines(), expected);
    EXPECT_EQ(file(late)->Attributes(), lateAttributes);
}

TEST_F(FileChangesTest, LocalTimesAcrossTheSummerTimeChanges) {
    ScopedEnv berlin("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    ::tzset();
    auto utc = [](const LocalDateTime& t) {
        const auto ft = LocalToFileTime(t);
        return ft ? platform::FromFileTime(*ft).tv_sec : std::time_t{-1};
    };
    // Winter and summer.
    EXPECT_EQ(utc({2024, 1, 15, 12, 0, 0}), 1705316400);
    EXPECT_EQ(utc({2024, 7, 15, 12, 0, 0}), 1721037600);
    // 31 March 2024, 02:30 does not exist: it is read as 03:30 summer time.
    EXPECT_EQ(utc({2024, 3, 31, 2, 30, 0}), 1711848600);
    EXPECT_EQ(FileTimeToLocal(*LocalToFileTime({2024, 3, 31, 2, 30, 0})),
              (LocalDateTime{2024, 3, 31, 3, 30, 0}));
    // 27 October 2024, 02:30 happens twice: the first time, in summer time.
    EXPECT_EQ(utc({2024, 10, 27, 2, 30, 0}), 1729989000);
    EXPECT_EQ(utc({2024, 10, 27, 3, 30, 0}), 1729996200);
    // Dates that do not exist.
    EXPECT_FALSE(LocalToFileTime({2023, 2, 29, 0, 0, 0}));
    EXPECT_FALSE(LocalToFileTime({2024, 4, 31, 0, 0, 0}));
    EXPECT_FALSE(LocalToFileTime({2024, 13, 1, 0, 0, 0}));
}

TEST_F(FileChangesTest, DatesAreReadInTheUsersLocale) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(dates.Parse("31.12.2023 23:59:58"), (LocalDateTime{2023, 12, 31, 23, 59, 58}));
    EXPECT_EQ(dates.Parse("31.12.23 23:59"), (LocalDateTime{2023, 12, 31, 23, 59, 0}));
    EXPECT_EQ(dates.Parse("01.02.70"), (LocalDateTime{1970, 2, 1, 0, 0, 0}));
    EXPECT_EQ(dates.Format({2023, 12, 31, 23, 59, 58}), "31.12.2023 23:59:58");
    EXPECT_FALSE(dates.Parse("12/31/2023 23:59"));
    EXPECT_EQ(dates.Pictures(), "dd.MM.yy HH:mm");

    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(dates.Parse("12/31/2023 11:59:58 PM"), (LocalDateTime{2023, 12, 31, 23, 59, 58}));
    EXPECT_EQ(dates.Parse("12/31/23 1:05 AM"), (LocalDateTime{2023, 12, 31, 1, 5, 0}));
    EXPECT_FALSE(dates.Parse("31.12.2023 23:59"));
    EXPECT_EQ(dates.Format({2023, 12, 31, 23, 59, 58}), "12/31/2023 11:59:58 PM");

    // The C locale writes the month's name: the date holds blanks itself.
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(dates.Parse("2 Jan 2024 13:05:03"), (LocalDateTime{2024, 1, 2, 13, 5, 3}));
    EXPECT_EQ(dates.Format({2024, 1, 2, 13, 5, 3}), "2 Jan 2024 13:05:03");
}

TEST_F(FileChangesTest, NewDateAndTime) {
    dir.write("a.txt", "a");
    dir.write("b.txt", "b");
    dir.write("c.txt", "c");
    dir.touch("a.txt", 1000000000);
    open();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));

    current("a.txt");
    changes->miFileDateClick();
    ASSERT_EQ(changesUi.shown.size(), 1u);
    EXPECT_EQ(changesUi.shown[0].caption, "New file(s) date/time:");
    EXPECT_EQ(changesUi.shown[0].text, "09.09.2001 01:46:40");

    // The wrong order for the locale: the mask message, nothing changes.
    changes->OK_NewDate("2024-01-02 13:05:03");
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{
                                    "Invalid date input!     \r\nCorrect mask is: dd.MM.yy HH:mm"});
    EXPECT_EQ(file("D:\\a.txt")->LastWriteTime(), platform::ToFileTime(timespec{1000000000, 0}));
    EXPECT_TRUE(changesUi.closed.empty());

    changes->OK_NewDate("02.01.2024 13:05:03");
    struct stat st {};
    ::stat(dir.at("a.txt").c_str(), &st);
    EXPECT_EQ(st.st_mtim.tv_sec, 1704200703);
    EXPECT_EQ(st.st_mtim.tv_nsec, 0);
    EXPECT_EQ(file("D:\\a.txt")->LastWriteTime(), platform::ToFileTime(st.st_mtim));
    EXPECT_EQ(logLines(), std::vector<std::string>{
                              " Change date/time for file: D:\\a.txt to 02.01.2024 13:05:03"});

    // Tagged: one group entry whatever the scope, here for one file.
    state.scope = 4;
    tag({"c.txt"});
    changes->miFileTaggDateTimeClick();
    EXPECT_EQ(changesUi.shown.back().text, std::string());
    changes->OK_NewDate("03.01.2024");
    ::stat(dir.at("c.txt").c_str(), &st);
    EXPECT_EQ(st.st_mtim.tv_sec, 1704240000);
    ::stat(dir.at("b.txt").c_str(), &st);
    EXPECT_NE(st.st_mtim.tv_sec, 1704240000);
    EXPECT_EQ(logLines().back(), " Change date/time for 1 file(s) to 03.01.2024");
    EXPECT_EQ(progress.total, 1);
}

TEST_F(FileChangesTest, TheCaseButtonCycles) {
    dir.write("x", "x");
    open();
    EXPECT_EQ(changes->CycleCase("hELLO wORLD.TXT"), "hello world.txt");
    EXPECT_EQ(changes->CycleCase("hello world.txt"), "Hello world.txt");
    EXPECT_EQ(changes->CycleCase("Hello world.txt"), "HELLO WORLD.TXT");
    EXPECT_EQ(changes->CycleCase("ärger"), "ärger");
    EXPECT_EQ(changes->CycleCase("ärger"), "Ärger");
    // A new rename command starts over with lower case.
    changes->CycleCase("X");
    current("x");
    changes->RenameSingleFile();
    EXPECT_EQ(changes->CaseState(), 0);
}
