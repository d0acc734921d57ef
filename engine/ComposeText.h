#pragma once

#include <cstdint>
#include <functional>
#include <string>

// One candidate iteration found by the composition's scan. It points into
// the scanned text and owns no characters.
class CSTFragment {
public:
    CSTFragment(const char* text, const char* weight, int nWeight)
        : m_nWeight(nWeight), m_pszWeight(weight), m_pszText(text) {}
    virtual ~CSTFragment() = default;

    CSTFragment(const CSTFragment&) = default;
    CSTFragment& operator=(const CSTFragment&) = default;

    int m_nWeight;           // weight character as a signed byte, minus '0'
    const char* m_pszWeight; // the weight character; end (exclusive) of the text
    const char* m_pszText;   // first character of the text
};

// Picks one record of `source` (a Data text) by a weighted random draw and
// puts its text into `output`: appended when `append` is nonzero, replacing
// the content otherwise. Records end in "|", or in "~" when `tilde` is
// nonzero.
//
// Returns 1 when a text was chosen. Returns 0, leaving `output` untouched,
// when the source is empty, holds no separator, or no record is chosen
// (every weight zero, or negative weights that keep every running sum at or
// below the draw). One random value is drawn whenever the source holds a
// separator.
//
// A separator at the very start of the source, or right after another
// separator, closes an empty record: it has neither text nor weight
// character, so it yields no fragment and adds nothing to the total, just
// as the editor's parse skips it.
int ComposeText(std::string& output, const std::string& source, int append, int tilde);

// The random source the composition draws from: one integer 0..32767 per
// composition. By default a generator that SeedRandomSource seeds once at
// start-up. Tests and benchmarks replace it; an empty function restores
// the default generator. A replacement's value outside 0..32767 is taken
// modulo 32768 (so -1 gives 32767).
void SetRandomSource(std::function<int()> source);
void SeedRandomSource(std::uint32_t seed);
int DrawRandomValue();

// The exact draw: the record boundary m (0..total-1) for the random value r
// and the total weight T, computed in IEEE double arithmetic as
// trunc(frac(r / T) * T). It equals r mod T only when T is a power of two.
// A total of 0 gives 0; so does a negative r, which no source gives.
std::uint32_t DrawBoundary(int r, std::uint32_t total);
