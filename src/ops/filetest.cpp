#include "ops/filetest.h"

#include "catalogue/catalogue.h"
#include "catalogue/fileclass.h"
#include "catalogue/tree.h"
#include "catalogue/treenode.h"
#include "config/compatibility.h"
#include "core/appstate.h"
#include "core/progress.h"
#include "core/prompter.h"
#include "filewindow/filespec.h"
#include "filewindow/filewindow.h"
#include "ops/runguards.h"
#include "platform/dirlisting.h"
#include "platform/readonlyfile.h"

#include <memory>

namespace zentrix {

FileTestResult TestOneFile(const std::string& hostPath,
                           const std::function<bool(uint64_t)>& betweenBlocks) {
    using Outcome = FileTestResult::Outcome;
    platform::ReadOnlyFile file;
    switch (file.Open(hostPath)) {
    case platform::ReadOnlyFile::OpenResult::NotRegular:
        return {Outcome::NotRegular, 0};
    case platform::ReadOnlyFile::OpenResult::DanglingLink: // a test reports it as it was
    case platform::ReadOnlyFile::OpenResult::Failed:
        return {Outcome::Failed, file.Error()};
    case platform::ReadOnlyFile::OpenResult::Opened:
        break;
    }
    const uint64_t size = file.Size();
    if (size == 0)
        return {Outcome::Passed, 0};
    // Allocated per file: a test of one file holds no memory afterwards.
    const auto buffer = std::make_unique<char[]>(kTestBlockSize);
    uint64_t total = 0;
    while (total < size) {
        // Never more than the size taken at the open: a file that grows
        // meanwhile is read as far as it was.
        const size_t want = static_cast<size_t>(std::min<uint64_t>(kTestBlockSize, size - total));
        const long n = file.Read(buffer.get(), want);
        if (n < 0)
            return {Outcome::Failed, file.Error()};
        if (n == 0)
            return {Outcome::Failed, 0}; // it shrank since it was opened
        total += static_cast<uint64_t>(n);
        if (betweenBlocks && betweenBlocks(total) && total < size)
            return {Outcome::Stopped, 0};
    }
    return {Outcome::Passed, 0};
}

FileTest::FileTest(Catalogue& catalogue, AppState& state, const Settings& settings,
                   FileWindow& fileWindow, Prompter& prompter, Progress& progress)
    : m_cat(catalogue), m_state(state), m_settings(settings), m_fw(fileWindow),
      m_prompter(prompter), m_progress(progress) {}

FileTestResult FileTest::test(const Item& item) {
    if (item.hostPath.empty())
        return {FileTestResult::Outcome::Failed, 0};
    return TestOneFile(item.hostPath, [this, &item](uint64_t bytesRead) {
        if (OnBlockRead)
            OnBlockRead(item.hostPath, bytesRead);
        m_progress.pump();
        return m_progress.aborted();
    });
}

void FileTest::miFileTestClick() {
    if (m_state.fileOperationRunning)
        return;
    const TFileClass* record = m_fw.Record(m_fw.Current());
    if (!record)
        return;
    const Item item{record->FullName(), m_cat.HostPath(record).value_or(std::string())};
    record = nullptr; // the reads let events through
    FileTestResult result;
    bool stopped = false;
    {
        BusyGuard busy(m_state);
        FlagGuard running(m_state.fileOperationRunning);
        StopPanel stop(m_progress, 1);
        result = test(item);
        stopped = result.outcome == FileTestResult::Outcome::Stopped;
    }
    if (stopped)
        m_prompter.inform(kAborted);
    else if (result.outcome == FileTestResult::Outcome::NotRegular)
        m_prompter.inform("File: " + item.fullName + kNotTested);
    else if (result.failed())
        m_prompter.inform("Test FAILED on file: " + item.fullName + "     ");
    else
        m_prompter.inform("File: " + item.fullName + " is OK.     ");
}

void FileTest::miFileTaggTestClick() {
    if (m_state.fileOperationRunning)
        return;
    std::vector<Item> files;
    for (int i = 0, n = m_fw.Count(); i < n; ++i)
        if (const TFileClass* record = m_fw.Record(i); record && record->Tagged())
            files.push_back({record->FullName(), m_cat.HostPath(record).value_or(std::string())});
    if (files.empty()) {
        m_prompter.inform("There are no tagged files to operate with!     ");
        return;
    }
    TestFiles(files);
}

void FileTest::pmiTestDirectoryClick() {
    if (m_state.fileOperationRunning)
        return;
    const TTreeNode* node = m_cat.Tree().Selected();
    if (!node)
        return;
    const std::string dirPath = node->Path();
    const auto hostPath = m_cat.HostPath(node);
    if (!hostPath)
        return;
    node = nullptr;
    std::vector<Item> files;
    bool walked = false;
    {
        // The walk of a large branch lets events through too, so "STOP" ends it.
        BusyGuard busy(m_state);
        FlagGuard running(m_state.fileOperationRunning);
        StopPanel stop(m_progress, 1);
        walked = CollectBranch(dirPath, *hostPath, files);
    }
    if (!walked) {
        m_prompter.inform(kAborted);
        return;
    }
    if (!files.empty())
        TestFiles(files);
}

bool FileTest::CollectBranch(const std::string& dirPath, const std::string& hostPath,
                             std::vector<Item>& files) {
    const FileSpecFilter filter(m_fw.FileSpec(), m_fw.FileSpecInverted());
    // One listing per level of the branch, each open while its subdirectories
    // are walked, so that they are entered where the listing returns them.
    struct Level {
        std::unique_ptr<platform::DirListing> listing;
        std::string dirPath;
        std::string hostPath;
    };
    auto open = [](const Level* parent, const std::string& hostName) {
        auto listing = std::make_unique<platform::DirListing>(platform::AttrSource::Posix,
                                                              platform::StatMode::None);
        const bool opened =
            parent ? listing->OpenAt(parent->listing->Fd(), hostName) : listing->Open(hostName);
        return opened ? std::move(listing) : nullptr;
    };
    std::vector<Level> stack;
    if (auto root = open(nullptr, hostPath))
        stack.push_back({std::move(root), dirPath, hostPath});
    platform::DirEntry e;
    while (!stack.empty()) {
        m_progress.pump();
        if (m_progress.aborted())
            return false;
        Level& level = stack.back();
        if (!level.listing->Next(e)) {
            stack.pop_back();
            continue;
        }
        if (e.IsDirectory()) {
            if (e.isLink || e.hostName.empty() || e.hostName[0] == '.')
                continue;
            std::string childHost = level.hostPath + "/" + std::string(e.hostName);
            std::string childPath = level.dirPath + std::string(e.name) + "\\";
            if (auto child = open(&level, std::string(e.hostName)))
                stack.push_back({std::move(child), std::move(childPath), std::move(childHost)});
            continue;
        }
        if (filter.Passes(e.name))
            files.push_back({level.dirPath + std::string(e.name),
                             level.hostPath + "/" + std::string(e.hostName)});
    }
    return true;
}

int FileTest::TestFiles(const std::vector<Item>& files) {
    int failed = 0;
    int notTested = 0;
    {
        BusyGuard busy(m_state);
        FlagGuard running(m_state.fileOperationRunning);
        StopPanel stop(m_progress, static_cast<int64_t>(files.size()));
        bool stopRequested = false;
        for (size_t i = 0; i < files.size() && !stopRequested; ++i) {
            m_progress.pump();
            if (m_progress.aborted())
                break;
            m_progress.setPosition(static_cast<int64_t>(i + 1));
            const FileTestResult result = test(files[i]);
            if (result.outcome == FileTestResult::Outcome::Stopped)
                break;
            if (result.outcome == FileTestResult::Outcome::NotRegular)
                ++notTested;
            if (!result.failed())
                continue;
            ++failed;
            if (!m_prompter.askYesNo("Test FAILED on file: " + files[i].fullName +
                                     ". Continue?     "))
                stopRequested = true;
        }
        // Asked before the panel goes: hiding it clears the stop request.
        if (stopRequested || m_progress.aborted())
            m_prompter.inform(kAborted);
        if (notTested > 0)
            m_prompter.inform(std::to_string(notTested) + kNotTestedCount);
        if (failed == 0)
            m_prompter.inform(kAllOk);
        else
            m_prompter.inform(std::to_string(failed) + kFailedCount);
    }
    PlayCompletionSound(m_settings);
    return failed;
}

std::vector<std::pair<std::string, std::function<void()>>> FileTest::Commands() {
    return {
        {"miFileTestClick",
         [this] {
             miFileTestClick();
         }},
        {"miFileTaggTestClick",
         [this] {
             miFileTaggTestClick();
         }},
        {"pmiTestDirectoryClick",
         [this] {
             pmiTestDirectoryClick();
         }},
    };
}

} // namespace zentrix
