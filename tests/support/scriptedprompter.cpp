#include "support/scriptedprompter.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace zentrix::test {

std::string ScriptedPrompter::next(const std::string& question) {
    // What the user does elsewhere while the question is open (a real dialog
    // runs the event loop).
    if (whileAsking) {
        auto run = std::move(whileAsking);
        whileAsking = nullptr;
        run(question);
    }
    if (m_answers.empty()) {
        ADD_FAILURE() << "unexpected question: \"" << question << "\"";
        return "no";
    }
    std::string a = m_answers.front();
    m_answers.pop_front();
    return a;
}

std::vector<std::string> ScriptedPrompter::texts() const {
    std::vector<std::string> out;
    for (const auto& s : m_shown)
        out.push_back(s.text);
    return out;
}

std::vector<std::string> ScriptedPrompter::questions() const {
    std::vector<std::string> out;
    for (const auto& s : m_shown)
        if (s.kind == Kind::YesNo || s.kind == Kind::OkCancel || s.kind == Kind::YesNoCancel ||
            s.kind == Kind::RetryCancel || s.kind == Kind::Input || s.kind == Kind::Choice)
            out.push_back(s.text);
    return out;
}

bool ScriptedPrompter::askYesNo(const std::string& text, const std::string& caption) {
    m_shown.push_back({Kind::YesNo, text, caption, {}});
    return next(text) == "yes";
}

bool ScriptedPrompter::askOkCancel(const std::string& text, const std::string& caption) {
    m_shown.push_back({Kind::OkCancel, text, caption, {}});
    return next(text) == "yes";
}

Answer ScriptedPrompter::askYesNoCancel(const std::string& text, const std::string& caption) {
    m_shown.push_back({Kind::YesNoCancel, text, caption, {}});
    const std::string a = next(text);
    return a == "yes" ? Answer::Yes : a == "cancel" ? Answer::Cancel : Answer::No;
}

int ScriptedPrompter::askChoice(const std::string& text, const std::vector<std::string>& buttons,
                                const std::string& caption) {
    m_shown.push_back({Kind::Choice, text, caption, {}});
    const std::string a = next(text);
    const int last = static_cast<int>(buttons.size()) - 1;
    if (a.rfind("choice:", 0) == 0)
        return std::stoi(a.substr(7));
    return a == "yes" ? 0 : a == "no" ? std::min(1, last) : last;
}

bool ScriptedPrompter::askRetryCancel(const std::string& text, const std::string& caption) {
    m_shown.push_back({Kind::RetryCancel, text, caption, {}});
    return next(text) == "yes";
}

void ScriptedPrompter::inform(const std::string& text, const std::string& caption) {
    m_shown.push_back({Kind::Inform, text, caption, {}});
}

void ScriptedPrompter::warn(const std::string& text) {
    m_shown.push_back({Kind::Warn, text, "Information", {}});
}

void ScriptedPrompter::error(const std::string& text, const std::string& caption) {
    m_shown.push_back({Kind::Error, text, caption, {}});
}

void ScriptedPrompter::informWith(const std::string& text, const std::string& informative,
                                  const std::string& caption) {
    m_shown.push_back({Kind::Inform, text, caption, informative});
}

void ScriptedPrompter::warnWith(const std::string& text, const std::string& informative) {
    m_shown.push_back({Kind::Warn, text, "Information", informative});
}

void ScriptedPrompter::errorWith(const std::string& text, const std::string& informative,
                                 const std::string& caption) {
    m_shown.push_back({Kind::Error, text, caption, informative});
}

std::optional<std::string> ScriptedPrompter::inputText(const std::string& caption,
                                                       const std::string& prompt,
                                                       const std::string& defaultText) {
    m_shown.push_back({Kind::Input, prompt, caption, {}});
    m_lastInputDefault = defaultText;
    m_inputDefaults.push_back(defaultText);
    const std::string a = next(prompt);
    if (a.rfind("text:", 0) == 0)
        return a.substr(5);
    return std::nullopt;
}

} // namespace zentrix::test
