#include "engine/FindFold.h"

#include <algorithm>

namespace {

// What each code point of a run becomes: a letter, or '?' for "unchanged".
struct FoldRun {
    char32_t first;
    const char* letters;
};

// Latin-1 Supplement (U+00C0-U+00FF) and Latin Extended-A (U+0100-U+017F).
// Ligatures, thorn, eth-less letters and signs (Æ, ß, Þ, ×, ÷, Œ, Ĳ, ĸ,
// ŉ, Ŋ) are left alone: they fold to no single letter.
constexpr FoldRun kRuns[] = {
    {0x00C0, "aaaaaa?ceeeeiiiidnooooo?ouuuuy??aaaaaa?ceeeeiiiidnooooo?ouuuuy?y"},
    {0x0100, "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii??jjkk?llllllllll"
             "nnnnnn???oooooo??rrrrrrsssssssstttttt"
             "uuuuuuuuuuuuwwyyyzzzzzzs"},
};

// The combining accents that decomposed text puts after a Latin letter:
// grave to diaeresis, ring, double acute, caron, cedilla and ogonek.
constexpr char32_t kCombiningAccents[] = {0x0300, 0x0301, 0x0302, 0x0303, 0x0304, 0x0305, 0x0306,
                                          0x0307, 0x0308, 0x030A, 0x030B, 0x030C, 0x0327, 0x0328};

std::vector<FoldedCharacter> MakeTable() {
    std::vector<FoldedCharacter> table;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        table.push_back({static_cast<char32_t>(letter), static_cast<char>(letter - 'A' + 'a')});
    }
    for (const FoldRun& run : kRuns) {
        char32_t codePoint = run.first;
        for (const char* letter = run.letters; *letter != '\0'; ++letter, ++codePoint) {
            if (*letter != '?') {
                table.push_back({codePoint, *letter});
            }
        }
    }
    for (const char32_t accent : kCombiningAccents) {
        table.push_back({accent, '\0'});
    }
    return table;
}

// The replacement of `codePoint`: its letter, '\0' when dropped, or -1 when
// the fold leaves it alone.
int FoldOf(char32_t codePoint) {
    static const std::vector<FoldedCharacter> sorted = [] {
        std::vector<FoldedCharacter> table = FindFoldTable();
        std::sort(table.begin(), table.end(),
                  [](const auto& a, const auto& b) { return a.codePoint < b.codePoint; });
        return table;
    }();
    const auto found = std::lower_bound(
        sorted.begin(), sorted.end(), codePoint,
        [](const FoldedCharacter& entry, char32_t wanted) { return entry.codePoint < wanted; });
    if (found == sorted.end() || found->codePoint != codePoint) {
        return -1;
    }
    return found->replacement;
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

} // namespace

const std::vector<FoldedCharacter>& FindFoldTable() {
    static const std::vector<FoldedCharacter> table = MakeTable();
    return table;
}

std::string FoldForFind(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 'A' && byte <= 'Z') {
            folded += static_cast<char>(byte - 'A' + 'a');
            continue;
        }
        // Every folded character beyond ASCII takes two bytes in UTF-8.
        if ((byte & 0xE0) == 0xC0 && i + 1 < text.size() &&
            IsContinuation(static_cast<unsigned char>(text[i + 1]))) {
            const char32_t codePoint = (static_cast<char32_t>(byte & 0x1F) << 6) |
                                       (static_cast<unsigned char>(text[i + 1]) & 0x3F);
            const int replacement = FoldOf(codePoint);
            if (replacement >= 0) {
                if (replacement != '\0') {
                    folded += static_cast<char>(replacement);
                }
                ++i;
                continue;
            }
        }
        folded += text[i];
    }
    return folded;
}
