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
#include <QThread>

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

// A bus daemon of the test's own that starts services from `serviceDir`.
class CActivatingBus {
public:
    CActivatingBus(const QString& folder, const QString& serviceDir,
                   const QProcessEnvironment& environment) {
        const QString config = folder + QStringLiteral("/bus.conf");
        QFile file(config);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(
            QStringLiteral(
                "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/"
                "busconfig.dtd\">\n<busconfig><type>session</type>"
                "<listen>unix:tmpdir=%1</listen><servicedir>%2</servicedir>"
                "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                "<allow eavesdrop=\"true\"/>"
                "<allow own=\"*\"/></policy></busconfig>\n")
                .arg(folder.toHtmlEscaped(), serviceDir.toHtmlEscaped())
                .toUtf8());
        file.close();
        m_daemon.setProcessEnvironment(environment);
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                        QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
        if (m_daemon.waitForStarted(5000) && m_daemon.waitForReadyRead(5000)) {
            address = QString::fromUtf8(m_daemon.readLine().trimmed());
        }
    }
    ~CActivatingBus() {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000)) {
            m_daemon.kill();
            m_daemon.waitForFinished(3000);
        }
    }
    CActivatingBus(const CActivatingBus&) = delete;
    CActivatingBus& operator=(const CActivatingBus&) = delete;

    QString address;

private:
    QProcess m_daemon;
};

// The bus daemon itself starts the program the registration names, from
// a folder whose name holds every character its Exec line treats apart.
TEST_F(ServiceRegistrationTest, TheBusDaemonStartsAProgramFromAnOddlyNamedFolder) {
    QTemporaryDir temporary;
    ASSERT_TRUE(temporary.isValid());
    const QString folder =
        temporary.path() + QStringLiteral("/o'neil's \"new\" back\\slash\ttab $HOME");
    const QString services = temporary.path() + QStringLiteral("/services");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QDir().mkpath(services));
    const QString program = folder + QStringLiteral("/blurtle");
    const QString record = temporary.path() + QStringLiteral("/started");
    {
        // Stands in for the program: writes down how it was started.
        QFile script(program);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nprintf '%s\\n' \"$0\" \"$@\" > \"$STARTED_RECORD\"\n");
        script.close();
        script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
        QFile service(services + QStringLiteral("/Mumblet.Application.service"));
        ASSERT_TRUE(service.open(QIODevice::WriteOnly));
        service.write(ServiceRegistration::ServiceFileText(program).toUtf8());
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("STARTED_RECORD"), record);
    const CActivatingBus bus(temporary.path(), services, environment);
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";

    // As a client's call to the service would. The stand-in takes no name,
    // so the call is not waited for: only whether the program started.
    QProcess client;
    client.start(QStringLiteral("gdbus"),
                 {QStringLiteral("call"), QStringLiteral("--address"), bus.address,
                  QStringLiteral("--dest"), QStringLiteral("org.freedesktop.DBus"),
                  QStringLiteral("--object-path"), QStringLiteral("/org/freedesktop/DBus"),
                  QStringLiteral("--method"),
                  QStringLiteral("org.freedesktop.DBus.StartServiceByName"),
                  QStringLiteral("Mumblet.Application"), QStringLiteral("0")});
    ASSERT_TRUE(client.waitForStarted(5000));
    QFile started(record);
    for (int i = 0; i < 500 && QFileInfo(record).size() == 0; ++i) {
        QThread::msleep(10);
    }
    client.kill();
    client.waitForFinished(3000);
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
