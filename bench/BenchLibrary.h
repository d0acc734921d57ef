#pragma once

// A generated library for the benchmarks: 100,000 items in 100 categories,
// one of them holding 10,000 items and another 1,000.

#include <string>
#include <vector>

struct GeneratedLibrary {
    std::string path;                    // a file path or a server address
    std::string bigCategory;             // 10,000 items
    std::string orderCategory;           // 1,000 items
    std::vector<std::string> sampleKeys; // 4,096 item keys at random
    std::vector<std::string> orderKeys;  // the keys of orderCategory, in order
};

extern GeneratedLibrary* g_library;

// Writes the library to library.path and fills in the keys.
void Generate(GeneratedLibrary& library);
