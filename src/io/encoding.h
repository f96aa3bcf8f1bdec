// Conversion between the 8-bit Windows-1252 text the core holds and UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace tabulon {

std::string Cp1252ToUtf8(std::string_view bytes);
// Characters outside the code page become "?"; so does each byte of a
// malformed sequence (overlong forms and surrogates included). U+0081,
// U+008D, U+008F, U+0090 and U+009D give the bytes the code page leaves
// without a character, so every byte reads back after Cp1252ToUtf8.
std::string Utf8ToCp1252(std::string_view utf8);
// Whether the bytes are well-formed UTF-8 containing at least one
// multi-byte sequence (plain ASCII is the same in both encodings).
bool LooksLikeUtf8(std::string_view bytes);

}  // namespace tabulon
