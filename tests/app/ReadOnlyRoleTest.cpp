// A member whose server role may only read: the palette lists, drags and
// composes, and every change says the library is read-only and changes
// nothing, as another connection sees it.
#include "app/MumbletApp.h"
#include "app/MumbletDlg.h"
#include "app/Profile.h"
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/PaletteMessages.h"
#include "store/LibraryLocation.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/PaletteFixture.h"
#include "tests/support/PostgresServer.h"
#include "tests/support/ScriptedPromptService.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMimeData>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

namespace {

struct ChangeCase {
    const char* name;
    // Tries a change the way the user makes it.
    std::function<void(CMumbletDlg&, CScriptedPromptService&)> attempt;
};

void PrintTo(const ChangeCase& change, std::ostream* out) {
    *out << change.name;
}

class ReadOnlyMember : public testing::TestWithParam<ChangeCase> {
protected:
    void SetUp() override {
        SKIP_WITHOUT_ENGINE(library);
        PaletteTest::ForgetSettings();
        PaletteTest::AddAlphaAndBeta();

        CPostgresServer* server = CPostgresServer::Shared();
        const QString database = CLibraryLocation::Parse(library.path).DatabaseName();
        const QString role = QStringLiteral("reader_") + database;
        server->Run(database, QStringLiteral("CREATE ROLE %1 LOGIN").arg(role));
        server->Run(database, QStringLiteral("GRANT SELECT ON blurtle_library, \"tblCategory\", "
                                             "\"tblPhrase\", \"qryCategory\", "
                                             "\"qryPhrasesInCategory\" TO %1")
                                  .arg(role));
        reader = server->Address(database, role);
        library.UsePath(reader);
        Profile::WriteString(QStringLiteral("DatabasePath"), QString::fromStdString(reader));
        app = std::make_unique<CMumbletApp>();
        palette = std::make_unique<CMumbletDlg>();
        palette->Start();
    }

    void TearDown() override {
        palette.reset();
        QCoreApplication::processEvents();
        app.reset();
        PaletteTest::ForgetSettings();
    }

    // The library as the owner sees it.
    QString Rows() {
        library.UsePath(library.path);
        return QueryDirect(library.path,
                           QStringLiteral("SELECT string_agg(\"Mnemonic\" || ':' || \"ZOrder\" || "
                                          "':' || \"Data\", ',' ORDER BY \"Mnemonic\") "
                                          "FROM \"tblPhrase\""))
                   .toString() +
               QStringLiteral(" / ") +
               QueryDirect(library.path,
                           QStringLiteral("SELECT string_agg(\"Description\", ',' ORDER BY "
                                          "\"Description\") FROM \"tblCategory\""))
                   .toString();
    }

    CTempLibrary library{Engine::PostgreSQL};
    std::string reader;
    CScriptedPromptService prompts;
    std::unique_ptr<CMumbletApp> app;
    std::unique_ptr<CMumbletDlg> palette;
};

TEST_P(ReadOnlyMember, DragsAndIsToldOfEveryChangeThatTheLibraryIsReadOnly) {
    ASSERT_TRUE(prompts.messages.empty()) << prompts.messages[0].text.toStdString();
    const std::unique_ptr<QMimeData> dragged = palette->Mnemonics().PrepareDragData(0);
    ASSERT_NE(dragged, nullptr);
    EXPECT_EQ(dragged->text(), QStringLiteral("One  "));

    const QString before = Rows();
    library.UsePath(reader);
    GetParam().attempt(*palette, prompts);
    QCoreApplication::processEvents();
    ASSERT_FALSE(prompts.messages.empty()) << "nothing was said";
    const QString readOnly =
        QStringLiteral("The library \"%1\" is read-only.")
            .arg(QString::fromStdString(CLibraryLocation::Parse(reader).Display()));
    EXPECT_TRUE(prompts.messages.back().text.contains(readOnly))
        << prompts.messages.back().text.toStdString();
    EXPECT_EQ(Rows(), before);
}

void Post(CMumbletDlg& palette, PaletteMessage message) {
    PostPaletteMessage(&palette, message);
    QCoreApplication::processEvents();
}

const ChangeCase kChanges[] = {
    {"TextDropped",
     [](CMumbletDlg& palette, CScriptedPromptService&) {
         EXPECT_FALSE(palette.TakeDroppedText(QStringLiteral("Kind regards")));
     }},
    {"ItemDeleted",
     [](CMumbletDlg& palette, CScriptedPromptService& prompts) {
         palette.Mnemonics().setCurrentRow(0);
         prompts.QueueAnswer(QMessageBox::Yes);
         Post(palette, UWM_DELETE_ITEM);
     }},
    {"CategoryDeleted",
     [](CMumbletDlg& palette, CScriptedPromptService& prompts) {
         prompts.QueueAnswer(QMessageBox::Yes);
         Post(palette, UWM_DELETE_CATEGORY);
     }},
    {"ItemMovedThenAnotherCategoryShown",
     [](CMumbletDlg& palette, CScriptedPromptService& prompts) {
         palette.Mnemonics().setCurrentRow(1);
         palette.OnDeltaposSortSpin(-1);
         prompts.QueueAnswer(QMessageBox::No); // stay with the order shown
         palette.Category().setCurrentIndex(1);
         palette.OnSelchangeCategory();
     }},
};

INSTANTIATE_TEST_SUITE_P(Changes, ReadOnlyMember, testing::ValuesIn(kChanges),
                         [](const testing::TestParamInfo<ChangeCase>& param) {
                             return std::string(param.param.name);
                         });

} // namespace
