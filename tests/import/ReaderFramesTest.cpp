#include "import/OldLibraryError.h"
#include "import/ReaderFrameReader.h"
#include "import/ReaderFrameWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include <unistd.h>

namespace {

// Everything `write` sends through a pipe, as the reader's parent gets it.
template <typename Write>
std::string ThroughAPipe(Write write) {
    int ends[2];
    EXPECT_EQ(::pipe(ends), 0);
    {
        CReaderFrameWriter writer(ends[1]);
        write(writer);
        EXPECT_TRUE(writer.IsIntact());
    }
    ::close(ends[1]);
    std::string bytes;
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(ends[0], buffer, sizeof buffer)) > 0) {
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(ends[0]);
    return bytes;
}

OldLibrary Sample() {
    OldLibrary library;
    library.source = "old.mdb";
    library.format = "Jet4 (Access 2000-2003)";
    library.categories.push_back({"{0A}",
                                  "Gr\xC3\xBC\xC3\x9F"
                                  "e",
                                  -7, ""});
    library.categories.push_back({"", "", 2147483647, "not a key"});
    library.items.push_back({"{0A}", std::string("a\0b|9|", 6), "hi", "{1B}", 3, 1, 2});
    library.items.push_back({"", "", "", "", -2147483647 - 1, 0, 0});
    library.warnings.push_back("One character could not be read.");
    return library;
}

} // namespace

// Arriving in pieces of any size (a pipe cuts where it likes), the frames
// give back every row and field as sent, zero bytes and extremes included.
TEST(ReaderFrames, CarryALibraryWholeWhateverThePieces) {
    const OldLibrary sent = Sample();
    const std::string bytes = ThroughAPipe([&](CReaderFrameWriter& writer) {
        writer.Progress(3, 4);
        writer.Library(sent);
        writer.End();
    });
    for (const std::size_t piece : {std::size_t{1}, std::size_t{5}, bytes.size()}) {
        CReaderFrameReader reader("old.mdb");
        for (std::size_t at = 0; at < bytes.size(); at += piece) {
            reader.Feed(bytes.data() + at, std::min(piece, bytes.size() - at));
        }
        EXPECT_TRUE(reader.HasEnded()) << piece;
        EXPECT_FALSE(reader.Failure());
        EXPECT_EQ(reader.Done(), 3);
        EXPECT_EQ(reader.Total(), 4);
        const OldLibrary got = reader.TakeLibrary();
        EXPECT_EQ(got.source, "old.mdb");
        EXPECT_EQ(got.format, sent.format);
        ASSERT_EQ(got.categories.size(), 2U);
        ASSERT_EQ(got.items.size(), 2U);
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(got.categories[i].key, sent.categories[i].key);
            EXPECT_EQ(got.categories[i].description, sent.categories[i].description);
            EXPECT_EQ(got.categories[i].zOrder, sent.categories[i].zOrder);
            EXPECT_EQ(got.categories[i].textKey, sent.categories[i].textKey);
            EXPECT_EQ(got.items[i].categoryKey, sent.items[i].categoryKey);
            EXPECT_EQ(got.items[i].data, sent.items[i].data);
            EXPECT_EQ(got.items[i].mnemonic, sent.items[i].mnemonic);
            EXPECT_EQ(got.items[i].key, sent.items[i].key);
            EXPECT_EQ(got.items[i].zOrder, sent.items[i].zOrder);
            EXPECT_EQ(got.items[i].punctuationLeading, sent.items[i].punctuationLeading);
            EXPECT_EQ(got.items[i].punctuationTrailing, sent.items[i].punctuationTrailing);
        }
        EXPECT_EQ(got.warnings, sent.warnings);
    }
}

// Bytes that are no reader's frames are refused with the file's name, never
// read past their end.
TEST(ReaderFrames, RefuseAGarbledStream) {
    const std::string failure =
        ThroughAPipe([](CReaderFrameWriter& writer) { writer.Failure("it is damaged."); });
    const std::string cases[] = {
        std::string("\x7F\xFF\xFF\xFF", 4), // a frame longer than any
        std::string("\0\0\0\x02\x05\0", 6), // a warning whose text is cut
        std::string("\0\0\0\x01\x63", 5),   // a kind there is not
        ThroughAPipe([](CReaderFrameWriter& w) { w.End(); }) + failure, // after the end
    };
    for (const std::string& bytes : cases) {
        CReaderFrameReader reader("old.mdb");
        try {
            reader.Feed(bytes.data(), bytes.size());
            ADD_FAILURE() << "accepted " << testing::PrintToString(bytes);
        } catch (const COldLibraryError& error) {
            EXPECT_STREQ(error.what(),
                         "\"old.mdb\" can't be imported: the reader's answer was garbled.");
        }
    }
}
