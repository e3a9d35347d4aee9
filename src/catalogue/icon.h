#pragma once

#include <memory>
#include <string>

namespace zentrix {

/// An icon picture. Core only holds and disposes of icons; the windows make
/// them (a subclass carries the real picture).
class TIcon {
public:
    virtual ~TIcon() = default;
};

/// Makes icons for the description cache. The windows install one; without it
/// the cache holds no icons.
class IconProvider {
public:
    virtual ~IconProvider() = default;
    /// The large icon for files like hostPath (of the given MIME type), or the
    /// standard application icon when the system has none.
    virtual std::unique_ptr<TIcon> largeIconFor(const std::string& hostPath,
                                                const std::string& mimeName) = 0;
};

} // namespace zentrix
