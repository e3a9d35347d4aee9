#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

/// One help topic, read from its HTML file in the help folder.
///
/// A topic says which parts of the program it explains with the attribute
/// `data-help` on any element: blank-separated help-context numbers ("77")
/// and component names ("MainTreeView"). On the page's `body` (or `html`) the
/// words stand for the whole topic; on another element with an `id` for the
/// section that starts there. So a new topic needs no code: its file and a line
/// in the contents page.
struct HelpTopic {
    std::string file;  ///< the file name in the help folder ("tree.html")
    std::string title; ///< the text of its title element, else the file name
    std::string text;  ///< its words as plain text: tags dropped, entities decoded

    struct Target {
        std::string key;    ///< a context number ("77") or a component name
        std::string anchor; ///< the section's id; empty for the whole topic
        size_t offset = 0;  ///< where the section starts in `text`
    };
    std::vector<Target> targets;
};

/// At most this much of a topic file is read.
inline constexpr size_t kMaxHelpTopicBytes = 2 * 1024 * 1024;

/// Reads a topic from its HTML. Linear in the input; never fails: whatever is
/// not understood is left out.
HelpTopic ReadHelpTopic(std::string file, std::string_view html);

/// A topic found by a search.
struct HelpHit {
    std::string file;
    std::string title;
    int score = 0;       ///< higher is better
    std::string excerpt; ///< the words around the first match
};

/// The topics of the help folder, found by context number, component name or
/// words.
class HelpIndex {
public:
    void Add(HelpTopic topic);
    const std::vector<HelpTopic>& Topics() const { return m_topics; }
    bool Empty() const { return m_topics.empty(); }

    /// "tagging.html#attributes" (or "tree.html") for a context number or a
    /// component name; empty when no topic declares it.
    std::string TopicFor(std::string_view key) const;
    std::string TopicFor(int context) const { return TopicFor(std::to_string(context)); }
    /// A few sentences from the start of the key's section, for a pop-up; empty
    /// when no topic declares the key.
    std::string SummaryFor(std::string_view key, size_t maxBytes = 400) const;
    /// The title of the topic file ("Tagging"); empty when there is none.
    std::string TitleOf(std::string_view file) const;

    /// Topics holding every word of the query (case ignored; a word matches
    /// inside longer words), best first: words in the title count most, then
    /// how often they occur.
    std::vector<HelpHit> Search(std::string_view query, size_t limit = 50) const;

private:
    const HelpTopic::Target* find(std::string_view key, const HelpTopic** topic) const;

    std::vector<HelpTopic> m_topics;
    std::vector<std::string> m_lowered; ///< title and text in lower case, per topic
};

/// The folders where the help topics are looked for, in order, for the folder
/// of the executable: beside it (the build folder), then where an installation
/// puts them (`<prefix>/share/zentrix/help` beside `<prefix>/bin`).
std::vector<std::string> HelpDirectoryCandidates(const std::string& executableDir);

} // namespace zentrix
