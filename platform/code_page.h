// Character boundaries in the narrow text encodings the program handles.
//
// Narrow text is the platform's multibyte encoding: UTF-8 on Linux, the active
// ANSI code page (GBK on Chinese Windows) there. Rules that speak of "double-
// byte characters" (a match starts only at a character boundary, a separator
// never starts on a trailing byte) go through these routines.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cj::platform {

enum class CodePage {
    Utf8,
    Gbk,         // Code page 936: lead bytes 0x81-0xFE, trail bytes 0x40-0x7E and 0x80-0xFE.
    SingleByte,  // One byte a character, as the Western code page 1252.
};

// The encoding of the program's narrow text on this platform: UTF-8 on Linux;
// on Windows the active code page's: GBK for 936 (and for 949 and 950, whose
// pairs share GBK's lead bytes), UTF-8 for 65001, one byte a character for the
// others.
CodePage ActiveCodePage();

// True when pos is the first byte of a character of text (pos == size counts
// as a boundary). Malformed input never loses text: a byte that does not belong
// to a valid sequence is a character of its own.
//
// UTF-8 answers from the bytes around pos. GBK scans from the start of text,
// since a trail byte can look like ASCII; callers that step through a long text
// should use NextCharBoundary instead.
bool IsCharBoundary(std::string_view text, std::size_t pos, CodePage codePage);

// The boundary after the character that starts at pos (pos must be a boundary
// below text.size()).
std::size_t NextCharBoundary(std::string_view text, std::size_t pos, CodePage codePage);

// The boundary after the character that starts at pos, judged by its first
// byte alone, as the system's own character stepping does on Windows: a GBK
// lead byte (0x81-0xFE) takes the byte after it whatever that byte is, so a
// malformed pair is one character here where NextCharBoundary makes it two.
// For file formats that must split where the Windows program split them (the
// copy list's backup separator). UTF-8 steps as NextCharBoundary: no ASCII
// byte is ever inside a UTF-8 character.
std::size_t NextCharBoundaryByLead(std::string_view text, std::size_t pos, CodePage codePage);

// Conversions between the program's narrow text (the active code page) and
// UTF-16, the UI library's text. The round trip is lossless, so that a file
// whose name is not valid in the code page can still be opened and copied from
// a result row: each byte that does not start a valid character becomes the
// lone surrogate U+DC00 + byte, and such a surrogate turns back into its byte.
// Other unpaired surrogates become "?" in the narrow text.
std::u16string NarrowToUtf16(std::string_view text);
std::string Utf16ToNarrow(std::u16string_view text);

}  // namespace cj::platform
