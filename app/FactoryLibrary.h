#pragma once

#include "store/LibraryFile.h"

#include <vector>

// The starter content of the library the program makes on its very first
// start: one category whose items show what weighted iterations and
// punctuation do.
std::vector<LibrarySeedCategory> FactoryLibraryContent();
