#pragma once

#include <string>

class QSqlError;

// What went wrong with an SQLite library, in words naming it, followed by
// the engine's own text for support.
std::string DescribeEngineError(const QSqlError& error, const std::string& path);
// "The library "PATH" is read-only." (a server address without its
// password).
std::string DescribeReadOnly(const std::string& path);
// Whether an SQLite result code says the library may only be read.
bool IsReadOnlyCode(int code);
