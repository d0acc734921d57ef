#include "import/OldLibraryError.h"
#include "import/ReaderFrameReader.h"

#include <gtest/gtest.h>

#include <string>

// Frames may come a byte at a time; bytes that are no frames are refused.
TEST(ReaderFrames, WaitForTheirRestAndRefuseAGarbledStream) {
    const std::string end("\0\0\0\x01\x07", 5);
    CReaderFrameReader whole("old.mdb");
    for (const char byte :
         std::string("\0\0\0\x11\x01", 5) + std::string(15, '\0') + "\x04" + end) {
        whole.Feed(&byte, 1);
    }
    EXPECT_TRUE(whole.HasEnded() && whole.Total() == 4);
    for (const std::string& bytes : {
             std::string("\x7F\xFF\xFF\xFF", 4), // a frame longer than any
             std::string("\0\0\0\x02\x05\0", 6), // a warning whose text is cut
             std::string("\0\0\0\x01\x63", 5),   // a kind there is not
             end + end,                          // a frame after the end
         }) {
        CReaderFrameReader reader("old.mdb");
        EXPECT_THROW(reader.Feed(bytes.data(), bytes.size()), COldLibraryError)
            << testing::PrintToString(bytes);
    }
}
