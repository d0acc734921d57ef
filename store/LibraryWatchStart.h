#pragma once

#include <memory>

class CLibraryLocation;
class CLibraryWatch;

// Starts watching the library at `location` (a file path or a server
// address) with the watcher its engine needs. Never throws: a library that
// can't be reached now is watched from the moment it can be.
std::unique_ptr<CLibraryWatch> StartLibraryWatch(const CLibraryLocation& location);
