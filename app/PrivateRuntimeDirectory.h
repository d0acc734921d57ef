#pragma once

#include <QString>

// A directory that only this user can reach, for files other users must
// neither read, block nor fake (the single-instance lock and socket).
//
// The session's runtime directory when there is one. Otherwise
// "blurtle-<uid>" in the temporary directory, else in the user's cache
// directory, each made with mode 0700. One that is there already is used
// only when it is a real directory owned by this user: a symbolic link is
// replaced, a directory other users could reach is emptied and closed to
// them first (what it holds may have been put there by someone else), and
// one owned by another user is passed over.
//
// Empty when no such directory could be had.
QString PrivateRuntimeDirectory();
