#include "platform/apppaths.h"
#include "platform/shellintegration.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

using namespace zentrix::platform;
using zentrix::test::TempDir;

namespace {

// Sets environment variables for one test and puts the old values back.
class EnvGuard {
public:
    void set(const char* name, const std::string& value) {
        remember(name);
        ::setenv(name, value.c_str(), 1);
    }
    void unset(const char* name) {
        remember(name);
        ::unsetenv(name);
    }
    ~EnvGuard() {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
            if (it->second)
                ::setenv(it->first.c_str(), it->second->c_str(), 1);
            else
                ::unsetenv(it->first.c_str());
        }
    }

private:
    void remember(const char* name) {
        const char* v = std::getenv(name);
        m_saved.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool isDir(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

TEST(AppPathsTest, TheProgramsDirectoryAndSettingsFileFollowTheEnvironment) {
    TempDir dir;
    EnvGuard env;
    env.set("HOME", dir.at("home"));
    env.unset("ZENTRIX_HOME");
    env.unset("XDG_DATA_HOME");
    env.unset("XDG_CONFIG_HOME");
    EXPECT_EQ(AppPaths::ProgramDir(), dir.at("home/.local/share/zentrix/"));
    EXPECT_TRUE(isDir(dir.at("home/.local/share/zentrix")));
    EXPECT_EQ(AppPaths::SettingsFile(), dir.at("home/.config/zentrix/registry.ini"));

    env.set("XDG_DATA_HOME", dir.at("data"));
    env.set("XDG_CONFIG_HOME", "relative/is/ignored");
    EXPECT_EQ(AppPaths::ProgramDir(), dir.at("data/zentrix/"));
    EXPECT_EQ(AppPaths::SettingsFile(), dir.at("home/.config/zentrix/registry.ini"));

    env.set("ZENTRIX_HOME", dir.at("own"));
    EXPECT_EQ(AppPaths::ProgramDir(), dir.at("own/"));
    EXPECT_TRUE(isDir(dir.at("own")));
    EXPECT_EQ(AppPaths::SettingsFile(), dir.at("own/registry.ini"));
}

TEST(ShellIntegrationTest, TheDesktopEntryComesAndGoes) {
    TempDir dir;
    EnvGuard env;
    env.set("XDG_DATA_HOME", dir.at("data"));
    env.set("PATH", dir.at("nobin")); // no desktop database tool runs from a test
    // Not the installed entry's id (org.zentrix.Zentrix.desktop): a user file of
    // that name would hide the installed one, and removing it would leave none.
    EXPECT_EQ(ShellIntegrationFile(), dir.at("data/applications/zentrix-directory.desktop"));
    EXPECT_FALSE(ShellIntegrationExists());

    WriteShellIntegration("/opt/my apps/zentrix");
    ASSERT_TRUE(ShellIntegrationExists());
    const std::string text = slurp(ShellIntegrationFile());
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_NE(text.find("\nExec=\"/opt/my apps/zentrix\" %f\n"), std::string::npos);
    EXPECT_NE(text.find("\nMimeType=inode/directory;\n"), std::string::npos);
    EXPECT_NE(text.find("\nType=Application\n"), std::string::npos);

    EXPECT_TRUE(RemoveShellIntegration());
    EXPECT_FALSE(ShellIntegrationExists());
    EXPECT_TRUE(RemoveShellIntegration()); // nothing there is fine too
}

TEST(ShellIntegrationTest, ExecArgumentsAreQuotedAndEscaped) {
    EXPECT_EQ(DesktopExecArgument("/usr/bin/zentrix"), "\"/usr/bin/zentrix\"");
    // Reserved characters get a backslash inside the quotes, and every backslash
    // is doubled again for the string value; "%" is doubled.
    EXPECT_EQ(DesktopExecArgument("/a\"b`c$d\\e%f"), "\"/a\\\\\"b\\\\`c\\\\$d\\\\\\\\e%%f\"");
}
