#pragma once

#include "core/prompter.h"

class QWidget;

namespace zentrix {

/// The shared message boxes: each is preceded by a beep, questions are titled
/// "Confirm", information boxes "Information".
class GuiPrompter : public Prompter {
public:
    explicit GuiPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }

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
    void beep() override;
    int askChoice(const std::string& text, const std::vector<std::string>& buttons,
                  const std::string& caption) override;

private:
    QWidget* m_parent;
};

} // namespace zentrix
