#include "config/tenhinifile.h"

#include "platform/atomicfile.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace zentrix;
using zentrix::test::TempDir;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> entriesOf(const std::string& path) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(path.c_str())) {
        while (dirent* e = ::readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.push_back(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

class StoreTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string file = dir.at("registry.ini");
};

} // namespace

TEST(StoreKeyPath, FormedFromTheBaseNameOnly) {
    EXPECT_EQ(TEnhIniFile::KeyPathFor("/opt/a/Zentrix.INI"), "Software\\Morvane\\Zentrix");
    EXPECT_EQ(TEnhIniFile::KeyPathFor("C:\\PROG\\ZENTRIX.INI"), "Software\\Morvane\\Zentrix");
    EXPECT_EQ(TEnhIniFile::KeyPathFor("zentrix"), "Software\\Morvane\\Zentrix");
    EXPECT_EQ(TEnhIniFile::KeyPathFor("/x/my.tool.ini"), "Software\\Morvane\\My.tool");
}

TEST_F(StoreTest, EveryValueKindSurvivesAReopen) {
    FontFields font;
    font.Name = "DejaVu Sans";
    font.Size = 11;
    font.Italic = true;
    font.Color = 0x00123456;
    {
        TEnhIniFile ini("/usr/bin/Zentrix.INI", file);
        ini.WriteString("Options", "LastDir", "C:\\HOME\\DOCS\\");
        ini.WriteString("Options", "Padded", "  two blanks and a\r\nline break\t");
        ini.WriteString("Options", "Quoted", "\"starts with a quote");
        ini.WriteString("Options", "HexLike", "hex:not binary");
        ini.WriteString("Options", "Empty", "");
        ini.WriteString("Options", "Percent", "100% \\x41");
        ini.WriteString("Odd names", "a=b", "equals in the name");
        ini.WriteString("Odd names", "@", "at sign");
        ini.WriteString("Odd names", "", "unnamed value");
        ini.WriteString("Odd names", " [x", "leading blank and bracket");
        ini.WriteString("Odd names", "%41", "percent");
        ini.WriteInteger("Options", "Negative", -17);
        ini.WriteBool("Options", "On", true);
        ini.WriteFont("Options", "Font", font);
        ini.WriteBinary("", "MenuShortcuts", {0x00, 0xFF, 0x10, 0x0A});
        ini.WriteString("Options", "Utf8", "Grüße ☺");
        ini.UpdateFile();
    }
    TEnhIniFile ini("Zentrix.INI", file);
    EXPECT_EQ(ini.ReadString("Options", "LastDir", "x"), "C:\\HOME\\DOCS\\");
    EXPECT_EQ(ini.ReadString("Options", "Padded", "x"), "  two blanks and a\r\nline break\t");
    EXPECT_EQ(ini.ReadString("Options", "Quoted", "x"), "\"starts with a quote");
    EXPECT_EQ(ini.ReadString("Options", "HexLike", "x"), "hex:not binary");
    EXPECT_EQ(ini.ReadString("Options", "Empty", "x"), "");
    EXPECT_EQ(ini.ReadString("Options", "Percent", "x"), "100% \\x41");
    EXPECT_EQ(ini.ReadString("Odd names", "a=b", "x"), "equals in the name");
    EXPECT_EQ(ini.ReadString("Odd names", "@", "x"), "at sign");
    EXPECT_EQ(ini.ReadString("Odd names", "", "x"), "unnamed value");
    EXPECT_EQ(ini.ReadString("Odd names", " [x", "x"), "leading blank and bracket");
    EXPECT_EQ(ini.ReadString("Odd names", "%41", "x"), "percent");
    EXPECT_EQ(ini.ReadInteger("Options", "Negative", 0), -17);
    EXPECT_TRUE(ini.ReadBool("Options", "On", false));
    EXPECT_EQ(ini.ReadFont("Options", "Font", FontFields{}), font);
    EXPECT_EQ(ini.ReadBinary("", "MenuShortcuts"), (std::vector<uint8_t>{0x00, 0xFF, 0x10, 0x0A}));
    EXPECT_EQ(ini.ReadString("Options", "Utf8", "x"), "Grüße ☺");
    // A binary value is not a string, and a string is not binary.
    EXPECT_EQ(ini.ReadString("", "MenuShortcuts", "dflt"), "dflt");
    EXPECT_FALSE(ini.ReadBinary("Options", "LastDir"));
    EXPECT_EQ(ini.SkippedLines(), 0);
    // Plain values stay readable in the file.
    EXPECT_NE(slurp(file).find("[Software\\Morvane\\Zentrix\\Options]\nLastDir=C:\\HOME\\DOCS\\\n"),
              std::string::npos);
}

TEST_F(StoreTest, IntegersFollowTheHexadecimalRule) {
    TEnhIniFile ini("Zentrix.INI", file);
    const std::pair<const char*, int> cases[] = {
        {"7", 7},
        {"0x1", 1},
        {"0X1f", 31},
        {"abc", 99},
        {"0x", 99},
        {"0xZ", 99},
        {" 12 ", 12},
        {"-3", -3},
        {"", 99},
        {"1.5", 99},
        {"0xFFFFFFFF", -1},
        {"0x1FFFFFFFF", 99},
        {"2147483647", 2147483647},
        {"2147483648", 99},
        {"-2147483648", INT32_MIN},
        {"$10", 99},
        {"010", 10},
    };
    for (const auto& [text, expected] : cases) {
        ini.WriteString("Options", "N", text);
        EXPECT_EQ(ini.ReadInteger("Options", "N", 99), expected) << text;
    }
    ini.WriteString("Options", "B", "0x0");
    EXPECT_FALSE(ini.ReadBool("Options", "B", true));
    ini.WriteString("Options", "B", "-1");
    EXPECT_TRUE(ini.ReadBool("Options", "B", false));
    ini.WriteString("Options", "B", "yes");
    EXPECT_TRUE(ini.ReadBool("Options", "B", true));
    EXPECT_FALSE(ini.ReadBool("Options", "B", false));
}

TEST_F(StoreTest, NamesAndPathsIgnoreCaseAndKeepEnumerationOrder) {
    TEnhIniFile ini("Zentrix.INI", file);
    ini.WriteString("UserExt", "FileExt0", "a");
    ini.WriteString("UserExt", "FileExt1", "b");
    ini.WriteString("userext", "FILEEXT0", "c"); // same value: keeps its place
    ini.WriteString("USEREXT", "Another", "d");
    EXPECT_EQ(ini.ReadSection("UserExt"),
              (std::vector<std::string>{"FileExt0", "FileExt1", "Another"}));
    EXPECT_EQ(ini.ReadSectionValues("uSeReXt"),
              (std::vector<std::string>{"FileExt0=c", "FileExt1=b", "Another=d"}));
    // A leading backslash starts at the user's root.
    ini.WriteString("\\Software\\Morvane\\Zentrix\\MRU Directories", "F0", "C:\\");
    EXPECT_EQ(ini.ReadString("mru directories", "f0", ""), "C:\\");
    EXPECT_EQ(ini.ReadString("\\SOFTWARE\\morvane\\ZENTRIX\\\\Options\\", "x", "none"), "none");
    ini.WriteString("Options\\", "x", "1");
    EXPECT_EQ(ini.ReadString("\\SOFTWARE\\morvane\\ZENTRIX\\\\Options\\", "x", "none"), "1");
    ini.UpdateFile();

    TEnhIniFile again("Zentrix.INI", file + "-other"); // another file shares nothing
    EXPECT_FALSE(again.SectionExists("UserExt"));
}

TEST_F(StoreTest, ErasingASectionRemovesItsSubkeysAndListsStayFresh) {
    TEnhIniFile ini("Zentrix.INI", file);
    for (int i = 0; i < 5; ++i)
        ini.WriteString("LogDrivesAtStartup", "LogDrive" + std::to_string(i), "X");
    ini.WriteString("Templates", "T0", "Mine");
    ini.WriteString("Templates\\Sub", "C0", "crit");
    ini.WriteString("Templates\\Sub\\Deeper", "C0", "crit");
    ini.WriteString("TemplatesOther", "C0", "stays");
    EXPECT_EQ(ini.ReadSubSections("Templates"), std::vector<std::string>{"Sub"});

    ini.EraseSection("templates");
    EXPECT_FALSE(ini.SectionExists("Templates"));
    EXPECT_FALSE(ini.SectionExists("Templates\\Sub"));
    EXPECT_FALSE(ini.SectionExists("Templates\\Sub\\Deeper"));
    EXPECT_EQ(ini.ReadString("TemplatesOther", "C0", ""), "stays");

    // A list saved anew by erasing and writing loses the entries it no longer has.
    ini.EraseSection("LogDrivesAtStartup");
    ini.WriteString("LogDrivesAtStartup", "LogDrive0", "C");
    ini.UpdateFile();
    TEnhIniFile reread("Zentrix.INI", file);
    EXPECT_EQ(reread.ReadSectionValues("LogDrivesAtStartup"),
              std::vector<std::string>{"LogDrive0=C"});
    reread.DeleteKey("LogDrivesAtStartup", "logdrive0");
    EXPECT_TRUE(reread.ReadSection("LogDrivesAtStartup").empty());
}

TEST_F(StoreTest, InstancesOnOneFileShareTheirChanges) {
    TEnhIniFile a("Zentrix.INI", file);
    TEnhIniFile b("Zentrix.INI", file);
    a.WriteString("FileSpecHistory", "H0", "*.TXT");
    b.WriteString("Options", "LastDir", "C:\\");
    b.UpdateFile(); // writes a's change too
    EXPECT_FALSE(a.Modified());
    const std::string text = slurp(file);
    EXPECT_NE(text.find("H0=*.TXT"), std::string::npos);
    EXPECT_NE(text.find("LastDir=C:\\"), std::string::npos);
}

TEST_F(StoreTest, TwoInstancesOfTheProgramKeepEachOthersSettings) {
    {
        TEnhIniFile seed("Zentrix.INI", file);
        seed.WriteString("Options", "LastDir", "C:\\OLD\\");
        seed.WriteString("FileSpecHistory", "H0", "*.TXT");
        seed.UpdateFile();
    }
    // Each instance has its own picture of the file, loaded at its start (a
    // second spelling of the path stands for the second process here).
    TEnhIniFile first("Zentrix.INI", file);
    TEnhIniFile second("Zentrix.INI", dir.path() + "/./registry.ini");

    first.EraseSection("FileSpecHistory");
    first.WriteString("FileSpecHistory", "H0", "*.CPP");
    first.WriteString("FileSpecHistory", "H1", "*.TXT");
    first.WriteString("Options", "FileSortOption", "3");
    first.WriteString("Options", "DeleteType", "1");
    first.UpdateFile();

    second.WriteString("MRU Directories", "F0", "D:\\WORK\\");
    second.WriteString("UserExt", "FileExt0", "Sources (*.CPP)");
    second.WriteString("Options", "SortOrder", "1");
    second.WriteString("Options", "DeleteType", "2"); // the later save wins this one
    // Closing, the second instance saves the history it loaded, unchanged.
    second.EraseSection("FileSpecHistory");
    second.WriteString("FileSpecHistory", "H0", "*.TXT");
    second.UpdateFile();

    // What the second instance saved includes the first one's work, and it
    // now reads what the first one wrote.
    EXPECT_EQ(second.ReadString("FileSpecHistory", "H0", ""), "*.CPP");
    TEnhIniFile after("Zentrix.INI", dir.path() + "//registry.ini");
    EXPECT_EQ(after.ReadSectionValues("FileSpecHistory"),
              (std::vector<std::string>{"H0=*.CPP", "H1=*.TXT"}));
    EXPECT_EQ(after.ReadString("MRU Directories", "F0", ""), "D:\\WORK\\");
    EXPECT_EQ(after.ReadString("UserExt", "FileExt0", ""), "Sources (*.CPP)");
    EXPECT_EQ(after.ReadString("Options", "LastDir", ""), "C:\\OLD\\");
    EXPECT_EQ(after.ReadInteger("Options", "FileSortOption", 0), 3);
    EXPECT_EQ(after.ReadInteger("Options", "SortOrder", 0), 1);
    EXPECT_EQ(after.ReadInteger("Options", "DeleteType", 0), 2);

    // A section one instance erased stays erased, though the other still holds
    // it as it was.
    first.WriteString("Options", "ShowMemStat", "0");
    first.UpdateFile();
    EXPECT_TRUE(first.SectionExists("UserExt"));
    second.EraseSection("UserExt");
    second.UpdateFile();
    first.WriteString("Options", "ShowMemStat", "1");
    first.UpdateFile();
    TEnhIniFile last("Zentrix.INI", dir.path() + "/.//registry.ini");
    EXPECT_FALSE(last.SectionExists("UserExt"));
    EXPECT_EQ(last.ReadString("MRU Directories", "F0", ""), "D:\\WORK\\");
}

TEST_F(StoreTest, SavesOfProcessesRunningAtOnceAreAllKept) {
    // Several processes each keep a store open and save value after value; a
    // save that read the file outside the lock would undo another's.
    constexpr int kProcesses = 4;
    constexpr int kSaves = 25;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int status = 0;
            try {
                TEnhIniFile ini("Zentrix.INI", file);
                for (int i = 0; i < kSaves; ++i) {
                    ini.WriteString("Process" + std::to_string(p), "V" + std::to_string(i), "x");
                    ini.UpdateFile();
                }
            } catch (...) {
                status = 1;
            }
            ::_exit(status);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = -1;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    TEnhIniFile ini("Zentrix.INI", file);
    for (int p = 0; p < kProcesses; ++p)
        EXPECT_EQ(ini.ReadSection("Process" + std::to_string(p)).size(), size_t{kSaves}) << p;
    EXPECT_EQ(entriesOf(dir.path()), std::vector<std::string>{"registry.ini"});
}

TEST_F(StoreTest, ADamagedFileIsReadAsFarAsItMakesSense) {
    dir.write("registry.ini", "garbage before any section\n"
                              "[Software\\Morvane\\Zentrix\\Options]\r\n"
                              "  FileSortOption = 3  \r\n"
                              "no equals sign here\n"
                              "=value without a name\n"
                              "Broken=\"unterminated\n"
                              "BadEscape=\"a\\qb\"\n"
                              "BadHex=hex:0g\n"
                              "OddHex=hex:abc\n"
                              "Tail=\"quoted\" trailing\n"
                              "; a comment\n"
                              "# another\n"
                              "[]\n"
                              "Lost=in an empty section\n"
                              "[unterminated section\n"
                              "Lost2=1\n"
                              "[software\\morvane\\zentrix\\options]\n"
                              "Compatibility=7\n"
                              "FileSortOption=4\n"
                              "\n"
                              "[Software\\Morvane\\Zentrix\\Options]\n"
                              "Weird=\x01\x02\xff bytes\n"
                              "Nul=a");
    // Plus a NUL byte, a very long line and no final line break.
    {
        std::ofstream out(file, std::ios::app | std::ios::binary);
        out << std::string(1, '\0') << "b\n"
            << "Long=" << std::string(100000, 'x');
    }
    {
        TEnhIniFile ini("Zentrix.INI", file);
        EXPECT_EQ(ini.ReadInteger("Options", "FileSortOption", 0), 4);
        EXPECT_EQ(ini.ReadInteger("Options", "Compatibility", 1), 7);
        EXPECT_EQ(ini.ReadString("Options", "Broken", "dflt"), "dflt");
        EXPECT_EQ(ini.ReadString("Options", "BadEscape", "dflt"), "dflt");
        EXPECT_FALSE(ini.ReadBinary("Options", "BadHex"));
        EXPECT_FALSE(ini.ReadBinary("Options", "OddHex"));
        EXPECT_EQ(ini.ReadString("Options", "Tail", "dflt"), "dflt");
        EXPECT_EQ(ini.ReadString("Options", "Weird", ""), "\x01\x02\xff bytes");
        EXPECT_EQ(ini.ReadString("Options", "Nul", ""), std::string("a\0b", 3));
        EXPECT_EQ(ini.ReadString("Options", "Long", "").size(), 100000u);
        EXPECT_FALSE(ini.ValueExists("Options", "Lost"));
        EXPECT_FALSE(ini.ValueExists("Options", "Lost2"));
        EXPECT_EQ(ini.SkippedLines(), 12);

        // What was understood is written back in a form that reads the same.
        ini.WriteString("Options", "Touched", "1");
        ini.UpdateFile();
    }
    TEnhIniFile reread("Zentrix.INI", file);
    EXPECT_EQ(reread.SkippedLines(), 0);
    EXPECT_EQ(reread.ReadInteger("Options", "FileSortOption", 0), 4);
    EXPECT_EQ(reread.ReadString("Options", "Weird", ""), "\x01\x02\xff bytes");
    EXPECT_EQ(reread.ReadString("Options", "Nul", ""), std::string("a\0b", 3));
}

TEST_F(StoreTest, AMissingOrUnreadableFileGivesTheDefaults) {
    dir.mkdir("registry.ini"); // a directory where the file should be
    TEnhIniFile ini("Zentrix.INI", file);
    EXPECT_EQ(ini.ReadString("Options", "LastDir", "dflt"), "dflt");
    EXPECT_EQ(ini.ReadInteger("Options", "Compatibility", 1), 1);
    EXPECT_TRUE(ini.ReadSection("UserExt").empty());
}

TEST_F(StoreTest, AFailedWriteIsReportedWithThePath) {
    dir.write("blocker", "a file, not a directory");
    const std::string bad = dir.at("blocker/zentrix/registry.ini");
    TEnhIniFile ini("Zentrix.INI", bad);
    ini.WriteString("Options", "LastDir", "C:\\");
    try {
        ini.UpdateFile();
        FAIL() << "the write should fail";
    } catch (const platform::FileWriteError& e) {
        EXPECT_EQ(e.path(), bad);
        EXPECT_NE(std::string(e.what()).find(bad), std::string::npos);
    }
    EXPECT_TRUE(ini.Modified()); // nothing pretends the change was saved

    // The destructor's own write hands its failure to the handler.
    std::string reported;
    TEnhIniFile::SetWriteFailureHandler(
        [&](const platform::FileWriteError& e) { reported = e.path(); });
    {
        TEnhIniFile other("Zentrix.INI", dir.at("blocker/second.ini"));
        other.WriteString("Options", "LastDir", "C:\\");
    }
    TEnhIniFile::SetWriteFailureHandler(nullptr);
    EXPECT_EQ(reported, dir.at("blocker/second.ini"));
}

TEST_F(StoreTest, AFailedWriteLeavesTheOldFileIntact) {
    {
        TEnhIniFile ini("Zentrix.INI", file);
        ini.WriteString("Options", "LastDir", "C:\\OLD\\");
        ini.UpdateFile();
    }
    const std::string before = slurp(file);

    // A file-size limit makes the write itself fail half way.
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool failed = false;
    {
        TEnhIniFile ini("Zentrix.INI", file);
        ini.WriteString("Options", "Big", std::string(20000, 'y'));
        try {
            ini.UpdateFile();
        } catch (const platform::FileWriteError&) {
            failed = true;
        }
        ::setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(slurp(file), before);
        ini.DeleteKey("Options", "Big");
    }
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(failed);
    EXPECT_EQ(entriesOf(dir.path()), std::vector<std::string>{"registry.ini"}); // no temporary left
}

TEST(FontText, ReadRules) {
    FontFields base;
    base.Name = "Sans";
    base.Size = 9;
    base.Bold = true;
    base.Pitch = 1;
    base.Color = 0x00445566;

    struct Case {
        const char* text;
        const char* name;
        int size;
        const char* style;
        int pitch;
        TColor color;
    };
    const Case cases[] = {
        {"Arial, 10, BI, 0, clRed", "Arial", 10, "BI", 0, 0x0000FF},
        {"Arial", "Sans", 9, "B", 1, 0x00445566}, // no comma: nothing
        {",,,,", "Sans", 9, "", 1, 0x00445566},   // the default clears the style
        {"Courier,,,,", "Courier", 9, "", 1, 0x00445566},
        {"Arial,10", "Arial", 9, "B", 1, 0x00445566}, // size not closed by a comma
        {"Arial,10,", "Arial", 10, "B", 1, 0x00445566},
        {"Arial,ten,ubx,2,", "Arial", 9, "UB", 2, 0x00445566},
        {",,sIu,7,nonsense", "Sans", 9, "IUS", 1, 0x00445566},
        {",,,,$00FF0000", "Sans", 9, "", 1, 0xFF0000},
        {",,,,clwindowtext", "Sans", 9, "", 1, clWindowText},
        {",,,,255", "Sans", 9, "", 1, 255},
        {",,,,clRed,extra", "Sans", 9, "", 1, 0x00445566},
        {"  Times New Roman  , 12 ,,,", "Times New Roman", 12, "", 1, 0x00445566},
    };
    for (const auto& c : cases) {
        FontFields f = base;
        ApplyFontText(c.text, f);
        EXPECT_EQ(f.Name, c.name) << c.text;
        EXPECT_EQ(f.Size, c.size) << c.text;
        const std::string style = c.style;
        EXPECT_EQ(f.Bold, style.find('B') != std::string::npos) << c.text;
        EXPECT_EQ(f.Italic, style.find('I') != std::string::npos) << c.text;
        EXPECT_EQ(f.Underline, style.find('U') != std::string::npos) << c.text;
        EXPECT_EQ(f.StrikeOut, style.find('S') != std::string::npos) << c.text;
        EXPECT_EQ(f.Pitch, c.pitch) << c.text;
        EXPECT_EQ(f.Color, c.color) << c.text;
    }
}

TEST(FontText, WrittenWithNamesOrDollarHex) {
    FontFields f;
    f.Name = "Arial";
    f.Size = 10;
    f.Bold = f.Italic = f.Underline = f.StrikeOut = true;
    f.Pitch = 0x82;
    f.Color = 0x0000FF;
    EXPECT_EQ(FontToText(f), "Arial,10,BIUS,2,clRed");
    f.Color = 0x00123456;
    f.Bold = f.Italic = f.Underline = f.StrikeOut = false;
    f.Pitch = 0;
    EXPECT_EQ(FontToText(f), "Arial,10,,0,$00123456");
    f.Color = clWindowText;
    EXPECT_EQ(FontToText(f), "Arial,10,,0,clWindowText");
}
