#pragma once

#include "core/prompter.h"

namespace zentrix::bench {

/// Answers every question with yes and shows nothing: benchmarks run unattended.
class SilentPrompter : public Prompter {
public:
    bool askYesNo(const std::string&, const std::string&) override { return true; }
    bool askOkCancel(const std::string&, const std::string&) override { return true; }
    Answer askYesNoCancel(const std::string&, const std::string&) override { return Answer::Yes; }
    bool askRetryCancel(const std::string&, const std::string&) override { return false; }
    void inform(const std::string&, const std::string&) override {}
    void warn(const std::string&) override {}
    void error(const std::string&, const std::string&) override {}
    std::optional<std::string> inputText(const std::string&, const std::string&,
                                         const std::string&) override {
        return std::nullopt;
    }
    void beep() override {}
    /// The last button (Cancel): a benchmark never retries or replaces unasked.
    int askChoice(const std::string&, const std::vector<std::string>& buttons,
                  const std::string&) override {
        return static_cast<int>(buttons.size()) - 1;
    }
};

} // namespace zentrix::bench
