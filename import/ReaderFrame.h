#pragma once

#include <cstdint>

// How a reader in a child process hands an older library to the program
// that started it, on its standard output: a sequence of frames, each a
// 4-byte big-endian length and that many bytes: a one-byte kind, then the
// kind's fields in order, a number as 8 bytes big-endian, a text as its
// 4-byte big-endian length and its bytes.
enum class ReaderFrameKind : std::uint8_t {
    Progress = 1, // rows done, rows in all
    Format,       // the file's format name
    Category,     // key, description, zOrder, textKey
    Item,         // categoryKey, data, mnemonic, key, zOrder, leading, trailing
    Warning,      // one sentence
    Failure,      // why the file can't be imported, a sentence naming it
    End,          // all was sent
};

// The program's hidden switch that makes it such a reader:
// `blurtle --read-older-library PATH`.
inline constexpr const char* kReadOlderLibrarySwitch = "--read-older-library";

// Set in the environment of a test, makes the reader abort at its first
// row, as a crash inside libmdb would end it.
inline constexpr const char* kReaderAbortForTests = "BLURTLE_TEST_READER_ABORT";
