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

    bool run(FileOperation operation, const std::string& source, const std::string& dest,
             FileOpFlags flags = {FileOpFlag::foNoConfirmMkDir}) {
        op->Operation = operation;
        op->Flags = flags;
        op->SetSource(source);
        op->SetDestination(dest);
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
