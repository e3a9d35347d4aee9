#pragma once

#include "core/prompter.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace zentrix::test {

/// Answers questions from a script, in order, and records every text shown.
/// A question with no scripted answer left fails the test.
class ScriptedPrompter : public Prompter {
public:
    enum class Kind {
        YesNo,
        OkCancel,
        YesNoCancel,
        RetryCancel,
        Inform,
        Warn,
        Error,
        Input,
        Beep,
        Choice,
    };
    struct Shown {
        Kind kind;
        std::string text;
        std::string caption;
        std::string informative; // the line under the text, when there is one
    };

    /// Queues answers: true = Yes/OK/Retry, false = No/Cancel.
    ScriptedPrompter& answer(bool yes) {
        m_answers.push_back(yes ? "yes" : "no");
        return *this;
    }
    ScriptedPrompter& answerCancel() {
        m_answers.push_back("cancel");
        return *this;
    }
    /// Queues the index of a button for askChoice (yes, no and cancel also
    /// answer it: the first, the second and the last button).
    ScriptedPrompter& answerChoice(int index) {
        m_answers.push_back("choice:" + std::to_string(index));
        return *this;
    }
    ScriptedPrompter& answerText(const std::string& text) {
        m_answers.push_back("text:" + text);
        return *this;
    }

    /// Runs once, while the next question is open, as events would run under
    /// a real dialog.
    std::function<void(const std::string& question)> whileAsking;

    const std::vector<Shown>& shown() const { return m_shown; }
    /// Texts of everything shown, in order.
    std::vector<std::string> texts() const;
    /// The informative line of the last message shown (empty when it had none).
    std::string lastInformative() const {
        return m_shown.empty() ? std::string() : m_shown.back().informative;
    }
    /// Texts of the questions asked (not the messages).
    std::vector<std::string> questions() const;
    int beeps() const { return m_beeps; }
    /// The text the last input box was opened with.
    const std::string& lastInputDefault() const { return m_lastInputDefault; }
    /// The texts the input boxes offered, in order.
    const std::vector<std::string>& inputDefaults() const { return m_inputDefaults; }
    bool allAnswersUsed() const { return m_answers.empty(); }
    void clear() {
        m_shown.clear();
        m_answers.clear();
        m_inputDefaults.clear();
        m_beeps = 0;
    }

    bool askYesNo(const std::string& text, const std::string& caption) override;
    bool askOkCancel(const std::string& text, const std::string& caption) override;
    Answer askYesNoCancel(const std::string& text, const std::string& caption) override;
    bool askRetryCancel(const std::string& text, const std::string& caption) override;
    void inform(const std::string& text, const std::string& caption) override;
    void warn(const std::string& text) override;
    void error(const std::string& text, const std::string& caption) override;
    void informWith(const std::string& text, const std::string& informative,
                    const std::string& caption) override;
    void warnWith(const std::string& text, const std::string& informative) override;
    void errorWith(const std::string& text, const std::string& informative,
                   const std::string& caption) override;
    std::optional<std::string> inputText(const std::string& caption, const std::string& prompt,
                                         const std::string& defaultText) override;
    void beep() override { ++m_beeps; }
    int askChoice(const std::string& text, const std::vector<std::string>& buttons,
                  const std::string& caption) override;

private:
    std::string next(const std::string& question);
    std::deque<std::string> m_answers;
    std::vector<Shown> m_shown;
    std::string m_lastInputDefault;
    std::vector<std::string> m_inputDefaults;
    int m_beeps = 0;
};

} // namespace zentrix::test
