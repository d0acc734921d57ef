#pragma once

#include <stdexcept>
#include <string>

// A database error: the file is missing or not a library, a table is
// missing, a write was refused. what() is the database engine's text (or
// ours, naming the file, when the file itself is wrong).
class CDaoException : public std::runtime_error {
public:
    // Why the operation failed: the engine refused it; the file named by
    // the database path is no library this version can use (missing, not a
    // library, made by a newer version), so every recordset opened on such
    // a path fails the same way and a caller may stop at the first one; the
    // library may only be read; or the file a recordset had open is no
    // longer at its path (moved or deleted while the program ran).
    enum class Reason { Engine, NotALibrary, ReadOnly, LibraryGone };

    explicit CDaoException(const std::string& engineText) : std::runtime_error(engineText) {}
    CDaoException(const std::string& text, Reason reason)
        : std::runtime_error(text), m_reason(reason) {}

    Reason GetReason() const { return m_reason; }

private:
    Reason m_reason = Reason::Engine;
};
