#include "automation/ServiceRegistration.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScriptedPromptService.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

ino_t InodeOf(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

class ServiceRegistrationTest : public testing::Test {
protected:
    void SetUp() override { QFile::remove(ServiceRegistration::ServiceFilePath()); }
    void TearDown() override { QFile::remove(ServiceRegistration::ServiceFilePath()); }

    static QByteArray Read() {
        QFile file(ServiceRegistration::ServiceFilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void Write(const QByteArray& text) {
        const QString path = ServiceRegistration::ServiceFilePath();
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    CScriptedPromptService prompts;
};

TEST_F(ServiceRegistrationTest, TheFileNamesTheServiceAndStartsThisProgramForAutomation) {
    ASSERT_TRUE(ServiceRegistration::Update(QStringLiteral("/opt/blurtle/bin/blurtle")));
    EXPECT_TRUE(ServiceRegistration::ServiceFilePath().endsWith(
        QStringLiteral("/dbus-1/services/Mumblet.Application.service")));
    EXPECT_EQ(Read(), QByteArray("[D-BUS Service]\nName=Mumblet.Application\n"
                                 "Exec=/opt/blurtle/bin/blurtle --automation\n"));
    EXPECT_EQ(ServiceRegistration::CheckServerRegistration(),
              QStringLiteral("/opt/blurtle/bin/blurtle --automation"));
    EXPECT_TRUE(prompts.messages.empty());
}

// The bus daemon splits the Exec line as a shell does; a shell must get
// the path back whole.
TEST_F(ServiceRegistrationTest, APathWithSpacesAndQuotesSurvivesTheExecLine) {
    const QString path = QStringLiteral("/home/o'neil/My Apps/$blurtle \"new\"/blurtle");
    const QString text = ServiceRegistration::ServiceFileText(path);
    const QString exec = text.section(QStringLiteral("Exec="), 1).trimmed();
    QProcess shell;
    shell.start(QStringLiteral("sh"),
                {QStringLiteral("-c"), QStringLiteral("printf '%s\\n' ") + exec});
    ASSERT_TRUE(shell.waitForFinished(5000));
    EXPECT_EQ(QString::fromUtf8(shell.readAllStandardOutput()),
              path + QStringLiteral("\n--automation\n"));
}

TEST_F(ServiceRegistrationTest, AnUnchangedRegistrationIsNotWrittenAgain) {
    ASSERT_TRUE(ServiceRegistration::Update(QStringLiteral("/usr/bin/blurtle")));
    const QString path = ServiceRegistration::ServiceFilePath();
    // The atomic write replaces the file: a rewrite would give a new inode.
    const ino_t inode = InodeOf(path);
    ASSERT_TRUE(ServiceRegistration::Update(QStringLiteral("/usr/bin/blurtle")));
    EXPECT_EQ(InodeOf(path), inode);
    ASSERT_TRUE(ServiceRegistration::Update(QStringLiteral("/usr/local/bin/blurtle")));
    EXPECT_TRUE(Read().contains("Exec=/usr/local/bin/blurtle --automation"));
}

struct CheckCase {
    const char* label;
    const char* content; // null: no file at all
    const char* message;
};
void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.label;
}

class CheckRegistrationTest : public ServiceRegistrationTest,
                              public testing::WithParamInterface<CheckCase> {};

TEST_P(CheckRegistrationTest, ABrokenRegistrationIsToldOnceAndStartUpGoesOn) {
    if (GetParam().content != nullptr) {
        Write(GetParam().content);
    }
    EXPECT_EQ(ServiceRegistration::CheckServerRegistration(), QString());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QString::fromLatin1(GetParam().message));
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Mumblet"));
    EXPECT_EQ(prompts.messages[0].icon, CPromptService::Icon::Warning);
    EXPECT_EQ(prompts.messages[0].buttons, QMessageBox::Ok);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CheckRegistrationTest,
    testing::Values(CheckCase{"Missing", nullptr, "Error opening Quillfen registry key."},
                    CheckCase{"NoExecLine", "[D-BUS Service]\nName=Mumblet.Application\n",
                              "Error retrieving Quillfen registry path information."},
                    CheckCase{"EmptyExecLine",
                              "[D-BUS Service]\nName=Mumblet.Application\nExec=  \n",
                              "Error retrieving Quillfen registry path information."}),
    [](const testing::TestParamInfo<CheckCase>& param) { return param.param.label; });

TEST_F(ServiceRegistrationTest, AnUnreadableFileIsToldAsOneThatCannotBeOpened) {
    if (RerunAsNobodyIfRoot()) {
        return;
    }
    Write("[D-BUS Service]\nExec=/usr/bin/blurtle --automation\n");
    QFile::setPermissions(ServiceRegistration::ServiceFilePath(), QFileDevice::WriteOwner);
    ServiceRegistration::CheckServerRegistration();
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Error opening Quillfen registry key."));
}

} // namespace
