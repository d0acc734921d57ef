#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

bool RerunAsNobodyIfRoot() {
    if (::geteuid() != 0) {
        return false;
    }
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty()) {
        ADD_FAILURE() << "running as root and setpriv is missing: can't test as a user";
        return true;
    }
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const QString filter =
        QStringLiteral("--gtest_filter=%1.%2")
            .arg(QString::fromUtf8(test->test_suite_name()), QString::fromUtf8(test->name()));
    QProcess run;
    run.setProcessChannelMode(QProcess::MergedChannels);
    // The run makes its own temporary home (see the tests' main).
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TMPDIR"), QStringLiteral("/tmp"));
    run.setProcessEnvironment(environment);
    run.start(setpriv, {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                        QStringLiteral("--clear-groups"), QStringLiteral("--"),
                        QCoreApplication::applicationFilePath(), filter});
    if (!run.waitForStarted(10000) || !run.waitForFinished(120000)) {
        ADD_FAILURE() << "the unprivileged run did not start or finish";
        return true;
    }
    const QByteArray output = run.readAll();
    EXPECT_EQ(run.exitStatus(), QProcess::NormalExit) << output.toStdString();
    EXPECT_EQ(run.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
    return true;
}
