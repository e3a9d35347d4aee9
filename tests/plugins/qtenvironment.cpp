// The libraries open real windows: the tests run inside one QApplication, with
// a drive table of one drive C: that stands for a temporary directory.
#include "plugintestsupport.h"
#include "support/tempdir.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace zentrix::test {
namespace {

TempDir* g_driveRoot = nullptr;

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        g_driveRoot = new TempDir;
        // Read once, when the drive table is first used.
        ::setenv("ZENTRIX_DRIVES", ("C=" + g_driveRoot->path() + "::DATA").c_str(), 1);
        static int argc = 1;
        static char name[] = "test_plugins";
        static char* argv[] = {name, nullptr};
        m_app = new QApplication(argc, argv);
    }
    void TearDown() override {
        delete m_app;
        delete g_driveRoot;
    }

private:
    QApplication* m_app = nullptr;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

const std::string& DriveRoot() {
    return g_driveRoot->path();
}

} // namespace zentrix::test
