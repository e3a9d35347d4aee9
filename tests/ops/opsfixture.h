#pragma once

#include "ops/quietfileopwindow.h"
#include "ops/tfileoperator.h"
#include "platform/drivetable.h"
#include "support/files.h"
#include "support/scriptedprompter.h"
#include "support/tempdir.h"
#include "support/tmpfsmount.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zentrix::test {

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

/// OpsTest whose E:\mnt can become a file system of its own (root only: a
/// test skips with mnt->reason() when mount() fails).
class OtherFileSystem : public OpsTest {
protected:
    std::unique_ptr<TmpfsMount> mnt;
    bool mount(const std::string& type = "tmpfs") {
        mnt = std::make_unique<TmpfsMount>(tmp.at("e/mnt"), "size=64m", type);
        return mnt->mounted();
    }
    void TearDown() override { mnt.reset(); }
};

} // namespace zentrix::test
