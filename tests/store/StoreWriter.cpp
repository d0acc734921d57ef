// A second program writing the same library: adds COUNT items named
// TAG-<n> to the category KEY through one long-lived table recordset, the
// way the palette's list and editor do. Exit code 0 when every write
// succeeded.
//   store_writer PATH KEY TAG COUNT
#include "store/CurrentDatabase.h"
#include "store/DaoException.h"
#include "store/KeyHelpers.h"
#include "store/PhraseTbl.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: store_writer PATH KEY TAG COUNT\n");
        return 2;
    }
    const std::string path = argv[1];
    const std::string category = argv[2];
    const std::string tag = argv[3];
    const int count = std::stoi(argv[4]);
    SetCurrentDatabasePathSource([path] { return path; });
    try {
        CPhraseTbl table;
        table.Open();
        table.SetCurrentIndex("PrimaryKey");
        for (int i = 0; i < count; ++i) {
            table.AddNew();
            table.m_CategoryID = category;
            table.m_Mnemonic = tag + "-" + std::to_string(i);
            table.m_Data = "x9|";
            table.m_ZOrder = static_cast<std::int16_t>(i % 1000);
            table.Update();
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
