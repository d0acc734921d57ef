#pragma once

#include <stdexcept>
#include <string>

// A database error: the file is missing or not a library, a table is
// missing, a write was refused. what() is the database engine's text (or
// ours, naming the file, when the file itself is wrong).
class CDaoException : public std::runtime_error {
public:
    explicit CDaoException(const std::string& engineText) : std::runtime_error(engineText) {}
};
