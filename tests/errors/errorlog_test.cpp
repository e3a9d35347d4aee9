#include "errors/errorlog.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <new>
#include <sstream>
#include <sys/stat.h>

using namespace zentrix;
using zentrix::test::TempDir;

namespace {

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::time_t localTime(int year, int month, int day, int hour, int minute, int second) {
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

} // namespace

TEST(ErrorLogTest, TheFirstErrorCreatesTheLogWithItsHeader) {
    TempDir dir;
    ErrorLog log(dir.at("ERRORS.LOG"));
    ASSERT_TRUE(log.Append("Access violation at address 0", localTime(2024, 3, 5, 14, 7, 9)));
    // The tests run in the C locale: its short date is mm/dd/yy.
    EXPECT_EQ(slurp(dir.at("ERRORS.LOG")), "Zentrix - Error List:\r\n"
                                           "\r\n"
                                           "03/05/24 14:07:09 Access violation at address 0 \r\n");
    ASSERT_TRUE(log.Append("two\nlines", localTime(2024, 12, 31, 23, 59, 58)));
    EXPECT_EQ(slurp(dir.at("ERRORS.LOG")), "Zentrix - Error List:\r\n"
                                           "\r\n"
                                           "03/05/24 14:07:09 Access violation at address 0 \r\n"
                                           "12/31/24 23:59:58 two lines \r\n");
}

TEST(ErrorLogTest, ALogThatCannotBeWrittenIsSaidSo) {
    TempDir dir;
    dir.write("file", "x");
    ErrorLog nowhere(dir.at("file/ERRORS.LOG"));
    EXPECT_FALSE(nowhere.Append("boom"));
    EXPECT_FALSE(nowhere.LastError().empty());

    // Something that exists but cannot be appended to is not replaced.
    dir.mkdir("ERRORS.LOG");
    ErrorLog blocked(dir.at("ERRORS.LOG"));
    EXPECT_FALSE(blocked.Append("boom"));
    struct stat st {};
    ASSERT_EQ(::stat(dir.at("ERRORS.LOG").c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));

    // A log on a full device keeps its failure too.
    ErrorLog full("/dev/full");
    EXPECT_FALSE(full.Append("boom"));
}

TEST(ErrorLogTest, ErrorsAreFatalOnlyForTheSystemsFaults) {
    const auto oom = ClassifyError(std::bad_alloc());
    EXPECT_EQ(oom.group, ErrorGroup::Fatal);
    EXPECT_EQ(oom.message, "Out of memory");
    EXPECT_EQ(ClassifyError(std::bad_array_new_length()).group, ErrorGroup::Fatal);
    const auto av =
        ClassifyError(SystemFault(SystemFault::Kind::AccessViolation, "Access violation"));
    EXPECT_EQ(av.group, ErrorGroup::Fatal);
    EXPECT_EQ(av.message, "Access violation");
    const auto conv = ClassifyError(std::invalid_argument("'abc' is not a valid integer value"));
    EXPECT_EQ(conv.group, ErrorGroup::Ordinary);
    EXPECT_EQ(conv.message, "'abc' is not a valid integer value");
    EXPECT_EQ(ClassifyUnknownError().group, ErrorGroup::Fatal);
}
