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
};

} // namespace zentrix::bench
