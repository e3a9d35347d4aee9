// Help topics are HTML files beside the program that anyone may edit: reading
// one must never crash or hang, every section it declares must lie inside its
// text, and lookups and searches over it must stay inside it too.
#include "core/helpindex.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view html(reinterpret_cast<const char*>(data), size);
    zentrix::HelpTopic topic = zentrix::ReadHelpTopic("topic.html", html);
    if (topic.title.empty())
        std::abort();
    for (const auto& target : topic.targets)
        if (target.offset > topic.text.size() || target.key.empty())
            std::abort();
    // A lookup goes through every key the topic declares: a sample of them, the
    // first and the last ones, keeps the run linear in the input.
    zentrix::HelpIndex index;
    std::vector<std::string> keys;
    const size_t count = topic.targets.size();
    for (size_t i = 0; i < count; ++i)
        if (i < 16 || i + 16 >= count)
            keys.push_back(topic.targets[i].key);
    index.Add(std::move(topic));
    for (const std::string& key : keys) {
        if (index.TopicFor(key).rfind("topic.html", 0) != 0)
            std::abort();
        (void)index.SummaryFor(key, 64);
    }
    // The input's own start as the words to search for.
    (void)index.Search(html.substr(0, std::min<size_t>(size, 24)));
    return 0;
}
