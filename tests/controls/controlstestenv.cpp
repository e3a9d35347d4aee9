#include "controlstestenv.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace zentrix::test {

FreshSettings::FreshSettings() {
    ::setenv("ZENTRIX_HOME", m_dir.path().c_str(), 1);
}

FreshSettings::~FreshSettings() {
    ::unsetenv("ZENTRIX_HOME");
}

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_controls";
        static char* argv[] = {name, nullptr};
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace
} // namespace zentrix::test
