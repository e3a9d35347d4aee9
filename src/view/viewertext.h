#pragma once

#include "view/lineindex.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zentrix {

/// How the viewer decodes a text file. UTF-16 is recognised by its byte-order
/// mark only; otherwise a file whose start is valid UTF-8 is read as UTF-8 and
/// any other as Latin-1 (with the Windows code page's letters in 0x80..0x9F).
enum class TextEncoding { Utf8, Latin1, Utf16LE, Utf16BE };

/// Decides the encoding from the first bytes of a file (64 KiB are plenty).
TextEncoding DetectEncoding(std::string_view start);
/// Length of the byte-order mark of `encoding` at the start of `start` (0 without).
size_t ByteOrderMarkLength(TextEncoding encoding, std::string_view start);
LineFeedUnit LineFeedUnitOf(TextEncoding encoding);
/// The name shown in the viewer's status line ("UTF-8", "Latin-1", "UTF-16LE" ...).
const char* EncodingName(TextEncoding encoding);

/// The text test of the automatic hex choice, on the first 256 bytes of a file:
/// tab, line feed, carriage return and 32..127 are fine, letters and digits
/// (also beyond ASCII, and whole UTF-8 sequences) too; more than 9 other bytes
/// make the file binary. A UTF-16 byte-order mark makes it text.
bool LooksLikeText(std::string_view first256);

/// A line stops growing once it holds more than this many characters.
constexpr size_t kMaxLineChars = 4096;
/// The most bytes of a line that forming it ever looks at.
constexpr size_t kLineReadLimit = 65536;

/// The display form (UTF-8) of a text line from the bytes at its start (they
/// may run on past its line feed): up to the line feed, a tab as 8 blanks,
/// control characters (carriage return included) left out, and a byte that is
/// not valid in the encoding shown as its Latin-1 character, never dropped.
/// `atFileStart` skips a byte-order mark.
std::string FormTextLine(std::string_view bytes, TextEncoding encoding, bool atFileStart = false);

/// The display form of a hex line: offset in 8 upper-case hex digits, " : ",
/// " XX" per byte, a blank and the bytes as characters in double quotes (0 as a
/// blank, 1..31 as the character 255). `lineLength` is the line's full length:
/// a shorter (last) line is padded to it.
std::string FormHexLine(int64_t offset, std::string_view bytes, int lineLength);

/// True when `text` occurs in `line` (both UTF-8); without `matchCase` letters
/// of any case match.
bool LineContains(std::string_view line, std::string_view text, bool matchCase);

/// The dump page of the file information window: 1,024 bytes as 128 lines of
/// 8 ("0000: 4D 5A ..  MZ......"); bytes past `data` show as 00 and ".".
std::vector<std::string> DumpLines(std::string_view data);

/// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t cp);
/// The character a single byte stands for in Latin-1 text (the Windows code
/// page's letters in 0x80..0x9F).
char32_t Latin1Char(unsigned char byte);

} // namespace zentrix
