#include "automation/ServiceRegistration.h"
#include "tests/automation/BusClient.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/ScriptedPromptService.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
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
    // The palette's start-up shows a registration problem in this box.
    static void WarnAsThePaletteDoes(const QString& text) {
        CPromptService::Current().ShowMessage(nullptr, text, QStringLiteral("Mumblet"),
                                              QMessageBox::Ok, CPromptService::Icon::Warning);
    }

    CScriptedPromptService prompts;
};

TEST_F(ServiceRegistrationTest, TheFileNamesTheServiceAndStartsThisProgramForAutomation) {
    ASSERT_TRUE(ServiceRegistration::Update(QStringLiteral("/opt/blurtle/bin/blurtle")));
    EXPECT_TRUE(ServiceRegistration::ServiceFilePath().endsWith(
        QStringLiteral("/dbus-1/services/Mumblet.Application.service")));
    EXPECT_EQ(Read(), QByteArray("[D-BUS Service]\nName=Mumblet.Application\n"
                                 "Exec=/opt/blurtle/bin/blurtle --automation\n"));
    EXPECT_EQ(ServiceRegistration::CheckServerRegistration(WarnAsThePaletteDoes),
              QStringLiteral("/opt/blurtle/bin/blurtle --automation"));
    EXPECT_TRUE(prompts.messages.empty());
}

// A session bus starts the program from a folder named with every character Exec treats apart.
TEST_F(ServiceRegistrationTest, TheBusDaemonStartsAProgramFromAnOddlyNamedFolder) {
    QTemporaryDir temporary;
    const QString folder =
        temporary.path() + QStringLiteral("/o'neil's \"new\" back\\slash\ttab $HOME");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString program = folder + QStringLiteral("/blurtle");
    QFile script(program); // writes down how it was started; fails, so the daemon answers
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" > \"$0.started\"\nexit 1\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    ASSERT_TRUE(ServiceRegistration::Update(program));
    // Its daemon looks for services where these tests keep their data.
    RunTool(QStringLiteral("env"),
            QStringList{QStringLiteral("XDG_DATA_HOME=") +
                        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)} +
                QStringLiteral("dbus-run-session -- dbus-send --session --print-reply "
                               "--dest=org.freedesktop.DBus /org/freedesktop/DBus "
                               "org.freedesktop.DBus.StartServiceByName "
                               "string:Mumblet.Application uint32:0")
                    .split(QLatin1Char(' ')));
    QFile started(program + QStringLiteral(".started"));
    ASSERT_TRUE(started.open(QIODevice::ReadOnly)) << "the daemon did not start the program";
    EXPECT_EQ(QString::fromUtf8(started.readAll()), program + QStringLiteral("\n--automation\n"));
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
    EXPECT_EQ(ServiceRegistration::CheckServerRegistration(WarnAsThePaletteDoes), QString());
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
    ServiceRegistration::CheckServerRegistration(WarnAsThePaletteDoes);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].text, QStringLiteral("Error opening Quillfen registry key."));
}

} // namespace
