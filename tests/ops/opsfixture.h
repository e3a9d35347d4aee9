#pragma once

#include "ops/quietfileopwindow.h"
#include "ops/tfileoperator.h"
#include "platform/drivetable.h"
#include "support/files.h"
#include "support/scriptedprompter.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zentrix::test {

/// A small tmpfs mounted on a directory for the life of the object (root only).
class TmpfsMount {
public:
    TmpfsMount(const std::string& dir, const std::string& options) : m_dir(dir) {
        ::mkdir(dir.c_str(), 0755);
        m_mounted =
            ::geteuid() == 0 && ::mount("tmpfs", dir.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~TmpfsMount() {
        if (m_mounted)
            ::umount2(m_dir.c_str(), MNT_DETACH);
    }
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;
    bool mounted() const { return m_mounted; }
    bool remountReadOnly() {
        return ::mount("tmpfs", m_dir.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    std::string m_dir;
    bool m_mounted = false;
};

/// Every name below a directory (relative, "/"-joined), links not followed.
std::set<std::string> TreeNames(const std::string& root);

/// Drives D: and E: on two folders of a temporary directory, a scripted prompter
/// and an operator over them.
class OpsTest : public ::testing::Test {
protected:
    TempDir tmp;
    ScriptedPrompter prompter;
    std::unique_ptr<platform::DriveTable> drives;
    std::unique_ptr<TFileOperator> op;
    QuietFileOpWindow window;

    void SetUp() override {
        tmp.mkdir("d");
        tmp.mkdir("e");
        drives = std::make_unique<platform::DriveTable>(
            platform::DriveTable::FromSpec("D=" + tmp.at("d") + ";E=" + tmp.at("e"), {}));
        op = std::make_unique<TFileOperator>(*drives, prompter);
        op->SetWindow(&window);
    }

    /// Runs an operation on exact sources; `dest` is a directory when it ends
    /// in a backslash, else a directory and the mask (or name) after its last one.
    bool run(FileOperation operation, std::vector<std::string> sources, const std::string& dest,
             FileOpFlags flags = {FileOpFlag::foNoConfirmMkDir}) {
        op->Operation = operation;
        op->Flags = flags;
        op->SetSources(std::move(sources));
        const size_t cut = dest.rfind('\\');
        if (cut == std::string::npos || cut + 1 == dest.size())
            op->SetDestination(dest);
        else
            op->SetDestination(dest.substr(0, cut + 1), dest.substr(cut + 1));
        return op->Execute();
    }
};

} // namespace zentrix::test
