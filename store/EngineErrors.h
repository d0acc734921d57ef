#pragma once

#include <string>

class QSqlError;

// What went wrong, in words, naming the library, followed by the engine's
// own text for support.
std::string DescribeEngineError(const QSqlError& error, const std::string& path);
// "The library "PATH" is read-only."
std::string DescribeReadOnly(const std::string& path);
// Whether an SQLite result code says the library may only be read.
bool IsReadOnlyCode(int code);
