#pragma once

#include <memory>

class CLibraryConnection;
class CLibraryLocation;

// Opens the library that `location` names (a file path or a server
// address, see CLibraryLocation) on the engine that serves it, after
// checking that it is a library this version can use; one that is not is
// refused with a message naming it (Reason::NotALibrary), before anything
// is written to it. A library this user may not change is opened for
// reading only.
//
// A connection given back with CLibraryConnection::Release is kept for the
// next open of the same library: the recordsets open and close a
// connection at every fill of a list.
std::unique_ptr<CLibraryConnection> OpenLibrary(const CLibraryLocation& location);
