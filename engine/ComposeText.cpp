#include "engine/ComposeText.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

int WeightOf(char weightCharacter) {
    return static_cast<int>(static_cast<signed char>(weightCharacter)) - '0';
}

} // namespace

std::uint32_t DrawBoundary(int r, std::uint32_t total) {
    if (total == 0 || r < 0) {
        // r / 0 has no fraction to speak of; every running sum is compared
        // against 0, which also keeps the conversion below defined.
        return 0;
    }
    const double t = static_cast<double>(total);
    const double q = static_cast<double>(r) / t;
    double integral = 0.0;
    const double fraction = std::modf(q, &integral);
    const double p = fraction * t;
    // 0 <= r, so 0 <= p < t <= 2^32 - 1 and the truncation fits.
    return static_cast<std::uint32_t>(p);
}

int ComposeText(std::string& output, const std::string& source, int append, int tilde) {
    if (source.empty()) {
        return 0;
    }
    const char separator = tilde != 0 ? '~' : '|';
    if (source.find(separator) == std::string::npos) {
        return 0;
    }

    const char* const begin = source.data();
    const char* const end = begin + source.size();
    std::vector<CSTFragment> fragments;
    fragments.reserve(10);
    std::uint32_t total = 0;
    const char* textStart = begin;
    for (const char* bar = begin; bar != end; ++bar) {
        if (*bar != separator) {
            continue;
        }
        if (bar != textStart) {
            const char* weight = bar - 1;
            const int w = WeightOf(*weight);
            total += static_cast<std::uint32_t>(w); // wraps like the 32-bit sum it is
            fragments.emplace_back(textStart, weight, w);
        }
        textStart = bar + 1;
    }

    const int r = DrawRandomValue();
    const std::uint32_t m = DrawBoundary(r, total);

    const CSTFragment* chosen = nullptr;
    std::uint32_t running = 0;
    for (const CSTFragment& fragment : fragments) {
        running += static_cast<std::uint32_t>(fragment.m_nWeight);
        if (running > m) {
            chosen = &fragment;
            break;
        }
    }
    if (chosen == nullptr) {
        return 0;
    }

    const auto length = static_cast<std::size_t>(chosen->m_pszWeight - chosen->m_pszText);
    if (append != 0) {
        output.append(chosen->m_pszText, length);
    } else {
        output.assign(chosen->m_pszText, length);
    }
    return 1;
}
