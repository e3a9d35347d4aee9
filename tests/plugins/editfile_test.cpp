// The editor's loading and saving: whatever the user does not touch is written
// back byte for byte, in the file's own encoding and line ends.
#include "Utils/editfileform.h"
#include "support/tempdir.h"

#include <QFile>
#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace zentrix::utils;
using zentrix::test::TempDir;

namespace {

QByteArray roundTrip(const QByteArray& bytes, TextFormat& format) {
    const QString text = DecodeText(bytes, format);
    QByteArray again;
    EXPECT_TRUE(EncodeText(text, format, again));
    return again;
}

} // namespace

TEST(EditFile, UntouchedTextIsWrittenBackByteForByte) {
    TextFormat format;
    // UTF-8 with its mark and CR LF lines.
    const QByteArray utf8 = "\xEF\xBB\xBF"
                            "gr\xC3\xBC\xC3\x9F"
                            "e\r\nzwei\r\n";
    EXPECT_EQ(DecodeText(utf8, format), QString::fromUtf8("grüße\nzwei\n"));
    EXPECT_EQ(format.encoding, TextFormat::Encoding::Utf8);
    EXPECT_TRUE(format.byteOrderMark);
    EXPECT_TRUE(format.crlf);
    EXPECT_EQ(roundTrip(utf8, format), utf8);

    // Mixed line ends, whichever comes first; the editor sees "\n" alone.
    for (const QByteArray& mixed :
         {QByteArray("one\r\ntwo\nthree\rfour\r\n"), QByteArray("one\ntwo\r\n\r\n\rlast")}) {
        EXPECT_FALSE(DecodeText(mixed, format).contains('\r'));
        EXPECT_EQ(roundTrip(mixed, format), mixed);
    }

    // UTF-16 by its mark, both byte orders.
    const QByteArray le("\xFF\xFE"
                        "a\0\n\0",
                        6),
        be("\xFE\xFF\0a\0\n", 6);
    EXPECT_EQ(roundTrip(le, format), le);
    EXPECT_EQ(format.encoding, TextFormat::Encoding::Utf16LE);
    EXPECT_EQ(roundTrip(be, format), be);
    EXPECT_EQ(format.encoding, TextFormat::Encoding::Utf16BE);

    // Every byte value in a file that is no UTF-8.
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    EXPECT_EQ(roundTrip(all, format), all);
    EXPECT_EQ(format.encoding, TextFormat::Encoding::Latin1);

    // A byte that is no UTF-8 far past the start the encoding is judged by,
    // and a UTF-16 file of odd length: nothing is replaced or dropped.
    const QByteArray late = QByteArray(100000, 'x') + "\xE9t\xE9\n";
    EXPECT_EQ(roundTrip(late, format), late);
    const QByteArray odd("\xFF\xFE"
                         "a\0b",
                         5);
    EXPECT_EQ(roundTrip(odd, format), odd);

    // A character Latin-1 cannot hold is refused, not written as something else.
    format = TextFormat{TextFormat::Encoding::Latin1, false, false, {}};
    QByteArray out;
    EXPECT_FALSE(EncodeText(QString::fromUtf8("\xE2\x82\xAC uro \xE2\x98\x83"), format, out));
}

TEST(EditFile, SavingReplacesTheFileWholeAndKeepsItsPermissions) {
    TempDir tmp;
    tmp.write("notes.txt", "old");
    tmp.chmod("notes.txt", 0640);
    QString error;
    ASSERT_TRUE(SaveFileAtomically(QString::fromStdString(tmp.at("notes.txt")), "new text", &error))
        << error.toStdString();
    QFile f(QString::fromStdString(tmp.at("notes.txt")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "new text");
    struct stat st {};
    ASSERT_EQ(::stat(tmp.at("notes.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    // No temporary file stays beside it.
    int names = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(tmp.path()))
        ++names;
    EXPECT_EQ(names, 1);
    // Where nothing can be written, the file is left as it was and the reason told.
    EXPECT_FALSE(SaveFileAtomically(QString::fromStdString(tmp.at("missing/x.txt")), "x", &error));
    EXPECT_FALSE(error.isEmpty());
}
