#include "import/LibraryImport.h"
#include "tests/support/ImportFixture.h"
#include "tests/support/MdbGrower.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

std::string Repeated(const std::string& piece, std::size_t size) {
    std::string text;
    while (text.size() < size) {
        text += piece;
    }
    return text;
}

// Texts of every size the file keeps in its three ways (in the row, on a
// long-value page, on a chain of them) and many rows over many pages come
// across exactly.
TEST(GrownLibrary, ManyRowsAndTextsOfMegabytesComeAcrossExactly) {
    QTemporaryDir dir;
    CMdbGrower grower(MdbFixture("small-jet4.mdb"));
    std::vector<std::string> categoryKeys;
    for (int c = 0; c < 20; ++c) {
        const std::string key = CMdbGrower::NewKey();
        categoryKeys.push_back(key);
        grower.Add(CMdbGrower::Category{key, "Grown " + std::to_string(c),
                                        static_cast<std::int16_t>(10 + c), key});
    }
    std::vector<std::string> expected;
    const auto add = [&](const CMdbGrower::Item& item) {
        grower.Add(item);
        expected.push_back(item.key + "|" + item.categoryKey + "|" + item.mnemonic + "|" +
                           item.data + "|" + std::to_string(item.zOrder) + "|" +
                           std::to_string(item.punctuationLeading) + "|" +
                           std::to_string(item.punctuationTrailing));
    };
    for (int i = 0; i < 2000; ++i) {
        add({categoryKeys[static_cast<std::size_t>(i % 20)],
             "Text number " + std::to_string(i) + (i % 3 == 0 ? " – ☺" : "") + "9|",
             "item " + std::to_string(i), CMdbGrower::NewKey(), static_cast<std::int16_t>(i / 20),
             static_cast<std::int16_t>(i % 5), static_cast<std::int16_t>((i + 2) % 5)});
    }
    // Several megabytes of UTF-16, a compressed chain, one long-value page.
    add({categoryKeys[0], Repeated("Lorem ipsum ☺ dolor sit amet,\r\n\t", 4'000'000) + "9|", "huge",
         CMdbGrower::NewKey(), 0, 0, 0});
    add({categoryKeys[1], Repeated("plain words ", 100'000) + "5|", "long", CMdbGrower::NewKey(), 1,
         1, 1});
    add({categoryKeys[2], Repeated("ein Satz ", 3'000) + "9|", "page", CMdbGrower::NewKey(), 2, 2,
         2});
    const std::string source = dir.filePath("grown.mdb").toStdString();
    grower.Save(source);

    const std::string library = dir.filePath("grown.blz").toStdString();
    const ImportSummary summary = ImportOldLibrary(source, library);
    EXPECT_EQ(summary.categories, 4 + 20 + 1);
    EXPECT_EQ(summary.items, 30 + 2003);

    std::vector<std::string> actual;
    for (const QVariantList& row :
         RowsOf(library, "SELECT PhraseID, CategoryID, Mnemonic, Data, ZOrder, "
                         "PunctuationLeading, PunctuationTrailing FROM tblPhrase WHERE "
                         "CategoryID IN (SELECT CategoryID FROM tblCategory WHERE Description "
                         "LIKE 'Grown %')")) {
        QStringList values;
        for (const QVariant& value : row) {
            values << value.toString();
        }
        actual.push_back(values.join('|').toStdString());
    }
    std::sort(expected.begin(), expected.end());
    std::sort(actual.begin(), actual.end());
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        // One at a time: a difference in megabytes of text would drown the
        // report.
        EXPECT_TRUE(actual[i] == expected[i]) << "row " << i << " of the grown items differs";
    }
}

TEST(GrownLibrary, AChainOfLongValuePagesThatLoopsIsRefusedAsDamaged) {
    QTemporaryDir dir;
    CMdbGrower grower(MdbFixture("small-jet4.mdb"));
    grower.AddItemWithLoopedText({"{3E0944F0-0D26-4DBB-A374-EF575ABE9878}",
                                  Repeated("round and round ", 20'000) + "9|", "loop",
                                  CMdbGrower::NewKey(), 9, 0, 0});
    const std::string source = dir.filePath("looped.mdb").toStdString();
    grower.Save(source);
    const std::string library = dir.filePath("looped.blz").toStdString();
    try {
        ImportOldLibrary(source, library);
        ADD_FAILURE() << "imported";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("the file is damaged or cut short"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_EQ(FilesIn(dir.path()), QStringList{"looped.mdb"});
}

} // namespace
