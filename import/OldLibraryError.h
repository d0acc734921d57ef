#pragma once

#include <stdexcept>
#include <string>

// An older library file that can't be imported; what() is a sentence for
// the user that names the file and says why.
class COldLibraryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws: "<source>" can't be imported: <why>
[[noreturn]] inline void ThrowOldLibraryError(const std::string& source, const std::string& why) {
    throw COldLibraryError("\"" + source + "\" can't be imported: " + why);
}

// Throws the same for a file whose bytes contradict themselves: <what>,
// then that the file is damaged or cut short.
[[noreturn]] inline void ThrowDamagedOldLibrary(const std::string& source,
                                                const std::string& what) {
    ThrowOldLibraryError(source, what + ": the file is damaged or cut short.");
}
