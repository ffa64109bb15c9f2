#include "main/core/SpokenReadings.h"

#include <algorithm>
#include <cstdio>

#include "main/core/FactTables.h"
#include "main/core/StudyState.h"

namespace {

constexpr std::string_view kFullWidthSpace = "　";
constexpr std::string_view kDot = "・";
// Margins around the voiced part: the first consonant's attack and the
// last vowel's fall are kept whole.
constexpr int kLeadMs = 20;
constexpr int kTailMs = 60;

// The parts of a displayed reading ("　しち・　は　　・ごじゅうろく　"), without
// their padding: しち, は, ごじゅうろく.
std::vector<std::string> readingParts(std::string_view reading) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < reading.size();) {
        if (reading.substr(i, kDot.size()) == kDot) {
            parts.emplace_back();
            i += kDot.size();
        } else if (reading.substr(i, kFullWidthSpace.size()) == kFullWidthSpace) {
            i += kFullWidthSpace.size();
        } else {
            parts.back() += reading[i++];
        }
    }
    return parts;
}

bool validFact(int q) { return q >= 0 && q < kFactCount; }

// Hiragana (U+3041..U+3096) become katakana, 0x60 code points on; in UTF-8
// that moves the last two bytes only.
std::string toKatakana(std::string_view hiragana) {
    std::string out;
    for (size_t i = 0; i < hiragana.size();) {
        const auto b0 = static_cast<unsigned char>(hiragana[i]);
        if (b0 == 0xE3 && i + 2 < hiragana.size()) {
            const unsigned cp = 0x3000u | (unsigned(static_cast<unsigned char>(hiragana[i + 1]) & 0x3F) << 6) |
                                (unsigned(static_cast<unsigned char>(hiragana[i + 2])) & 0x3F);
            const unsigned k = cp >= 0x3041 && cp <= 0x3096 ? cp + 0x60 : cp;
            out += char(0xE3);
            out += char(0x80 | ((k >> 6) & 0x3F));
            out += char(0x80 | (k & 0x3F));
            i += 3;
        } else {
            out += hiragana[i++];
        }
    }
    return out;
}

}  // namespace

std::string spokenKana(Spoken kind, int q) {
    if (!validFact(q)) return {};
    const std::vector<std::string> parts = readingParts(readingTable[size_t(q)]);
    // The last part is the product; the rest is what a question asks.
    std::string asked;
    for (size_t i = 0; i + 1 < parts.size(); ++i) asked += parts[i];
    if (kind == Spoken::Question) return asked;
    return asked + " " + parts.back();
}

std::string synthesisText(Spoken kind, int q) {
    std::string text;
    for (const char c : spokenKana(kind, q)) {
        if (c == ' ') text += kFullWidthSpace;
        else text += c;
    }
    text = toKatakana(text);
    if (kind == Spoken::Question && !text.empty()) text += "？";
    return text;
}

std::string spokenFileName(Spoken kind, int q) {
    if (!validFact(q)) return {};
    char name[32];
    std::snprintf(name, sizeof name, "kuku_%s_%d%d.wav", kind == Spoken::Chant ? "chant" : "ask", q / 9 + 1, q % 9 + 1);
    return name;
}

std::vector<Phone> parseTrace(std::string_view trace) {
    std::vector<Phone> phones;
    const size_t section = trace.find("[Output label]");
    if (section == std::string_view::npos) return phones;
    size_t at = trace.find('\n', section);
    while (at != std::string_view::npos && at + 1 < trace.size()) {
        const size_t end = trace.find('\n', at + 1);
        const std::string_view line = trace.substr(at + 1, end == std::string_view::npos ? end : end - at - 1);
        at = end;
        // "START END p1^p2-PHONE+p4=p5/A:..." with times in units of 100 ns.
        long long start = 0, stop = 0;
        int used = 0;
        if (std::sscanf(std::string(line).c_str(), "%lld %lld %n", &start, &stop, &used) < 2) break;
        const std::string_view label = line.substr(size_t(used));
        const size_t minus = label.find('-');
        const size_t plus = label.find('+', minus == std::string_view::npos ? 0 : minus);
        if (minus == std::string_view::npos || plus == std::string_view::npos) break;
        phones.push_back({int(start / 10000), int(stop / 10000), std::string(label.substr(minus + 1, plus - minus - 1))});
    }
    return phones;
}

Voiced voicedSpan(const std::vector<Phone>& phones) {
    size_t first = 0, last = phones.size();
    while (first < phones.size() && phones[first].name == "sil") ++first;
    while (last > first && phones[last - 1].name == "sil") --last;
    if (first >= last) return {};
    return {std::max(0, phones[first].startMs - kLeadMs), phones[last - 1].endMs + kTailMs};
}
