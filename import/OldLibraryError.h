#pragma once

#include <stdexcept>

// An older library file that can't be imported; what() is a sentence for
// the user that names the file and says why.
class COldLibraryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
