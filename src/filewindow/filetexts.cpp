#include "filewindow/filetexts.h"

#include "catalogue/fileclass.h"
#include "config/settings.h"
#include "core/text.h"
#include "platform/filetime.h"

#include <ctime>
#include <vector>

namespace zentrix {

std::string FormatNumberPicture(int64_t value, std::string_view picture) {
    size_t field = 0;
    for (const char c : picture)
        field += c == '#';
    const std::string digits = std::to_string(value);
    if (digits.size() > field) {
        // Too wide: as many whole groups of three as the number needs.
        const bool negative = value < 0;
        const std::string magnitude = std::to_string(negative ? 0 - static_cast<uint64_t>(value)
                                                              : static_cast<uint64_t>(value));
        std::string grouped;
        for (size_t i = 0; i < magnitude.size(); ++i) {
            if (i > 0 && (magnitude.size() - i) % 3 == 0)
                grouped.push_back('.');
            grouped.push_back(magnitude[i]);
        }
        return negative ? "-" + grouped : grouped;
    }
    const std::string text = std::string(field - digits.size(), ' ') + digits;
    std::string out(picture);
    size_t from = text.size(); // next character of the text, taken from the right
    for (size_t i = out.size(); i-- > 0;) {
        if (out[i] == '#') {
            out[i] = text[--from];
            continue;
        }
        if (out[i] != '.')
            continue;
        // A full stop stays only where a digit of the number stands to its left.
        const bool digitLeft = from > 0 && text[from - 1] >= '0' && text[from - 1] <= '9';
        if (!digitLeft)
            out[i] = ' ';
    }
    return Trim(out);
}

std::string SizeText(int64_t fileSize) {
    return FormatNumberPicture(fileSize, kSizePicture);
}

std::string StatFigureText(int64_t value) {
    return FormatNumberPicture(value, kStatPicture);
}

std::string DateText(int64_t lastWriteTime) {
    const timespec ts = platform::FromFileTime(lastWriteTime);
    const time_t seconds = ts.tv_sec;
    tm local{};
    if (!localtime_r(&seconds, &local))
        return {};
    char buf[128];
    const size_t n = std::strftime(buf, sizeof buf, "%x %X", &local);
    return std::string(buf, n);
}

std::string AttributeText(uint16_t attributes) {
    static const struct {
        uint16_t bit;
        char letter;
    } kOrder[] = {{0x20, 'A'}, {0x01, 'R'}, {0x04, 'S'}, {0x02, 'H'}, {0x08, 'V'}, {0x10, 'D'}};
    std::string text;
    for (const auto& a : kOrder)
        if (attributes & a.bit)
            text.push_back(a.letter);
    return text;
}

std::string RowDetailsText(const TFileClass& record, std::string_view description) {
    const int64_t size = record.FileSize();
    std::string text = GroupedNumber(size) + (size == 1 ? " byte" : " bytes");
    if (std::string date = DateText(record.LastWriteTime()); !date.empty())
        text += ", " + date;
    if (std::string attributes = AttributeText(record.Attributes()); !attributes.empty())
        text += ", " + attributes;
    if (!description.empty())
        text.append(", ").append(description);
    return text;
}

std::string ShortPathName(const std::string& path) {
    return path;
}

namespace {

std::string afterLastSeparator(const std::string& path) {
    const size_t cut = path.find_last_of("\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

} // namespace

std::string EntryNameText(const TFileClass& record, const Settings& settings) {
    if (settings.ShowShortNames)
        return afterLastSeparator(ShortPathName(record.FullName()));
    if (settings.DisplayFullPathOption)
        return record.FullName();
    return std::string(record.FileName());
}

std::string ColumnNameText(const TFileClass& record, const Settings& settings) {
    if (settings.ShowShortNames)
        return afterLastSeparator(ShortPathName(record.FullName()));
    return std::string(record.FileName());
}

std::string FitText(std::string_view text, int available,
                    const std::function<int(std::string_view)>& width, FitSide side) {
    if (width(text) <= available)
        return std::string(text);
    // Character boundaries (UTF-8 lead bytes), so that no character is cut.
    std::vector<size_t> bounds;
    for (size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80)
            bounds.push_back(i);
    const size_t chars = bounds.size();
    if (chars == 0)
        return std::string(kEllipsis);
    auto candidate = [&](size_t keep) {
        std::string s;
        if (side == FitSide::End) {
            s.assign(text.substr(0, keep < chars ? bounds[keep] : text.size()));
            s += kEllipsis;
        } else {
            s.assign(kEllipsis);
            s += text.substr(keep == 0 ? text.size() : bounds[chars - keep]);
        }
        return s;
    };
    // The widths grow with the characters kept, so the longest fitting rest is
    // found by halving instead of removing one character at a time.
    size_t lo = 0, hi = chars - 1; // keeping all characters did not fit
    if (width(candidate(0)) > available)
        return std::string(kEllipsis);
    while (lo < hi) {
        const size_t mid = (lo + hi + 1) / 2;
        if (width(candidate(mid)) <= available)
            lo = mid;
        else
            hi = mid - 1;
    }
    return candidate(lo);
}

} // namespace zentrix
