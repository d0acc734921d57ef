// A second program writing the same library: adds COUNT items named
// TAG-<n> to the category KEY through one long-lived table recordset, the
// way the palette's list and editor do. Exit code 0 when every write
// succeeded. With --report it prints the mnemonic of every row whose
// Update has returned (so is committed), one per line, as it goes.
//   store_writer PATH KEY TAG COUNT [--report]
#include "store/CurrentDatabase.h"
#include "store/DaoException.h"
#include "store/KeyHelpers.h"
#include "store/PhraseTbl.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: store_writer PATH KEY TAG COUNT [--report]\n");
        return 2;
    }
    const bool report = argc == 6 && std::string(argv[5]) == "--report";
    const std::string path = argv[1];
    const std::string category = argv[2];
    const std::string tag = argv[3];
    const int count = std::stoi(argv[4]);
    SetCurrentLibrarySource([library = CLibraryLocation::Parse(path)] { return library; });
    try {
        CPhraseTbl table;
        table.Open();
        table.SetCurrentIndex("PrimaryKey");
        for (int i = 0; i < count; ++i) {
            table.AddNew();
            table.m_CategoryID = category;
            table.m_Mnemonic = tag + "-" + std::to_string(i);
            const std::string mnemonic = table.m_Mnemonic;
            table.m_Data = "x9|";
            table.m_ZOrder = i;
            table.Update();
            if (report) {
                std::printf("%s\n", mnemonic.c_str());
                std::fflush(stdout);
            }
            // Read it back as the drag-out would.
            table.SetBookmark(table.GetLastModifiedBookmark());
            if (!table.Seek("=", MakeSeekKey(ExtractBracedIdentifier(table.m_PhraseID)))) {
                std::fprintf(stderr, "row %d not found after adding it\n", i);
                return 1;
            }
        }
    } catch (const CDaoException& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
