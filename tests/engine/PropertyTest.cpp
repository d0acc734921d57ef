// Properties of the engine over a generated corpus: Data survives the
// editor's parse and build unchanged, and the composition picks exactly the
// record that an independent implementation of the draw picks, for every
// random value a source can give (and a source's stray values stay in
// range).
#include "engine/ComposeText.h"
#include "engine/VerbiageIteration.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

struct Record {
    std::string text;
    int weight;
};

// Item texts of every kind the editor can store: ASCII, UTF-8 of several
// widths, blanks and line breaks, the tilde; weights 1 to 9.
std::vector<std::vector<Record>> Corpus() {
    const std::vector<std::string> pieces = {"Hello",        "a",      " ",          "\n",
                                             "Grüße",        "日本語", "🙂 emoji", "tab\there",
                                             "tilde~inside", "x y z",  "9",          "0"};
    std::mt19937 generator(20261207);
    std::vector<std::vector<Record>> corpus;
    for (int item = 0; item < 300; ++item) {
        std::vector<Record> records;
        const int count = 1 + static_cast<int>(generator() % 12);
        for (int i = 0; i < count; ++i) {
            std::string text;
            const int parts = 1 + static_cast<int>(generator() % 3);
            for (int p = 0; p < parts; ++p) {
                text += pieces[generator() % pieces.size()];
            }
            records.push_back({text, 1 + static_cast<int>(generator() % 9)});
        }
        corpus.push_back(records);
    }
    return corpus;
}

std::string Encode(const std::vector<Record>& records) {
    std::string data;
    for (const Record& record : records) {
        data += record.text + static_cast<char>('0' + record.weight) + '|';
    }
    return data;
}

// The draw written again from its definition: the boundary is the whole
// part of the fraction of r / T times T, in double arithmetic, and the
// first record whose running weight exceeds it is chosen.
std::size_t IndependentChoice(const std::vector<Record>& records, int r) {
    std::uint32_t total = 0;
    for (const Record& record : records) {
        total += static_cast<std::uint32_t>(record.weight);
    }
    const double t = static_cast<double>(total);
    const double q = static_cast<double>(r) / t;
    const double fraction = q - std::floor(q);
    const auto m = static_cast<std::uint32_t>(std::trunc(fraction * t));
    std::uint32_t running = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        running += static_cast<std::uint32_t>(records[i].weight);
        if (running > m) {
            return i;
        }
    }
    return records.size();
}

TEST(Properties, DataSurvivesParseAndBuild) {
    for (const std::vector<Record>& records : Corpus()) {
        const std::string data = Encode(records);
        CVerbiageIteration model;
        model.m_strData = data;
        model.ParseData();
        ASSERT_EQ(model.m_arrIterations.GetSize(), records.size()) << data;
        for (std::size_t i = 0; i < records.size(); ++i) {
            std::string text;
            std::string weight;
            CVerbiageIteration::SplitIteration(model.m_arrIterations.GetAt(i)->m_strIteration, text,
                                               weight);
            ASSERT_EQ(text, records[i].text) << data;
            ASSERT_EQ(weight, std::string(1, static_cast<char>('0' + records[i].weight))) << data;
        }
        model.m_strData.clear();
        model.BuildData();
        ASSERT_EQ(model.m_strData, data);
    }
}

TEST(Properties, TheDrawPicksWhatAnIndependentDrawPicks) {
    int r = 0;
    SetRandomSource([&r] { return r; });
    for (const std::vector<Record>& records : Corpus()) {
        const std::string data = Encode(records);
        for (r = 0; r <= 32767; r += 37) {
            std::string output;
            ASSERT_EQ(ComposeText(output, data, 0, 0), 1) << data;
            ASSERT_EQ(output, records[IndependentChoice(records, r)].text) << data << " r=" << r;
        }
    }
    SetRandomSource({});
}

TEST(Properties, AStraySourceValueIsKeptInRange) {
    for (const int stray : {-1, -32768, 32768, 65535, INT_MIN, INT_MAX}) {
        SetRandomSource([stray] { return stray; });
        const int r = DrawRandomValue();
        EXPECT_GE(r, 0) << stray;
        EXPECT_LE(r, 32767) << stray;
        std::string output;
        EXPECT_EQ(ComposeText(output, "A1|B1|C1|", 0, 0), 1) << stray;
    }
    SetRandomSource({});
    EXPECT_EQ(DrawBoundary(-5, 3), 0U);
}

} // namespace
