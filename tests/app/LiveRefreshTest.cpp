// Two palettes on one library, as two members of a team have them: what
// one changes shows in the other without a restart, on a file and on a
// server, and the other's selection and unsaved order survive it.
#include "app/MumbletApp.h"
#include "app/MumbletDlg.h"
#include "app/Profile.h"
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/EntryLines.h"
#include "store/LibraryLocation.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/PaletteFixture.h"
#include "tests/support/PostgresServer.h"
#include "tests/support/ScriptedPromptService.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QMimeData>
#include <QThread>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

namespace {

// The palettes follow within a second on a quiet machine; a busy test
// machine must not fail the test.
constexpr int kWaitMs = 10000;

QStringList Names(CMumbletDlg& palette) {
    QStringList names;
    for (int i = 0; i < palette.Mnemonics().count(); ++i) {
        names << palette.Mnemonics().TextAt(i);
    }
    return names;
}

QStringList CategoryNames(CMumbletDlg& palette) {
    QStringList names;
    for (int i = 0; i < palette.Category().count(); ++i) {
        names << palette.Category().itemText(i);
    }
    return names;
}

QString Selected(CMumbletDlg& palette) {
    const CDDListBox& list = palette.Mnemonics();
    return list.IsCurrentSelected() ? list.TextAt(list.currentRow()) : QString();
}

// Lets the palettes work until `done` holds or the wait is over.
bool Eventually(const std::function<bool()>& done) {
    const QDeadlineTimer deadline(kWaitMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        QThread::msleep(10);
    }
    return true;
}

struct ChangeCase {
    const char* name;
    Engine engine;
    // Changes the library through the first palette or as another program.
    std::function<void(CMumbletDlg& first, const CTempLibrary& library)> change;
    QStringList categories; // the second palette's selector afterwards
    QStringList mnemonics;  // and its list
    QString selected;       // and its selected entry
    // What the second palette does first (nothing when empty).
    std::function<void(CMumbletDlg& second)> before = {};
    // The stored ZOrder of "three" afterwards (-1: not looked at).
    int storedThree = -1;
};

void PrintTo(const ChangeCase& change, std::ostream* out) {
    *out << change.name;
}

class LiveRefresh : public testing::TestWithParam<ChangeCase> {
protected:
    void SetUp() override {
        SKIP_WITHOUT_ENGINE(library);
        PaletteTest::ForgetSettings();
        PaletteTest::AddAlphaAndBeta();
        Profile::WriteString(QStringLiteral("DatabasePath"), QString::fromStdString(library.path));
        app = std::make_unique<CMumbletApp>();
        first = Start();
        second = Start();
        second->Mnemonics().setCurrentRow(1); // "two"
    }

    void TearDown() override {
        first.reset();
        second.reset();
        QCoreApplication::processEvents();
        app.reset();
        PaletteTest::ForgetSettings();
    }

    static std::unique_ptr<CMumbletDlg> Start() {
        auto palette = std::make_unique<CMumbletDlg>();
        palette->Start();
        return palette;
    }

    CTempLibrary library{GetParam().engine};
    CScriptedPromptService prompts;
    std::unique_ptr<CMumbletApp> app;
    std::unique_ptr<CMumbletDlg> first;
    std::unique_ptr<CMumbletDlg> second;
};

TEST_P(LiveRefresh, ShowsInTheOtherPaletteKeepingItsSelection) {
    if (GetParam().before) {
        GetParam().before(*second);
    }
    GetParam().change(*first, library);
    EXPECT_TRUE(Eventually([this] {
        return CategoryNames(*second) == GetParam().categories &&
               Names(*second) == GetParam().mnemonics;
    })) << CategoryNames(*second).join(',').toStdString()
        << " / " << Names(*second).join(',').toStdString();
    EXPECT_EQ(Selected(*second), GetParam().selected);
    EXPECT_TRUE(prompts.messages.empty());
    if (GetParam().storedThree >= 0) {
        EXPECT_EQ(QueryDirect(library.path, QStringLiteral("SELECT \"ZOrder\" FROM \"tblPhrase\" "
                                                           "WHERE \"Mnemonic\" = 'three'"))
                      .toInt(),
                  GetParam().storedThree);
        EXPECT_FALSE(second->IsOrderChanged());
    }
}

void Sql(const CTempLibrary& library, const char* sql) {
    QueryDirect(library.path, QString::fromLatin1(sql));
}

std::vector<ChangeCase> Changes() {
    std::vector<ChangeCase> cases;
    for (const Engine engine : {Engine::SQLite, Engine::PostgreSQL}) {
        const std::vector<ChangeCase> each = {
            {"TextDroppedOnTheFirst",
             engine,
             [](CMumbletDlg& first, const CTempLibrary&) {
                 ASSERT_TRUE(first.AddDroppedText(QStringLiteral("Kind regards")));
             },
             {"Alpha", "Beta"},
             {"one", "two", "three", "Kind regards"},
             "two"},
            {"ItemRenamedElsewhere",
             engine,
             [](CMumbletDlg&, const CTempLibrary& library) {
                 Sql(library, "UPDATE \"tblPhrase\" SET \"Mnemonic\" = 'zwei' "
                              "WHERE \"Mnemonic\" = 'two'");
             },
             {"Alpha", "Beta"},
             {"one", "zwei", "three"},
             "zwei"},
            {"SelectedItemDeletedElsewhere",
             engine,
             [](CMumbletDlg&, const CTempLibrary& library) {
                 Sql(library, "DELETE FROM \"tblPhrase\" WHERE \"Mnemonic\" = 'two'");
             },
             {"Alpha", "Beta"},
             {"one", "three"},
             ""},
            {"ItemsReorderedElsewhere",
             engine,
             [](CMumbletDlg&, const CTempLibrary& library) {
                 Sql(library, "UPDATE \"tblPhrase\" SET \"ZOrder\" = 5 - \"ZOrder\"");
             },
             {"Alpha", "Beta"},
             {"three", "two", "one"},
             "two"},
            {"CategoryRenamedElsewhere",
             engine,
             [](CMumbletDlg&, const CTempLibrary& library) {
                 Sql(library, "UPDATE \"tblCategory\" SET \"Description\" = 'First' "
                              "WHERE \"Description\" = 'Alpha'");
             },
             {"First", "Beta"},
             {"one", "two", "three"},
             "two"},
            {"ShownCategoryDeletedElsewhere",
             engine,
             [](CMumbletDlg&, const CTempLibrary& library) {
                 Sql(library, "DELETE FROM \"tblCategory\" WHERE \"Description\" = 'Alpha'");
             },
             {"Beta"},
             {"beta"},
             ""},
            // The second palette's user is moving "three" up: that order
            // is stored, not thrown away, and stays on show.
            {"DropWhileTheOtherIsOrdering",
             engine,
             [](CMumbletDlg& first, const CTempLibrary&) {
                 ASSERT_TRUE(first.AddDroppedText(QStringLiteral("Kind regards")));
             },
             {"Alpha", "Beta"},
             {"one", "three", "two", "Kind regards"},
             "three",
             [](CMumbletDlg& second) {
                 second.Mnemonics().setCurrentRow(2);
                 second.OnDeltaposSortSpin(-1);
                 ASSERT_TRUE(second.IsOrderChanged());
             },
             1},
        };
        cases.insert(cases.end(), each.begin(), each.end());
    }
    return cases;
}

std::string CaseName(const testing::TestParamInfo<ChangeCase>& info) {
    return EngineName(info.param.engine) + "_" + info.param.name;
}

INSTANTIATE_TEST_SUITE_P(Changes, LiveRefresh, testing::ValuesIn(Changes()), CaseName);

class ServerOutage : public LiveRefresh {
protected:
    // Lets no one in and ends every connection to the library, as a server
    // going down does (the test server is shared with other test programs,
    // so only this library's database goes).
    void TakeDown() {
        Database("ALTER DATABASE %1 ALLOW_CONNECTIONS false");
        Database("SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity "
                 "WHERE datname = '%1'");
    }
    void BringBack() { Database("ALTER DATABASE %1 ALLOW_CONNECTIONS true"); }

    void Database(const char* sql) {
        const QString name = CLibraryLocation::Parse(library.path).DatabaseName();
        CPostgresServer::Shared()->Run(QStringLiteral("postgres"),
                                       QString::fromLatin1(sql).arg(name));
    }
};

// Only the server cases: an outage is a server's.
TEST_P(ServerOutage, IsToldAtTheNextStepAndWhenItEndsEverythingWorksAsBefore) {
    TakeDown();
    // Dropped as a drop arrives: refused, and told in words that name the
    // library once the drag is over.
    EXPECT_FALSE(first->TakeDroppedText(QStringLiteral("During")));
    QCoreApplication::processEvents();
    ASSERT_GE(prompts.messages.size(), 1U);
    EXPECT_TRUE(
        prompts.messages[0].text.contains(QString::fromStdString(LibraryDisplayName(library.path))))
        << prompts.messages[0].text.toStdString();
    // Both palettes hear that the server went.
    ASSERT_TRUE(Eventually([this] { return !first->IsListening() && !second->IsListening(); }));
    BringBack();
    // The palettes hear the server again by themselves; the first step
    // after that just works, with no "try again" first.
    ASSERT_TRUE(Eventually([this] { return first->IsListening() && second->IsListening(); }));
    // (What the palettes said meanwhile, if the user turned to them, was
    // said while the server was out.)
    const std::size_t told = prompts.messages.size();
    ASSERT_TRUE(first->TakeDroppedText(QStringLiteral("After")));
    // The second palette had nothing to do during the outage: its
    // connections broke unseen, and are made anew before its first step,
    // a drag or a drop.
    std::unique_ptr<QMimeData> dragged;
    ASSERT_NO_THROW(dragged = second->Mnemonics().PrepareDragData(1));
    ASSERT_NE(dragged, nullptr);
    EXPECT_EQ(dragged->text(), QStringLiteral("Two  "));
    second->Category().setCurrentIndex(1);
    second->OnSelchangeCategory();
    ASSERT_TRUE(second->TakeDroppedText(QStringLiteral("Back again")));
    QCoreApplication::processEvents();
    for (std::size_t i = told; i < prompts.messages.size(); ++i) {
        ADD_FAILURE() << "told: " << prompts.messages[i].text.toStdString();
    }
    EXPECT_TRUE(Eventually([this] { return Names(*first).contains(QStringLiteral("After")); }))
        << Names(*first).join(',').toStdString();
    EXPECT_FALSE(Names(*first).contains(QStringLiteral("During")));
    EXPECT_EQ(QueryDirect(library.path, QStringLiteral("SELECT count(*) FROM \"tblPhrase\" "
                                                       "WHERE \"Mnemonic\" = 'Back again'"))
                  .toInt(),
              1);
}

INSTANTIATE_TEST_SUITE_P(Server, ServerOutage,
                         testing::Values(ChangeCase{"Outage", Engine::PostgreSQL, {}, {}, {}, {}}),
                         CaseName);

} // namespace
