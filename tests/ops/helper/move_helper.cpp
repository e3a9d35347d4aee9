// Runs one move with the file operation engine, for tests that kill it midway.
//   ops_move_helper DESTINATION SOURCE...
// The sources are host paths, each an argument of its own. Prints "bytes N"
// whenever the progress is drawn; each block written takes at least 10 ms; every
// question is answered with its last button (Cancel).
#include "core/prompter.h"
#include "ops/quietfileopwindow.h"
#include "ops/tfileoperator.h"
#include "platform/drivetable.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

class CancellingPrompter : public zentrix::Prompter {
public:
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    bool askOkCancel(const std::string&, const std::string&) override { return false; }
    zentrix::Answer askYesNoCancel(const std::string& text, const std::string&) override {
        std::fprintf(stderr, "question: %s\n", text.c_str());
        return zentrix::Answer::Cancel;
    }
    bool askRetryCancel(const std::string&, const std::string&) override { return false; }
    void inform(const std::string&, const std::string&) override {}
    void warn(const std::string&) override {}
    void error(const std::string& text, const std::string&) override {
        std::fprintf(stderr, "error: %s\n", text.c_str());
    }
    std::optional<std::string> inputText(const std::string&, const std::string&,
                                         const std::string&) override {
        return std::nullopt;
    }
    void beep() override {}
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: ops_move_helper DESTINATION SOURCE...\n");
        return 2;
    }
    zentrix::platform::DriveTable drives;
    CancellingPrompter prompter;
    zentrix::QuietFileOpWindow window;
    window.onShow = [](const zentrix::FileOpStatus& status) {
        std::printf("bytes %llu\n", static_cast<unsigned long long>(status.bytesDone));
        std::fflush(stdout);
        return false;
    };
    zentrix::TFileOperator op(drives, prompter);
    op.SetWindow(&window);
    // Paced like a slow disk, so a test can kill it midway on any machine.
    op.OnBlockCopied = [](uint64_t) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    op.Operation = zentrix::FileOperation::foMove;
    op.Flags = {zentrix::FileOpFlag::foNoConfirmMkDir};
    op.SetSources(std::vector<std::string>(argv + 2, argv + argc));
    op.SetDestination(argv[1]);
    return op.Execute() ? 0 : 1;
}
