#include "catalogue/discinforecord.h"

#include "platform/discsector.h"

#include <ctime>

namespace zentrix {

namespace {

// Control bytes count as blanks: some mastering tools pad with zeros.
std::string field(std::string_view sector, size_t at, size_t length) {
    std::string out(sector.substr(at, length));
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 32 || c == 127)
            c = ' ';
    const size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    const size_t last = out.find_last_not_of(' ');
    return out.substr(first, last - first + 1);
}

bool isLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

DiscDate dateField(std::string_view sector, size_t at) {
    int digits[8];
    for (size_t i = 0; i < 8; ++i) {
        const char c = sector[at + i];
        if (c < '0' || c > '9')
            return {};
        digits[i] = c - '0';
    }
    DiscDate d;
    d.year = digits[0] * 1000 + digits[1] * 100 + digits[2] * 10 + digits[3];
    d.month = digits[4] * 10 + digits[5];
    d.day = digits[6] * 10 + digits[7];
    if (d.year == 0)
        d.year = 1;
    if (d.month == 0)
        d.month = 1;
    if (d.day == 0)
        d.day = 1;
    if (d.month > 12 || d.day > daysInMonth(d.year, d.month))
        return {};
    return d;
}

} // namespace

std::string ShortDateText(const DiscDate& date) {
    struct tm t {};
    if (date.Empty()) {
        t.tm_year = 1899 - 1900;
        t.tm_mon = 11;
        t.tm_mday = 30;
    } else {
        t.tm_year = date.year - 1900;
        t.tm_mon = date.month - 1;
        t.tm_mday = date.day;
    }
    char buffer[64];
    const size_t n = std::strftime(buffer, sizeof buffer, "%x", &t);
    return std::string(buffer, n);
}

DiscInfoRecord ParseDiscInfoRecord(std::string_view sector) {
    DiscInfoRecord r;
    if (sector.size() < 2048 || sector[0] != 1 || sector.substr(1, 5) != "CD001")
        return r;
    r.system = field(sector, 8, 32);
    r.volume = field(sector, 40, 32);
    r.volumeSet = field(sector, 190, 128);
    r.publisher = field(sector, 318, 128);
    r.preparer = field(sector, 446, 128);
    r.application = field(sector, 574, 128);
    // The three file identifiers are 37 bytes each, one after the other.
    r.copyrightFile = field(sector, 702, 37);
    r.abstractFile = field(sector, 739, 37);
    r.bibliographicFile = field(sector, 776, 37);
    r.created = dateField(sector, 813);
    r.modified = dateField(sector, 830);
    r.expires = dateField(sector, 847);
    r.effective = dateField(sector, 864);
    return r;
}

DiscInfoRecord ReadDiscInfoRecord(const platform::DriveInfo& drive) {
    const auto sector = platform::ReadDiscSector(drive.device, 16);
    return sector ? ParseDiscInfoRecord(*sector) : DiscInfoRecord{};
}

} // namespace zentrix
