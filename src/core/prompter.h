#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zentrix {

enum class Answer { Yes, No, Cancel };

/// How core asks and tells the user. The GUI implements it with message boxes
/// (each preceded by a beep, as the shared dialogs are); tests script it.
/// Every call carries the exact text to show.
class Prompter {
public:
    virtual ~Prompter() = default;

    /// "Confirm" question with Yes and No; true for Yes.
    virtual bool askYesNo(const std::string& text, const std::string& caption = "Confirm") = 0;
    /// "Confirm" with OK and Cancel; true for OK.
    virtual bool askOkCancel(const std::string& text, const std::string& caption = "Confirm") = 0;
    virtual Answer askYesNoCancel(const std::string& text,
                                  const std::string& caption = "Confirm") = 0;
    /// Retry and Cancel (the "Disk not ready!" question); true for Retry.
    virtual bool askRetryCancel(const std::string& text,
                                const std::string& caption = "Warning!") = 0;
    /// "Information" box with OK.
    virtual void inform(const std::string& text, const std::string& caption = "Information") = 0;
    /// The shared warning box: a beep, then an information box.
    virtual void warn(const std::string& text) = 0;
    virtual void error(const std::string& text, const std::string& caption = "Error") = 0;

    /// The same boxes with an informative second line under the fixed text: the
    /// path a failure happened at and the system's reason ("/x/y: Permission
    /// denied"). A prompter without a place for it shows it after the text.
    virtual void informWith(const std::string& text, const std::string& informative,
                            const std::string& caption = "Information") {
        inform(withLine(text, informative), caption);
    }
    virtual void warnWith(const std::string& text, const std::string& informative) {
        warn(withLine(text, informative));
    }
    virtual void errorWith(const std::string& text, const std::string& informative,
                           const std::string& caption = "Error") {
        error(withLine(text, informative), caption);
    }
    /// A line of text; none when cancelled.
    virtual std::optional<std::string> inputText(const std::string& caption,
                                                 const std::string& prompt,
                                                 const std::string& defaultText) = 0;
    /// A warning beep and nothing else.
    virtual void beep() = 0;
    /// A question with buttons of its own (captions with "&" accelerators): the
    /// index of the button chosen, or the last one when the box is closed. A
    /// prompter without such a box answers through askYesNoCancel: Yes is the
    /// first button, No the second and Cancel the last.
    virtual int askChoice(const std::string& text, const std::vector<std::string>& buttons,
                          const std::string& caption = "Confirm") {
        const int last = static_cast<int>(buttons.size()) - 1;
        switch (askYesNoCancel(text, caption)) {
        case Answer::Yes:
            return 0;
        case Answer::No:
            return last > 0 ? 1 : 0;
        case Answer::Cancel:
            break;
        }
        return last;
    }

protected:
    static std::string withLine(const std::string& text, const std::string& informative) {
        return informative.empty() ? text : text + "\n\n" + informative;
    }
};

} // namespace zentrix
