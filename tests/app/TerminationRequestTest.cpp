// A palette stopped by a signal (a desktop session that ends without a
// session manager, a service manager, Ctrl+C) quits in order, storing what
// the user arranged on the way, rather than dying where it stands.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

namespace {

struct SignalCase {
    const char* name;
    int signal;
};

class TerminationRequest : public testing::TestWithParam<SignalCase> {};

TEST_P(TerminationRequest, EndsThePaletteInOrder) {
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, folder] :
         {std::pair{"HOME", ""}, std::pair{"XDG_CONFIG_HOME", "/config"},
          std::pair{"XDG_DATA_HOME", "/data"}, std::pair{"XDG_RUNTIME_DIR", "/runtime"}}) {
        environment.insert(QString::fromLatin1(name), home.path() + QString::fromLatin1(folder));
    }
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess palette;
    palette.setProcessEnvironment(environment);
    palette.start(QStringLiteral(BLURTLE_EXECUTABLE), {});
    ASSERT_TRUE(palette.waitForStarted(10000));
    // A first start makes its library while the palette opens, after the
    // signals are taken over.
    const QString library = home.path() + QStringLiteral("/data/Quillfen/Blurtle/Blurtle.blz");
    for (int i = 0; i < 1000 && !QFileInfo::exists(library); ++i) {
        QThread::msleep(10);
    }
    ASSERT_TRUE(QFileInfo::exists(library)) << "the palette did not start";

    ::kill(static_cast<pid_t>(palette.processId()), GetParam().signal);

    ASSERT_TRUE(palette.waitForFinished(10000));
    EXPECT_EQ(palette.exitStatus(), QProcess::NormalExit) << "killed by the signal";
    EXPECT_EQ(palette.exitCode(), 0) << palette.readAllStandardError().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationRequest,
                         testing::Values(SignalCase{"Term", SIGTERM}, SignalCase{"Hangup", SIGHUP},
                                         SignalCase{"Interrupt", SIGINT}),
                         [](const testing::TestParamInfo<SignalCase>& param) {
                             return std::string(param.param.name);
                         });

} // namespace
