#include "automation/LibraryScripting.h"
#include "automation/AutomatedWindow.h"
#include "automation/AutomationServer.h"
#include "store/PasswordSource.h"
#include "tests/automation/BusClient.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/PostgresServer.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <QDBusMetaType>

#include <optional>

namespace {

// The scripting interface as a script sees it: over the bus, from another
// connection, on the library the program has open.
class LibraryScriptingTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
        QString error;
        ASSERT_EQ(server.Publish(&error), CAutomationServer::Published) << error.toStdString();
        greetings = AddCategory("Greetings", 0);
        hello = AddPhrase(greetings, "hello", "Hello there9|", 0, 2, 1);
        AddPhrase(greetings, "bye", "Bye9|", 1);
        AddPhrase(greetings, "twice", "one9|", 2);
        AddPhrase(greetings, "twice", "two9|", 3);
        AddCategory("Empty", 1);
    }

    QDBusMessage Call(const char* method, const QList<QVariant>& arguments = {}) {
        return client.Call(QStringLiteral("/Library"), QStringLiteral("Mumblet.Library"),
                           QString::fromLatin1(method), arguments);
    }
    static NamedKeyList Rows(const QDBusMessage& reply) {
        return qdbus_cast<NamedKeyList>(reply.arguments().value(0));
    }

    CTempLibrary library;
    CAutomationServer server;
    CBusClient client{QStringLiteral("script")};
    std::string greetings, hello;
};

TEST_F(LibraryScriptingTest, ListsCategoriesAndItemsInThePalettesOrder) {
    const QDBusMessage categories = Call("ListCategories");
    ASSERT_EQ(categories.type(), QDBusMessage::ReplyMessage)
        << categories.errorMessage().toStdString();
    EXPECT_EQ(categories.signature(), QStringLiteral("a(ss)"));
    const NamedKeyList rows = Rows(categories);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].name, QStringLiteral("Greetings"));
    EXPECT_EQ(rows[0].key, QString::fromStdString(greetings));
    EXPECT_EQ(rows[1].name, QStringLiteral("Empty"));

    const QDBusMessage items = Call("ListItems", {QStringLiteral("Greetings")});
    ASSERT_EQ(items.type(), QDBusMessage::ReplyMessage);
    QStringList mnemonics;
    for (const auto& row : Rows(items)) {
        mnemonics.append(row.name);
    }
    EXPECT_EQ(mnemonics, (QStringList{QStringLiteral("hello"), QStringLiteral("bye"),
                                      QStringLiteral("twice"), QStringLiteral("twice")}));
    EXPECT_TRUE(Rows(Call("ListItems", {QStringLiteral("Empty")})).isEmpty());
}

TEST_F(LibraryScriptingTest, ComposesAsADragWould) {
    // Leading code 2 (two spaces), trailing code 1 (one space).
    const QDBusMessage byName = Call("Compose", {QStringLiteral("Greetings/hello")});
    ASSERT_EQ(byName.type(), QDBusMessage::ReplyMessage) << byName.errorMessage().toStdString();
    EXPECT_EQ(byName.arguments().value(0).toString(), QStringLiteral("  Hello there "));
    const QDBusMessage byKey = Call("Compose", {QString::fromStdString(hello).toLower()});
    EXPECT_EQ(byKey.arguments().value(0).toString(), QStringLiteral("  Hello there "));
}

TEST_F(LibraryScriptingTest, FindsItemsAsKeysAndNamesThatComposeTakes) {
    const QDBusMessage reply = Call("Find", {QStringLiteral("THERE")});
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_EQ(reply.signature(), QStringLiteral("a(ss)"));
    const auto found = qdbus_cast<FoundItemList>(reply.arguments().value(0));
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found[0].key, QString::fromStdString(hello));
    EXPECT_EQ(found[0].reference, QStringLiteral("Greetings/hello"));
    EXPECT_TRUE(
        qdbus_cast<FoundItemList>(Call("Find", {QStringLiteral("nowhere")}).arguments().value(0))
            .isEmpty());
}

struct ErrorCase {
    const char* label;
    const char* method;
    const char* argument;
    const char* error;
};
void PrintTo(const ErrorCase& c, std::ostream* os) {
    *os << c.label;
}

class LibraryScriptingErrorTest : public LibraryScriptingTest,
                                  public testing::WithParamInterface<ErrorCase> {};

TEST_P(LibraryScriptingErrorTest, IsAnsweredWithItsOwnError) {
    const QDBusMessage reply = Call(GetParam().method, {QString::fromUtf8(GetParam().argument)});
    EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(reply.errorName(), QString::fromLatin1(GetParam().error));
    EXPECT_FALSE(reply.errorMessage().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Requests, LibraryScriptingErrorTest,
    testing::Values(
        ErrorCase{"MissingItem", "Compose", "Greetings/nothing", "Mumblet.Error.NotFound"},
        ErrorCase{"AmbiguousItem", "Compose", "Greetings/twice", "Mumblet.Error.Ambiguous"},
        ErrorCase{"MissingCategory", "ListItems", "Farewells", "Mumblet.Error.NotFound"},
        ErrorCase{"NoSlash", "Compose", "hello", "Mumblet.Error.NotFound"}),
    [](const testing::TestParamInfo<ErrorCase>& param) { return param.param.label; });

TEST_F(LibraryScriptingTest, ALibraryThatCannotBeReadIsALibraryError) {
    library.UsePath(library.FilePath("missing.blz"));
    const QDBusMessage reply = Call("ListCategories");
    EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(reply.errorName(), QStringLiteral("Mumblet.Error.Library"));
    EXPECT_TRUE(reply.errorMessage().contains(QStringLiteral("missing.blz")))
        << reply.errorMessage().toStdString();
}

// A server that wants a password nothing else gives: a script is never the
// one asked, and its answer says what is missing.
TEST_F(LibraryScriptingTest, AServerThatWantsAPasswordAsksNobody) {
    CTempLibrary onServer{Engine::PostgreSQL};
    SKIP_WITHOUT_ENGINE(onServer);
    onServer.UsePath(CPostgresServer::Shared()->Address(QStringLiteral("postgres"),
                                                        QStringLiteral("blurtle_password")));
    int asked = 0;
    SetPasswordSource([&asked](const PasswordRequest&) {
        ++asked;
        return std::optional<QString>();
    });
    struct SourceReset {
        ~SourceReset() { SetPasswordSource({}); }
    } reset;
    const QDBusMessage refused = Call("ListCategories");
    EXPECT_TRUE(refused.errorMessage().contains(QStringLiteral("needs a password")))
        << refused.errorMessage().toStdString();
    EXPECT_EQ(asked, 0);
}

} // namespace
