#include "UnZip/ziparchive.h"
#include "core/plugincalls.h"
#include "plugintestsupport.h"
#include "support/fifofeeder.h"
#include "support/files.h"
#include "support/scriptedprompter.h"
#include "support/tempdir.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace zentrix::unzip;
using zentrix::test::Exists;
using zentrix::test::TempDir;

namespace {

// A ZIP archive with the given entries (a target starting with "->" makes a link).
void makeZip(const std::string& path,
             const std::vector<std::pair<std::string, std::string>>& entries) {
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_open_filename(a, path.c_str());
    for (const auto& [name, content] : entries) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, name.c_str());
        if (content.rfind("->", 0) == 0) {
            archive_entry_set_filetype(e, AE_IFLNK);
            archive_entry_set_symlink(e, content.substr(2).c_str());
            archive_entry_set_size(e, 0);
            archive_write_header(a, e);
        } else {
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_perm(e, 0644);
            archive_entry_set_size(e, static_cast<la_int64_t>(content.size()));
            archive_write_header(a, e);
            archive_write_data(a, content.data(), content.size());
        }
        archive_entry_free(e);
    }
    archive_write_close(a);
    archive_write_free(a);
}

} // namespace

TEST(UnZip, ExtractionNeverLeavesItsTarget) {
    TempDir tmp;
    tmp.mkdir("target");
    tmp.mkdir("outside");
    makeZip(tmp.at("slip.zip"), {{"../escaped.txt", "x"},
                                 {"/abs.txt", "x"},
                                 {"sub\\..\\..\\win.txt", "x"},
                                 {"link", "->../outside"},
                                 {"ok/inner.txt", "fine"}});
    const RunReport report = ExtractArchive(tmp.at("slip.zip"), tmp.at("target"), {}, {}, {});
    EXPECT_FALSE(report.ok);
    EXPECT_EQ(report.written, 1);
    EXPECT_FALSE(Exists(tmp.at("escaped.txt")));
    EXPECT_FALSE(Exists("/abs.txt"));
    EXPECT_FALSE(Exists(tmp.at("win.txt")));
    EXPECT_FALSE(Exists(tmp.at("target/link")));
    EXPECT_TRUE(Exists(tmp.at("target/ok/inner.txt")));
    // A link already in the target is never followed.
    tmp.symlink(tmp.at("outside"), "target/door");
    makeZip(tmp.at("door.zip"), {{"door/through.txt", "x"}});
    EXPECT_FALSE(ExtractArchive(tmp.at("door.zip"), tmp.at("target"), {}, {}, {}).ok);
    EXPECT_FALSE(Exists(tmp.at("outside/through.txt")));
    // Existing files stay unless the user says to replace them.
    tmp.write("target/ok/inner.txt", "mine");
    ExtractArchive(tmp.at("slip.zip"), tmp.at("target"), {"ok/inner.txt"},
                   [](const std::string&) { return false; }, {});
    std::ifstream in(tmp.at("target/ok/inner.txt"));
    std::string kept;
    in >> kept;
    EXPECT_EQ(kept, "mine");
}

TEST(UnZip, SafeNames) {
    EXPECT_EQ(SafeEntryPath("a/./b//c.txt"), "a/b/c.txt");
    EXPECT_EQ(SafeEntryPath("dir\\file"), "dir/file");
    for (const char* bad : {"", "/x", "\\x", "c:x", "a/../b", "..", "./"})
        EXPECT_EQ(SafeEntryPath(bad), std::nullopt) << bad;
}

TEST(UnZip, ListTestAndPack) {
    TempDir tmp;
    tmp.write("src/a.txt", std::string(5000, 'a'));
    tmp.write("src/sub/b.txt", "bee");
    tmp.write("src/c.doc", "sea");
    // Masks with and without subdirectories; the archive never packs itself.
    auto items = CollectPackItems({{"src/*.txt", true}}, tmp.path(), true, true, "");
    ASSERT_EQ(items.size(), 2u);
    items = CollectPackItems({{"src/*.*", true}}, tmp.path(), false, false, tmp.at("src/c.doc"));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].name, "a.txt");
    items = CollectPackItems({{"src/a.txt", false}, {"src/sub/b.txt", false}}, tmp.path(), false,
                             true, "");
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].name, "src/sub/b.txt");
    // A directory named with its closing "/" keeps its name: no stored name is absolute.
    const auto sub = CollectPackItems({{"src/sub/", false}}, tmp.path(), false, true, "");
    ASSERT_EQ(sub.size(), 1u);
    EXPECT_EQ(sub[0].name, "sub/b.txt");
    ASSERT_TRUE(CreateArchive(tmp.at("out.zip"), items).ok);
    const auto entries = ListArchive(tmp.at("out.zip"));
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);
    EXPECT_EQ((*entries)[0].name, "src/a.txt");
    EXPECT_EQ((*entries)[0].size, 5000);
    EXPECT_GT((*entries)[0].packed, 0);
    EXPECT_LT((*entries)[0].packed, 5000);
    EXPECT_EQ((*entries)[0].method, "Deflated");
    EXPECT_TRUE(TestArchive(tmp.at("out.zip")).ok);
    // A damaged copy fails its test and cannot be listed when cut short.
    std::string bytes;
    {
        std::ifstream in(tmp.at("out.zip"), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    // Spoil the end of the first entry's packed data.
    size_t end = bytes.find(std::string("PK\x07\x08", 4));
    if (end == std::string::npos)
        end = bytes.find(std::string("PK\x03\x04", 4), 4);
    ASSERT_NE(end, std::string::npos);
    for (size_t i = end - 4; i < end; ++i)
        bytes[i] ^= 0x55;
    tmp.write("bad.zip", bytes);
    EXPECT_FALSE(TestArchive(tmp.at("bad.zip")).ok);
    tmp.write("none.zip", "PK\x03\x04 not an archive");
    EXPECT_FALSE(TestArchive(tmp.at("none.zip")).ok);
}

TEST(UnZip, AnEntryLargerThanTheFreeSpaceStopsTheRun) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    TempDir tmp;
    tmp.mkdir("small");
    if (::mount("tmpfs", tmp.at("small").c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    struct Unmount {
        std::string dir;
        ~Unmount() { ::umount2(dir.c_str(), MNT_DETACH); }
    } unmount{tmp.at("small")};
    // Zeros pack small, so the archive fits where its contents cannot.
    makeZip(tmp.at("big.zip"), {{"first.txt", "fits"},
                                {"huge.bin", std::string(4 << 20, '\0')},
                                {"after.txt", "never reached"}});
    const RunReport report = ExtractArchive(tmp.at("big.zip"), tmp.at("small"), {}, {}, {});
    EXPECT_FALSE(report.ok);
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.written, 1);
    bool told = false;
    for (const std::string& line : report.lines)
        told = told || line.find("Not enough free space") != std::string::npos;
    EXPECT_TRUE(told);
    // Only the entry that fitted is there: no partial file, no temporary one.
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(tmp.at("small")))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"first.txt"});
}

// --- The archive plug-in as the program calls it -----------------------------------------------

namespace {

using zentrix::test::FifoFeeder;
using zentrix::test::OnModalNamed;
using zentrix::test::ReadFile;
using zentrix::test::ScopedEnv;

// A ZIP whose entries give their lengths only after their data, and without its
// central directory: what a stream writer leaves when it is cut off.
std::string zipWithoutCentralDirectory(const std::string& path, const std::string& content) {
    archive* a = archive_write_new();
    archive_write_set_format_zip(a);
    archive_write_open_filename(a, path.c_str());
    archive_entry* e = archive_entry_new();
    archive_entry_set_pathname(e, "stream.bin");
    archive_entry_set_filetype(e, AE_IFREG);
    archive_entry_set_perm(e, 0644);
    archive_entry_unset_size(e);
    archive_write_header(a, e);
    archive_write_data(a, content.data(), content.size());
    archive_entry_free(e);
    archive_write_close(a);
    archive_write_free(a);
    std::string bytes = ReadFile(path);
    bytes.resize(bytes.find(std::string("PK\x01\x02", 4)));
    return bytes;
}

// Sets the unpacked size the archive gives its first entry: in its local
// header, its data descriptor and the central directory.
std::string withDeclaredSize(std::string zip, uint32_t size) {
    const auto put = [&zip, size](size_t at) {
        for (int i = 0; i < 4; ++i)
            zip[at + static_cast<size_t>(i)] = static_cast<char>((size >> (8 * i)) & 0xFF);
    };
    EXPECT_EQ(zip.compare(0, 4, std::string("PK\x03\x04", 4)), 0);
    put(22);
    if (const size_t descriptor = zip.find(std::string("PK\x07\x08", 4));
        descriptor != std::string::npos)
        put(descriptor + 12);
    const size_t cd = zip.find(std::string("PK\x01\x02", 4));
    EXPECT_NE(cd, std::string::npos);
    put(cd + 24);
    return zip;
}

// A program of that name first on the PATH that leaves a mark when it runs.
struct Trap {
    TempDir& tmp;
    ScopedEnv path;
    Trap(TempDir& t, std::initializer_list<const char*> names)
        : tmp(t), path("PATH", t.at("bin") + ":" + std::string(std::getenv("PATH"))) {
        for (const char* name : names) {
            tmp.write(std::string("bin/") + name,
                      "#!/bin/sh\ntouch '" + tmp.at("ran") + "'\ncat\n");
            tmp.chmod(std::string("bin/") + name, 0755);
        }
    }
    bool sprung() const { return Exists(tmp.at("ran")); }
};

// While it lives, closes every archive window and report that comes up.
class WindowCloser {
public:
    WindowCloser() {
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && (modal->objectName() == "TZipForm" || modal->objectName() == "ZipReport"))
                modal->close();
        });
        m_timer.start(10);
    }

private:
    QTimer m_timer;
};

class UnZipEntries : public ::testing::Test {
protected:
    TempDir tmp;
    ScopedEnv m_dir{"ZENTRIX_PLUGIN_DIR", ZENTRIX_BUILD_DIR};
    zentrix::test::ScriptedPrompter m_prompter;
    zentrix::PluginCalls m_calls{m_prompter};
    QWidget m_owner;
};

} // namespace

TEST_F(UnZipEntries, NoProgramRunsAndNoOuterCompressionIsUndone) {
    Trap trap(tmp, {"lzop", "lrzip", "grzip"});
    // Bytes that start like an lzop, an lrzip and a grzip stream.
    tmp.write("lzop.zip", std::string("\x89LZO\0\r\n\x1a\n", 9) + std::string(600, 'x'));
    tmp.write("lrzip.zip", "LRZI" + std::string(600, '\0'));
    tmp.write("grzip.zip", "GRZipII" + std::string(600, '\1'));
    // A sound ZIP inside a gzip stream is no ZIP.
    makeZip(tmp.at("plain.zip"), {{"inner.txt", "hello"}});
    {
        archive* a = archive_write_new();
        archive_write_set_format_raw(a);
        archive_write_add_filter_gzip(a);
        archive_write_open_filename(a, tmp.at("wrapped.zip").c_str());
        const std::string plain = ReadFile(tmp.at("plain.zip"));
        archive_entry* e = archive_entry_new();
        archive_entry_set_filetype(e, AE_IFREG);
        archive_entry_set_size(e, static_cast<la_int64_t>(plain.size()));
        archive_write_header(a, e);
        archive_write_data(a, plain.data(), plain.size());
        archive_entry_free(e);
        archive_write_close(a);
        archive_write_free(a);
    }
    WindowCloser closer;
    for (const char* name : {"lzop.zip", "lrzip.zip", "grzip.zip", "wrapped.zip"}) {
        EXPECT_EQ(m_calls.CallOpenZip(tmp.at(name), &m_owner), false) << name;
        EXPECT_EQ(m_calls.CallTestZIPArchive(tmp.at(name), &m_owner), false) << name;
    }
    EXPECT_FALSE(trap.sprung());
    // The summary of File Information and the quick view does not start one either.
    for (const char* name : {"lzop.zip", "lrzip.zip", "grzip.zip"}) {
        const std::string tar = tmp.at(std::string(name) + ".tar");
        std::filesystem::copy_file(tmp.at(name), tar);
        (void)zentrix::PluginCalls::CallGetFileInfo(tar);
    }
    EXPECT_FALSE(trap.sprung());
    EXPECT_EQ(m_calls.CallOpenZip(tmp.at("plain.zip"), &m_owner).has_value(), true);
}

TEST_F(UnZipEntries, AFifoNamedLikeAnArchiveIsRefusedAtOnce) {
    makeZip(tmp.at("sound.zip"), {{"a.txt", "alpha"}});
    ASSERT_EQ(::mkfifo(tmp.at("pipe.zip").c_str(), 0600), 0);
    // Were the FIFO opened and read, it would hold a sound archive.
    FifoFeeder feeder(tmp.at("pipe.zip"), ReadFile(tmp.at("sound.zip")));
    WindowCloser closer;
    EXPECT_EQ(m_calls.CallTestZIPArchive(tmp.at("pipe.zip"), &m_owner), false);
    EXPECT_EQ(m_calls.CallOpenZip(tmp.at("pipe.zip"), &m_owner), false);
}

TEST_F(UnZipEntries, AnEntryThatUnpacksToMoreThanItSaysIsStoppedThere) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    tmp.mkdir("small");
    if (::mount("tmpfs", tmp.at("small").c_str(), "tmpfs", 0, "size=512k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    struct Unmount {
        std::string dir;
        ~Unmount() { ::umount2(dir.c_str(), MNT_DETACH); }
    } unmount{tmp.at("small")};
    // Four megabytes of zeros that the central directory calls ten bytes.
    makeZip(tmp.at("honest.zip"), {{"liar.bin", std::string(4 << 20, '\0')}, {"b.txt", "bee"}});
    tmp.write("liar.zip", withDeclaredSize(ReadFile(tmp.at("honest.zip")), 10));
    QString report;
    OnModalNamed("TZipForm", [&](QWidget* form) {
        zentrix::test::OnModalOf<QFileDialog>([&](QFileDialog* chooser) {
            OnModalNamed("ZipReport", [&](QWidget* shown) {
                report = shown->findChild<QPlainTextEdit*>("meReport")->toPlainText();
                shown->close();
                QTimer::singleShot(0, form, [form] { form->close(); });
            });
            chooser->setDirectory(QString::fromStdString(tmp.at("small")));
            QMetaObject::invokeMethod(chooser, "accept");
        });
        form->findChild<QPushButton*>("btnExtractAll")->click();
    });
    EXPECT_EQ(m_calls.CallOpenZip(tmp.at("liar.zip"), &m_owner), true);
    EXPECT_TRUE(report.contains("liar.bin unpacks to more than the 10 bytes the archive gives"))
        << report.toStdString();
    // The lie cost nothing: the entries after it are there, the disk is not full.
    EXPECT_FALSE(Exists(tmp.at("small/liar.bin")));
    EXPECT_EQ(ReadFile(tmp.at("small/b.txt")), "bee");
}

TEST_F(UnZipEntries, NamesInTheArchivesQuestionsAreShownAsTheyAre) {
    const std::string name = "notes.txt<br><br><b>This file is kept. Press No to replace it";
    makeZip(tmp.at("names.zip"), {{name, "new"}});
    tmp.write("target/" + name, "old");
    Qt::TextFormat format = Qt::RichText;
    QString text;
    OnModalNamed("TZipForm", [&](QWidget* form) {
        zentrix::test::OnModalOf<QFileDialog>([&](QFileDialog* chooser) {
            zentrix::test::OnModalOf<QMessageBox>([&](QMessageBox* question) {
                format = question->textFormat();
                text = question->text();
                // Kept, so no report: the archive window is next again.
                OnModalNamed("TZipForm", [](QWidget* again) { again->close(); });
                question->button(QMessageBox::No)->click();
            });
            chooser->setDirectory(QString::fromStdString(tmp.at("target")));
            QMetaObject::invokeMethod(chooser, "accept");
        });
        form->findChild<QPushButton*>("btnExtractAll")->click();
    });
    EXPECT_EQ(m_calls.CallOpenZip(tmp.at("names.zip"), &m_owner), true);
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(text, QString::fromStdString(name + " exists already. Replace it?"));
    EXPECT_EQ(ReadFile(tmp.at("target/" + name)), "old");
}

TEST(UnZip, AnArchiveWithoutCentralDirectoryIsListedWithinItsBudget) {
    TempDir tmp;
    tmp.write("cut.zip",
              zipWithoutCentralDirectory(tmp.at("whole.zip"), std::string(8 << 20, 'z')));
    // Its entry must be unpacked to find the next: the budget ends that.
    std::string error;
    EXPECT_FALSE(ListArchive(tmp.at("cut.zip"), &error, {}, {1 << 20, std::chrono::seconds(30)}));
    EXPECT_NE(error.find("takes too long"), std::string::npos) << error;
    // The user can stop it, and within budget it lists.
    EXPECT_FALSE(ListArchive(tmp.at("cut.zip"), &error,
                             [](const std::string&, int64_t, int64_t) { return false; }));
    EXPECT_EQ(error, "stopped");
    const auto entries = ListArchive(tmp.at("cut.zip"));
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 1u);
    EXPECT_EQ((*entries)[0].name, "stream.bin");
}

TEST(UnZip, ExtractionLeavesTheDiskItsReserve) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    TempDir tmp;
    tmp.mkdir("small");
    if (::mount("tmpfs", tmp.at("small").c_str(), "tmpfs", 0, "size=1m") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    struct Unmount {
        std::string dir;
        ~Unmount() { ::umount2(dir.c_str(), MNT_DETACH); }
    } unmount{tmp.at("small")};
    EXPECT_EQ(FreeSpaceReserve(1 << 20), (1 << 20) / 20);
    EXPECT_EQ(FreeSpaceReserve(int64_t{1} << 40), int64_t{64} << 20);
    // It would fit the free space, but not leave the reserve.
    makeZip(tmp.at("fill.zip"), {{"fill.bin", std::string(1000000, '\0')}});
    const RunReport report = ExtractArchive(tmp.at("fill.zip"), tmp.at("small"), {}, {}, {});
    EXPECT_TRUE(report.stopped);
    EXPECT_EQ(report.written, 0);
    EXPECT_FALSE(Exists(tmp.at("small/fill.bin")));
}
