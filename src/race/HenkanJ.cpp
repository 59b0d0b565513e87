// HenkanJ: conversion of half-width katakana and ASCII to full-width characters.
#include "race/HenkanJ.h"

#include "platform/Cp932.h"

#include <array>
#include <cstdint>

namespace {

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

// JIS X 0208 row and cell to the two Shift-JIS bytes.
void appendJis(std::string& out, std::uint16_t jis) {
    unsigned j1 = jis >> 8;
    unsigned j2 = jis & 0xFF;
    unsigned s1 = ((j1 + 1) >> 1) + (j1 <= 0x5E ? 0x70 : 0xB0);
    unsigned s2;
    if (j1 & 1) {
        s2 = j2 + 0x1F;
        if (s2 >= 0x7F)
            ++s2;
    } else {
        s2 = j2 + 0x7E;
    }
    out += static_cast<char>(s1);
    out += static_cast<char>(s2);
}

// JIS codes of the full-width katakana of half-width 0xA6..0xDD (0 where there is none).
constexpr std::array<std::uint16_t, 0xDE - 0xA6> kKatakana = {
    0x2572, 0x2521, 0x2523, 0x2525, 0x2527, 0x2529, 0x2563, 0x2565, 0x2567, 0x2543, // ｦ..ｯ
    0x213C, // ｰ stands here only to keep the table dense; it is handled as a symbol
    0x2522, 0x2524, 0x2526, 0x2528, 0x252A, // ｱ..ｵ
    0x252B, 0x252D, 0x252F, 0x2531, 0x2533, // ｶ..ｺ
    0x2535, 0x2537, 0x2539, 0x253B, 0x253D, // ｻ..ｿ
    0x253F, 0x2541, 0x2544, 0x2546, 0x2548, // ﾀ..ﾄ
    0x254A, 0x254B, 0x254C, 0x254D, 0x254E, // ﾅ..ﾉ
    0x254F, 0x2552, 0x2555, 0x2558, 0x255B, // ﾊ..ﾎ
    0x255E, 0x255F, 0x2560, 0x2561, 0x2562, // ﾏ..ﾓ
    0x2564, 0x2566, 0x2568,                 // ﾔ..ﾖ
    0x2569, 0x256A, 0x256B, 0x256C, 0x256D, // ﾗ..ﾛ
    0x256F, 0x2573,                         // ﾜ, ﾝ
};

constexpr std::uint16_t kSmallTsu = 0x2543; // ッ, which stands among カ to ト
constexpr std::uint16_t kU = 0x2526;
constexpr std::uint16_t kVu = 0x2574; // ヴ stands apart, after ン

bool isHaToHo(std::uint16_t jis) {
    return jis >= 0x254F && jis <= 0x255B;
}

// The JIS code of kana joined with the mark that follows it; 0 when it has no such form.
// Only カ to ト (not the small ッ) and ハ to ホ are voiced, and ウ becomes ヴ; only ハ to ホ
// take the semi-voiced mark. The voiced ワ and ヲ have no Shift-JIS code.
std::uint16_t markedForm(std::uint16_t kana, unsigned char mark) {
    if (mark == kSemiVoicedMark)
        return isHaToHo(kana) ? static_cast<std::uint16_t>(kana + 2) : 0;
    if (kana == kU)
        return kVu;
    const bool kaToTo = kana >= 0x252B && kana <= 0x2548 && kana != kSmallTsu;
    return kaToTo || isHaToHo(kana) ? static_cast<std::uint16_t>(kana + 1) : 0;
}

// Shift-JIS codes of the full-width forms of the symbol bytes; 0 = not a symbol.
std::uint16_t symbolCode(unsigned char b) {
    switch (b) {
    case 0x20: return 0x8140;
    case 0x21: return 0x8149;
    case 0x22: return 0x8168;
    case 0x23: return 0x8194;
    case 0x24: return 0x8190;
    case 0x25: return 0x8193;
    case 0x26: return 0x8195;
    case 0x27: return 0x8166;
    case 0x28: return 0x8169;
    case 0x29: return 0x816A;
    case 0x3D: return 0x8181;
    case 0x60: return 0x8165;
    case 0x7C: return 0x8162;
    case 0x2D: return 0x817C;
    case 0x5E: return 0x814F;
    case 0x5C: return 0x818F;
    case 0x7E: return 0x8150;
    case 0x7B: return 0x816F;
    case 0x40: return 0x8197;
    case 0x5B: return 0x816D;
    case 0x2B: return 0x817B;
    case 0x2A: return 0x8196;
    case 0x7D: return 0x8170;
    case 0x3B: return 0x8147;
    case 0x3A: return 0x8146;
    case 0x5D: return 0x816E;
    case 0x3C: return 0x8183;
    case 0x3E: return 0x8184;
    case 0x3F: return 0x8148;
    case 0x5F: return 0x8151;
    case 0xA4: return 0x8141;
    case 0xA1: return 0x8142;
    case 0xA5: return 0x8145;
    case 0x2C: return 0x8143;
    case 0x2E: return 0x8144;
    case 0x2F: return 0x815E;
    case 0xB0: return 0x815B;
    case 0xA2: return 0x8175;
    case 0xA3: return 0x8176;
    default: return 0;
    }
}

bool isHalfWidthKana(unsigned char b) {
    return (b >= 0xA6 && b <= 0xAF) || (b >= 0xB1 && b <= 0xDD);
}

bool isAsciiAlnum(unsigned char b) {
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z');
}

} // namespace

std::string ToFullWidth(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    std::size_t i = 0;
    while (i < text.size()) {
        auto b = static_cast<unsigned char>(text[i]);
        auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (isLeadByte(b)) {
            out.append(text.substr(i, 2));
            i += 2;
        } else if (isHalfWidthKana(b)) {
            std::uint16_t kana = kKatakana[b - 0xA6];
            const bool mark = next == kVoicedMark || next == kSemiVoicedMark;
            if (const std::uint16_t marked = mark ? markedForm(kana, next) : 0) {
                appendJis(out, marked);
            } else {
                appendJis(out, kana);
                if (mark)
                    appendJis(out, next == kVoicedMark ? 0x212B : 0x212C);
            }
            i += mark ? 2 : 1;
        } else if (isAsciiAlnum(b)) {
            appendJis(out, static_cast<std::uint16_t>(0x2300 + b));
            ++i;
        } else if (std::uint16_t code = symbolCode(b)) {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
            ++i;
        } else {
            out += static_cast<char>(b);
            ++i;
        }
    }
    return out;
}
