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

void WriteFile(const QString& path, const QByteArray& text) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(text);
}

// A real bus daemon starts the program the registration names, from a
// folder whose name holds every character its Exec line treats apart.
TEST_F(ServiceRegistrationTest, TheBusDaemonStartsAProgramFromAnOddlyNamedFolder) {
    QTemporaryDir temporary;
    const QString folder =
        temporary.path() + QStringLiteral("/o'neil's \"new\" back\\slash\ttab $HOME");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString program = folder + QStringLiteral("/blurtle");
    // Stands in for the program: writes down how it was started, and fails
    // so that the daemon answers at once.
    WriteFile(program, "#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" > \"$0.started\"\nexit 1\n");
    QFile::setPermissions(program, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    WriteFile(temporary.filePath(QStringLiteral("Mumblet.Application.service")),
              ServiceRegistration::ServiceFileText(program).toUtf8());
    const QString config = temporary.filePath(QStringLiteral("bus.conf"));
    WriteFile(config, QStringLiteral("<busconfig><listen>unix:tmpdir=%1</listen><servicedir>%1"
                                     "</servicedir><policy context=\"default\"><allow "
                                     "send_destination=\"*\"/><allow receive_sender=\"*\"/>"
                                     "</policy></busconfig>")
                          .arg(temporary.path())
                          .toUtf8());
    RunTool(QStringLiteral("dbus-run-session"),
            QStringList{QStringLiteral("--config-file=") + config} +
                QStringLiteral("-- dbus-send --session --print-reply --dest=org.freedesktop.DBus "
                               "/org/freedesktop/DBus org.freedesktop.DBus.StartServiceByName "
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
