#include "automation/AutomationServer.h"
#include "automation/AutomatedWindow.h"
#include "tests/automation/BusClient.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QTest>

#include <memory>

namespace {

// Stands in for the palette: counts the times the last object let go.
class CHeldWindow : public CAutomatedWindow {
public:
    int releases = 0;

protected:
    void OnAutomationReleased() override { ++releases; }
};

// Each test runs on a bus of its own (the tests run under
// dbus-run-session), with the service published in this process.
class AutomationServerTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
        CAutomatedWindow::SetMain(&window);
        QString error;
        ASSERT_EQ(server.Publish(&error), CAutomationServer::Published) << error.toStdString();
    }
    void TearDown() override { CAutomatedWindow::SetMain(nullptr); }

    // Waits, with the event loop running, until `done` holds.
    template <typename Condition>
    static bool Eventually(Condition done) {
        for (int i = 0; i < 200 && !done(); ++i) {
            QTest::qWait(10);
        }
        return done();
    }

    CHeldWindow window;
    CAutomationServer server;
};

const QString kApplication = QStringLiteral("Mumblet.Application");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// --- objects and the application lock -------------------------------------

TEST_F(AutomationServerTest, EachRequestGetsAnObjectOfItsOwnBoundToThePalette) {
    CBusClient client(QStringLiteral("client"));
    const QString first = client.CreateObject();
    const QString second = client.CreateObject();
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());
    EXPECT_NE(first, second);
    EXPECT_EQ(server.ObjectCount(), 2);
    EXPECT_EQ(window.BoundCount(), 2);
    EXPECT_NE(window.m_pAutoProxy, nullptr);
}

TEST_F(AutomationServerTest, ReleasingTheLastObjectUnlocks) {
    CBusClient client(QStringLiteral("client"));
    const QString first = client.CreateObject();
    const QString second = client.CreateObject();
    EXPECT_EQ(client.Release(first).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(Eventually([&] { return server.ObjectCount() == 1; }));
    EXPECT_NE(window.m_pAutoProxy, nullptr) << "the second object still holds the palette";
    EXPECT_EQ(window.releases, 0);
    EXPECT_EQ(client.Release(second).type(), QDBusMessage::ReplyMessage);
    ASSERT_TRUE(Eventually([&] { return server.ObjectCount() == 0; }));
    EXPECT_EQ(window.m_pAutoProxy, nullptr);
    EXPECT_EQ(window.releases, 1);
    // A released object is gone from the bus.
    const QDBusMessage again = client.Release(first);
    EXPECT_EQ(again.type(), QDBusMessage::ErrorMessage);
}

TEST_F(AutomationServerTest, AClientThatLeavesWithoutReleasingUnlocks) {
    CBusClient client(QStringLiteral("client"));
    CBusClient other(QStringLiteral("other"));
    ASSERT_FALSE(client.CreateObject().isEmpty());
    ASSERT_FALSE(client.CreateObject().isEmpty());
    ASSERT_FALSE(other.CreateObject().isEmpty());
    client.Leave();
    ASSERT_TRUE(Eventually([&] { return server.ObjectCount() == 1; }));
    EXPECT_NE(window.m_pAutoProxy, nullptr);
    other.Leave();
    ASSERT_TRUE(Eventually([&] { return server.ObjectCount() == 0; }));
    EXPECT_EQ(window.m_pAutoProxy, nullptr);
    EXPECT_EQ(window.releases, 1);
}

TEST_F(AutomationServerTest, AnObjectAskedForByAOneShotToolGoesWithTheTool) {
    const CToolRun run =
        RunTool(QStringLiteral("gdbus"),
                {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"),
                 kApplication, QStringLiteral("--object-path"), QStringLiteral("/"),
                 QStringLiteral("--method"), QStringLiteral("Mumblet.ClassFactory.CreateObject")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("/Mumblet/Application/"))) << run.out.toStdString();
    EXPECT_TRUE(Eventually([&] { return server.ObjectCount() == 0; }));
    EXPECT_EQ(window.m_pAutoProxy, nullptr);
}

// A client holds at most its share of objects; others still get theirs.
TEST_F(AutomationServerTest, AClientHoldsNoMoreThanItsShareOfObjects) {
    CBusClient greedy(QStringLiteral("greedy"));
    CBusClient other(QStringLiteral("other"));
    const QString first = greedy.CreateObject();
    for (int i = 1; i < CAutomationServer::kObjectsPerClient; ++i) {
        ASSERT_FALSE(greedy.CreateObject().isEmpty()) << "object " << i;
    }
    EXPECT_EQ(greedy
                  .Call(QStringLiteral("/"), QStringLiteral("Mumblet.ClassFactory"),
                        QStringLiteral("CreateObject"))
                  .errorName(),
              QStringLiteral("Mumblet.Error.TooManyObjects"));
    EXPECT_FALSE(other.CreateObject().isEmpty());
    greedy.Release(first);
    bool again = false;
    EXPECT_TRUE(Eventually([&] { return again = again || !greedy.CreateObject().isEmpty(); }));
}

TEST_F(AutomationServerTest, OnlyTheClientThatAskedMayRelease) {
    CBusClient owner(QStringLiteral("owner"));
    CBusClient stranger(QStringLiteral("stranger"));
    const QString path = owner.CreateObject();
    const QDBusMessage refused = stranger.Release(path);
    EXPECT_EQ(refused.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(refused.errorName(), QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"));
    QTest::qWait(20);
    EXPECT_EQ(server.ObjectCount(), 1);
}

TEST_F(AutomationServerTest, WithoutAPaletteARequestIsAnErrorNotAnObject) {
    CAutomatedWindow::SetMain(nullptr);
    CBusClient client(QStringLiteral("client"));
    const QDBusMessage reply =
        client.Call(QStringLiteral("/"), QStringLiteral("Mumblet.ClassFactory"),
                    QStringLiteral("CreateObject"));
    EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(reply.errorName(), QStringLiteral("Mumblet.Error.NoPalette"));
    EXPECT_EQ(server.ObjectCount(), 0);
}

TEST_F(AutomationServerTest, AnObjectWhosePaletteWentIsStillReleasedCleanly) {
    CBusClient client(QStringLiteral("client"));
    auto palette = std::make_unique<CHeldWindow>();
    CAutomatedWindow::SetMain(palette.get());
    const QString path = client.CreateObject();
    palette.reset();
    EXPECT_EQ(CAutomatedWindow::Main(), nullptr);
    EXPECT_EQ(client.Release(path).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(Eventually([&] { return server.ObjectCount() == 0; }));
}

TEST_F(AutomationServerTest, ASecondServerFindsTheNameTaken) {
    // Another program: a connection of its own.
    CAutomationServer second(
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("second")));
    QString error;
    EXPECT_EQ(second.Publish(&error), CAutomationServer::AlreadyServed);
    EXPECT_TRUE(error.contains(kApplication)) << error.toStdString();
}

// --- the five properties, through three clients ---------------------------

struct PropertyCase {
    const char* client;
    const char* property;
};
void PrintTo(const PropertyCase& c, std::ostream* os) {
    *os << c.client << '/' << c.property;
}

class PropertyTest : public AutomationServerTest,
                     public testing::WithParamInterface<PropertyCase> {};

// Writes `value` to the property and reads it back with one client; the
// read's text.
QString WriteThenRead(const char* client, const QString& path, const QString& property,
                      CBusClient& qtClient) {
    const QString value = QStringLiteral("Dr. Ada");
    if (QString::fromLatin1(client) == QStringLiteral("gdbus")) {
        const QStringList common = {QStringLiteral("call"),          QStringLiteral("--session"),
                                    QStringLiteral("--dest"),        kApplication,
                                    QStringLiteral("--object-path"), path,
                                    QStringLiteral("--method")};
        const CToolRun set =
            RunTool(QStringLiteral("gdbus"),
                    common + QStringList{kProperties + QStringLiteral(".Set"), kApplication,
                                         property, QStringLiteral("<'%1'>").arg(value)});
        EXPECT_EQ(set.exitCode, 0) << set.err.toStdString();
        const CToolRun get = RunTool(
            QStringLiteral("gdbus"),
            common + QStringList{kProperties + QStringLiteral(".Get"), kApplication, property});
        EXPECT_EQ(get.exitCode, 0) << get.err.toStdString();
        // gdbus prints the reply as a tuple: (<'text'>,)
        return get.out.trimmed().mid(3).chopped(4);
    }
    if (QString::fromLatin1(client) == QStringLiteral("dbus-send")) {
        const QStringList common = {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                                    QStringLiteral("--dest=") + kApplication, path};
        const CToolRun set =
            RunTool(QStringLiteral("dbus-send"),
                    common + QStringList{kProperties + QStringLiteral(".Set"),
                                         QStringLiteral("string:") + kApplication,
                                         QStringLiteral("string:") + property,
                                         QStringLiteral("variant:string:") + value});
        EXPECT_EQ(set.exitCode, 0) << set.err.toStdString();
        const CToolRun get = RunTool(QStringLiteral("dbus-send"),
                                     common + QStringList{kProperties + QStringLiteral(".Get"),
                                                          QStringLiteral("string:") + kApplication,
                                                          QStringLiteral("string:") + property});
        EXPECT_EQ(get.exitCode, 0) << get.err.toStdString();
        // "   variant       string \"text\""
        const QString out = get.out;
        const qsizetype open = out.indexOf(QLatin1Char('"'));
        return out.mid(open + 1, out.lastIndexOf(QLatin1Char('"')) - open - 1);
    }
    const QDBusMessage set =
        qtClient.Call(path, kProperties, QStringLiteral("Set"),
                      {kApplication, property, QVariant::fromValue(QDBusVariant(value))});
    EXPECT_EQ(set.type(), QDBusMessage::ReplyMessage) << set.errorMessage().toStdString();
    const QDBusMessage get =
        qtClient.Call(path, kProperties, QStringLiteral("Get"), {kApplication, property});
    EXPECT_EQ(get.type(), QDBusMessage::ReplyMessage) << get.errorMessage().toStdString();
    return get.arguments().value(0).value<QDBusVariant>().variant().toString();
}

TEST_P(PropertyTest, WrittenAndReadBackIsEmpty) {
    // The Qt client holds the object, so the one-shot tools can reach it.
    CBusClient holder(QStringLiteral("holder"));
    const QString path = holder.CreateObject();
    ASSERT_FALSE(path.isEmpty());
    const QString property = QString::fromLatin1(GetParam().property);
    EXPECT_EQ(WriteThenRead(GetParam().client, path, property, holder), QString());
    EXPECT_EQ(server.ObjectCount(), 1);
}

std::vector<PropertyCase> AllPropertyCases() {
    std::vector<PropertyCase> cases;
    for (const char* client : {"qt", "gdbus", "dbus-send"}) {
        for (const char* property : {"Title", "First", "Middle", "Last", "Suffix"}) {
            cases.push_back({client, property});
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(ThreeClients, PropertyTest, testing::ValuesIn(AllPropertyCases()),
                         [](const testing::TestParamInfo<PropertyCase>& param) {
                             QString name = QStringLiteral("%1_%2").arg(
                                 QString::fromLatin1(param.param.client),
                                 QString::fromLatin1(param.param.property));
                             return name.replace(QLatin1Char('-'), QLatin1Char('_')).toStdString();
                         });

TEST_F(AutomationServerTest, GetAllListsTheFivePropertiesEmpty) {
    CBusClient client(QStringLiteral("client"));
    const QString path = client.CreateObject();
    const QDBusMessage all =
        client.Call(path, kProperties, QStringLiteral("GetAll"), {kApplication});
    ASSERT_EQ(all.type(), QDBusMessage::ReplyMessage);
    const QVariantMap values = qdbus_cast<QVariantMap>(all.arguments().value(0));
    EXPECT_EQ(values.keys(), (QStringList{QStringLiteral("First"), QStringLiteral("Last"),
                                          QStringLiteral("Middle"), QStringLiteral("Suffix"),
                                          QStringLiteral("Title")}));
    for (const QVariant& value : values) {
        EXPECT_EQ(value.toString(), QString());
    }
}

// --- what the bus may not reach -------------------------------------------

struct MalformedCase {
    const char* label;
    const char* path; // "object" for the object made in the test
    const char* interface;
    const char* method;
    QList<QVariant> arguments;
};
void PrintTo(const MalformedCase& c, std::ostream* os) {
    *os << c.label;
}

class MalformedCallTest : public AutomationServerTest,
                          public testing::WithParamInterface<MalformedCase> {};

TEST_P(MalformedCallTest, IsAnsweredWithAnErrorAndChangesNothing) {
    CBusClient client(QStringLiteral("client"));
    const QString object = client.CreateObject();
    const MalformedCase& c = GetParam();
    const QString path = QString::fromLatin1(c.path) == QStringLiteral("object")
                             ? object
                             : QString::fromLatin1(c.path);
    const QDBusMessage reply = client.Call(path, QString::fromLatin1(c.interface),
                                           QString::fromLatin1(c.method), c.arguments);
    EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
    QTest::qWait(20);
    EXPECT_EQ(server.ObjectCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, MalformedCallTest,
    testing::Values(
        MalformedCase{"CreateObjectWithAnArgument",
                      "/",
                      "Mumblet.ClassFactory",
                      "CreateObject",
                      {QStringLiteral("x")}},
        MalformedCase{"UnknownMethod", "/", "Mumblet.ClassFactory", "DestroyEverything", {}},
        MalformedCase{"QObjectSlotNotExported", "object", "Mumblet.Application", "deleteLater", {}},
        MalformedCase{"ReleaseWithAnArgument", "object", "Mumblet.Application", "Release", {42}},
        MalformedCase{"UnknownProperty",
                      "object",
                      "org.freedesktop.DBus.Properties",
                      "Get",
                      {QStringLiteral("Mumblet.Application"), QStringLiteral("objectName")}},
        MalformedCase{"QObjectPropertyNotExported",
                      "object",
                      "org.freedesktop.DBus.Properties",
                      "Set",
                      {QStringLiteral("Mumblet.Application"), QStringLiteral("objectName"),
                       QVariant::fromValue(QDBusVariant(QStringLiteral("renamed")))}},
        MalformedCase{"PropertyOfWrongType",
                      "object",
                      "org.freedesktop.DBus.Properties",
                      "Set",
                      {QStringLiteral("Mumblet.Application"), QStringLiteral("Title"),
                       QVariant::fromValue(QDBusVariant(QVariant::fromValue(QStringList{
                           QStringLiteral("a"), QStringLiteral("b")})))}},
        MalformedCase{
            "UnknownObject", "/Mumblet/Application/999", "Mumblet.Application", "Release", {}},
        MalformedCase{
            "LibraryMethodWithoutItsArgument", "/Library", "Mumblet.Library", "Compose", {}}),
    [](const testing::TestParamInfo<MalformedCase>& param) { return param.param.label; });

} // namespace
