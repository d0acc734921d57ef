// A library server that wants a password nothing else gives: the palette
// asks its user, keeps what logged in for the session only, and never
// stores or shows it. Console commands ask nobody.
#include "app/MumbletApp.h"
#include "app/MumbletDlg.h"
#include "app/PasswordPrompt.h"
#include "app/Profile.h"
#include "store/CategoryQry.h"
#include "store/Library.h"
#include "store/LibraryConnection.h"
#include "store/LibraryLocation.h"
#include "store/PasswordSource.h"
#include "tests/support/ConsoleRun.h"
#include "tests/support/PostgresServer.h"
#include "tests/support/ScriptedPromptService.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>

#include <optional>
#include <ostream>
#include <vector>

namespace {

const QString kRight = QStringLiteral("right password");
const QString kWrong = QStringLiteral("wrong password");

void ForgetSetting() {
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Quillfen",
              QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName())
        .remove("General"); // the library's path, and what a palette remembers
}

class ServerPassword : public testing::Test {
protected:
    void SetUp() override {
        std::string whyNot;
        server = CPostgresServer::Shared(&whyNot);
        if (server == nullptr) {
            GTEST_SKIP() << whyNot;
        }
        // Only the dialog can answer: no password in the environment, and
        // a password file that is not there.
        savedPassword = qgetenv("PGPASSWORD");
        savedPassFile = qgetenv("PGPASSFILE");
        qunsetenv("PGPASSWORD");
        qputenv("PGPASSFILE", QFile::encodeName(home.filePath("no .pgpass")));
        ForgetSetting();

        const QString database = server->CreateDatabase();
        CreateLibrary(server->Address(database));
        server->Run(database, "GRANT SELECT ON \"tblCategory\", \"tblPhrase\", blurtle_library, "
                              "\"qryCategory\", \"qryPhrasesInCategory\" TO blurtle_password");
        address = QString::fromStdString(server->Address(database, "blurtle_password"));
    }
    void TearDown() override {
        CLibraryConnection::CloseIdle();
        ForgetAllPasswords();
        ForgetSetting();
        if (server != nullptr) {
            qputenv("PGPASSWORD", savedPassword);
            qputenv("PGPASSFILE", savedPassFile);
            if (savedPassword.isEmpty()) {
                qunsetenv("PGPASSWORD");
            }
            if (savedPassFile.isEmpty()) {
                qunsetenv("PGPASSFILE");
            }
        }
    }

    QString Asked(bool refused) const {
        return QStringLiteral("%1The library server asks for the password of blurtle_password "
                              "for the library \"%2\".")
            .arg(refused ? QStringLiteral("The server refused that password.  ") : QString(),
                 address);
    }

    // Nothing the user saw or the settings hold gives a password away.
    void ExpectNoPasswordShownOrStored() const {
        const QString stored = Profile::GetString("DatabasePath", "");
        for (const QString& password : {kRight, kWrong}) {
            EXPECT_FALSE(stored.contains(password)) << stored.toStdString();
            for (const QString& text : prompts.MessageTexts()) {
                EXPECT_FALSE(text.contains(password)) << text.toStdString();
            }
            for (const auto& request : prompts.passwordRequests) {
                EXPECT_FALSE(request.text.contains(password)) << request.text.toStdString();
            }
        }
    }

    CPostgresServer* server = nullptr;
    QTemporaryDir home;
    QByteArray savedPassword;
    QByteArray savedPassFile;
    QString address;
    CScriptedPromptService prompts;
    CMumbletApp app;
    CPasswordPrompt passwords{nullptr};
};

struct AnswersCase {
    const char* name;
    std::vector<std::optional<QString>> answers; // nothing: Cancel
    bool opens;
};

void PrintTo(const AnswersCase& c, std::ostream* os) {
    *os << c.name;
}

class PasswordAnswers : public ServerPassword, public testing::WithParamInterface<AnswersCase> {};

// The address chosen in "Change Active Database..." is checked by
// connecting: the user is asked until a password logs in or they cancel.
TEST_P(PasswordAnswers, DecideWhetherTheChosenLibraryIsTaken) {
    for (const auto& answer : GetParam().answers) {
        prompts.QueuePassword(answer);
    }
    prompts.QueueFile(address);
    app.ChooseDatabaseFile(nullptr, false);

    ASSERT_EQ(prompts.passwordRequests.size(), GetParam().answers.size());
    for (std::size_t i = 0; i < prompts.passwordRequests.size(); ++i) {
        EXPECT_EQ(prompts.passwordRequests[i].caption, "Blurtle (TM)");
        EXPECT_EQ(prompts.passwordRequests[i].text, Asked(i > 0));
    }
    if (GetParam().opens) {
        EXPECT_TRUE(prompts.messages.empty()) << prompts.MessageTexts().join('\n').toStdString();
        EXPECT_EQ(Profile::GetString("DatabasePath", ""), address);
        EXPECT_EQ(app.m_strDatabasePath, address.toStdString());
        // Later opens, pooled or new, use the kept password.
        CLibraryConnection::CloseIdle();
        CCategoryQry categories;
        categories.Open();
        categories.Close();
        app.VerifyDatabasePath(nullptr);
        EXPECT_EQ(prompts.passwordRequests.size(), GetParam().answers.size());
        EXPECT_TRUE(prompts.messages.empty());
    } else {
        ASSERT_EQ(prompts.messages.size(), 1U);
        EXPECT_TRUE(prompts.messages[0].text.startsWith(
            QStringLiteral("Blurtle could not log in to the server of the library \"%1\"")
                .arg(address)))
            << prompts.messages[0].text.toStdString();
        EXPECT_FALSE(Profile::Contains("DatabasePath"));
        EXPECT_TRUE(app.m_strDatabasePath.empty());
    }
    ExpectNoPasswordShownOrStored();
}

INSTANTIATE_TEST_SUITE_P(
    Answers, PasswordAnswers,
    testing::Values(AnswersCase{"Right", {kRight}, true},
                    AnswersCase{"WrongThenRight", {kWrong, kRight}, true},
                    AnswersCase{"EmptyThenRight", {QString(), kRight}, true},
                    AnswersCase{"Cancelled", {std::nullopt}, false},
                    AnswersCase{"WrongThenCancelled", {kWrong, std::nullopt}, false}),
    [](const testing::TestParamInfo<AnswersCase>& param) { return std::string(param.param.name); });

// A password typed into the address logs in and is kept for the session;
// the address is stored without it.
TEST_F(ServerPassword, APasswordInTheTypedAddressIsKeptButNotStored) {
    const QString withPassword =
        QString(address).replace("blurtle_password@", "blurtle_password:right%20password@");
    prompts.QueueFile(withPassword);
    app.ChooseDatabaseFile(nullptr, false);
    EXPECT_TRUE(prompts.messages.empty()) << prompts.MessageTexts().join('\n').toStdString();
    EXPECT_EQ(Profile::GetString("DatabasePath", ""), address);

    CLibraryConnection::CloseIdle();
    app.VerifyDatabasePath(nullptr);
    EXPECT_EQ(app.m_strDatabasePath, address.toStdString());
    EXPECT_TRUE(prompts.passwordRequests.empty());
    EXPECT_TRUE(prompts.messages.empty());
    ExpectNoPasswordShownOrStored();
}

// A console command has nobody to ask: it fails as libpq does, at once.
TEST_F(ServerPassword, AConsoleCommandAsksNobody) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("PGPASSWORD");
    environment.insert("PGPASSFILE", home.filePath("no .pgpass"));
    const QString empty = QString::fromStdString(
        server->Address(server->CreateDatabase(), QStringLiteral("blurtle_password")));
    const CConsoleRun run = RunWithoutDisplay(QStringLiteral(BLURTLE_EXECUTABLE),
                                              {"--new-library", empty}, environment, 30000);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("no password was found")) << run.err.toStdString();
}

TEST_F(ServerPassword, OneQuestionIsAskedAtATime) {
    int asked = 0;
    SetPasswordSource([&](const PasswordRequest&) {
        if (++asked == 1) {
            CheckLibrary(address.toStdString()); // what a dialog's event loop runs meanwhile
        }
        return std::optional<QString>(kRight);
    });
    EXPECT_EQ(CheckLibrary(address.toStdString()), "");
    EXPECT_EQ(asked, 1);
}

// When its server wants the password again, the live refresh waits for
// the user's next step rather than put a dialog up out of the blue.
TEST_F(ServerPassword, TheLiveRefreshAsksNobody) {
    prompts.QueuePassword(kRight);
    Profile::WriteString(QStringLiteral("DatabasePath"), address);
    CMumbletDlg palette;
    palette.Start();
    ASSERT_EQ(prompts.passwordRequests.size(), 1U);
    ForgetAllPasswords(); // as after the server restarted
    CLibraryConnection::CloseIdle();
    palette.OnLibraryChanged();
    QCoreApplication::processEvents();
    EXPECT_EQ(prompts.passwordRequests.size(), 1U);
    EXPECT_FALSE(palette.IsRefreshPending());
}

} // namespace
