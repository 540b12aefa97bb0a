// SPDX-License-Identifier: MIT
#include "safe_text.h"

#include <cstdint>

namespace quenrow::cli {

namespace {

constexpr std::size_t kQuotedCharacters = 60;
constexpr char kHex[] = "0123456789abcdef";

// One character of UTF-8 at the start of text: its code point and length,
// or kInvalid and 1 for a byte that does not start a well-formed sequence
// (overlong forms, surrogates and values past U+10FFFF included).
constexpr char32_t kInvalid = 0xFFFFFFFF;

struct Decoded {
    char32_t code;
    std::size_t length;
};

Decoded decode(std::string_view text)
{
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80)
        return {lead, 1};
    std::size_t length;
    char32_t code, least;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2, code = lead & 0x1F, least = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, code = lead & 0x0F, least = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, code = lead & 0x07, least = 0x10000;
    else
        return {kInvalid, 1};
    if (text.size() < length)
        return {kInvalid, 1};
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80)
            return {kInvalid, 1};
        code = code << 6 | (byte(i) & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return {kInvalid, 1};
    return {code, length};
}

// Characters that change how the text around them is shown without being
// seen themselves: C1 controls, bidi embeddings, overrides and isolates,
// zero widths, line and paragraph separators, the byte order mark.
bool isInvisible(char32_t c)
{
    return (c >= 0x80 && c <= 0x9F) || c == 0x061C || (c >= 0x200B && c <= 0x200F) ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x2069) || c == 0xFEFF;
}

void appendHexByte(std::string &out, std::uint8_t byte)
{
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
}

void appendU4(std::string &out, char32_t c)
{
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4)
        out += kHex[(c >> shift) & 15];
}

// Appends the first `limit` characters made showable; returns how many
// characters the whole text has (an invalid byte counts as one).
std::size_t appendShowable(std::string &out, std::string_view text, std::size_t limit)
{
    std::size_t characters = 0;
    while (!text.empty()) {
        const Decoded d = decode(text);
        if (characters++ < limit) {
            if (d.code == kInvalid)
                appendHexByte(out, static_cast<std::uint8_t>(text[0]));
            else if (d.code == '\n')
                out += "\\n";
            else if (d.code == '\t')
                out += "\\t";
            else if (d.code == '\r')
                out += "\\r";
            else if (d.code < 0x20 || d.code == 0x7F)
                appendHexByte(out, static_cast<std::uint8_t>(d.code));
            else if (isInvisible(d.code))
                appendU4(out, d.code);
            else
                out.append(text.substr(0, d.length));
        }
        text.remove_prefix(d.length);
    }
    return characters;
}

} // namespace

std::string showable(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    appendShowable(out, text, std::string_view::npos);
    return out;
}

std::string quotedToken(std::string_view text)
{
    std::string out = "\"";
    const std::size_t characters = appendShowable(out, text, kQuotedCharacters);
    if (characters <= kQuotedCharacters)
        return out + '"';
    return out + "...\" (" + std::to_string(characters) + " characters)";
}

void appendJsonString(std::string &out, std::string_view text)
{
    out += '"';
    while (!text.empty()) {
        const Decoded d = decode(text);
        if (d.code == kInvalid)
            out += "\xEF\xBF\xBD";
        else if (d.code == '"' || d.code == '\\')
            out.append(1, '\\').append(1, static_cast<char>(d.code));
        else if (d.code == '\n')
            out += "\\n";
        else if (d.code == '\t')
            out += "\\t";
        else if (d.code < 0x20 || d.code == 0x7F || isInvisible(d.code))
            appendU4(out, d.code);
        else
            out.append(text.substr(0, d.length));
        text.remove_prefix(d.length);
    }
    out += '"';
}

} // namespace quenrow::cli
