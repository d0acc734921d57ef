#include "automation/ItemLookup.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/QtPrinters.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// A library where names repeat, differ in letter case only, and hold the
// separator "/" themselves.
class ItemLookupTest : public testing::Test {
protected:
    void SetUp() override {
        greetings = AddCategory("Greetings", 0);
        hello = AddPhrase(greetings, "hello", "Hello there9|", 0, 0, 1);
        AddPhrase(greetings, "Hello", "HELLO9|", 1);
        twice1 = AddPhrase(greetings, "twice", "one9|", 2);
        twice2 = AddPhrase(greetings, "twice", "two9|", 3);
        const std::string slashed = AddCategory("Mail/Work", 1);
        signature = AddPhrase(slashed, "sign/off", "Regards9|", 0, 0, 3);
        const std::string mail = AddCategory("Mail", 2);
        workSign = AddPhrase(mail, "Work/sign/out", "Cheers9|", 0);
        AddCategory("Empty", 3);
        AddCategory("Twin", 4);
        AddCategory("Twin", 5);
    }

    CTempLibrary library;
    std::string greetings, hello, twice1, twice2, signature, workSign;
};

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

TEST_F(ItemLookupTest, CategoriesComeInThePalettesOrder) {
    const auto categories = ItemLookup::Categories();
    QStringList names;
    for (const auto& category : categories) {
        names.append(category.name);
        EXPECT_EQ(category.key.size(), 38);
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("Greetings"), QStringLiteral("Mail/Work"),
                                  QStringLiteral("Mail"), QStringLiteral("Empty"),
                                  QStringLiteral("Twin"), QStringLiteral("Twin")}));
}

TEST_F(ItemLookupTest, ItemsOfACategoryByNameOrKey) {
    const auto byName = ItemLookup::ItemsOf(QStringLiteral("greetings"));
    const auto byKey = ItemLookup::ItemsOf(Q(greetings).toLower());
    ASSERT_EQ(byName.size(), 4u);
    EXPECT_EQ(byName, byKey);
    EXPECT_EQ(byName[0], (ItemLookup::NamedKey{QStringLiteral("hello"), Q(hello)}));
    EXPECT_TRUE(ItemLookup::ItemsOf(QStringLiteral("Empty")).empty());
}

struct FindCase {
    const char* label;
    const char* reference;
    const char* expected; // the fixture member's name, or empty when it fails
    ItemLookup::LookupError::Kind failure = ItemLookup::LookupError::Kind::NotFound;
};
void PrintTo(const FindCase& c, std::ostream* os) {
    *os << c.label;
}

class FindItemTest : public ItemLookupTest, public testing::WithParamInterface<FindCase> {
protected:
    std::string Member(const std::string& name) const {
        if (name == "hello")
            return hello;
        if (name == "signature")
            return signature;
        if (name == "workSign")
            return workSign;
        return {};
    }
};

TEST_P(FindItemTest, FindsTheOneItemOrSaysWhy) {
    const FindCase& c = GetParam();
    const QString reference = QString::fromUtf8(c.reference);
    if (*c.expected != '\0') {
        EXPECT_EQ(ItemLookup::FindItemKey(reference), Q(Member(c.expected)));
        return;
    }
    try {
        ItemLookup::FindItemKey(reference);
        ADD_FAILURE() << "found an item";
    } catch (const ItemLookup::LookupError& error) {
        EXPECT_EQ(error.GetKind(), c.failure) << error.what();
        if (c.failure == ItemLookup::LookupError::Kind::Ambiguous) {
            EXPECT_EQ(error.Candidates().size(), 2) << error.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    References, FindItemTest,
    testing::Values(FindCase{"ExactNameWinsOverLetterCase", "Greetings/hello", "hello"},
                    FindCase{"CategoryInAnyLetterCase", "GREETINGS/hello", "hello"},
                    FindCase{"SlashesInBothNames", "Mail/Work/sign/off", "signature"},
                    FindCase{"SlashesInTheMnemonic", "Mail/Work/sign/out", "workSign"},
                    FindCase{"TwoItemsOfOneName", "Greetings/twice", "",
                             ItemLookup::LookupError::Kind::Ambiguous},
                    FindCase{"NoSuchItem", "Greetings/goodbye", ""},
                    FindCase{"NoSuchCategory", "Farewells/hello", ""},
                    FindCase{"NoSlashAtAll", "hello", ""}, FindCase{"EmptyReference", "", ""},
                    FindCase{"KeyOfNoItem", "{00000000-0000-0000-0000-000000000000}", ""}),
    [](const testing::TestParamInfo<FindCase>& param) { return param.param.label; });

TEST_F(ItemLookupTest, AKeyInAnyLetterCaseFindsItsItem) {
    EXPECT_EQ(ItemLookup::FindItemKey(Q(signature).toLower()), Q(signature));
    EXPECT_EQ(ItemLookup::FindItemKey(Q(signature)), Q(signature));
}

TEST_F(ItemLookupTest, ComposeGivesTheTextOfADrag) {
    // Leading code 0, trailing code 1 (one space); the single iteration.
    EXPECT_EQ(ItemLookup::Compose(QStringLiteral("Greetings/hello")), "Hello there ");
    // Trailing code 3: one line break.
    EXPECT_EQ(ItemLookup::Compose(Q(signature)), "Regards\n");
    std::set<std::string> drawn;
    for (int i = 0; i < 20; ++i) {
        drawn.insert(ItemLookup::ComposeItem(Q(twice1)));
    }
    EXPECT_EQ(drawn, (std::set<std::string>{"one  "}));
}

// Names made of slashes alone, and a reference of nothing but slashes,
// long enough that trying every slash in turn would never end.
TEST_F(ItemLookupTest, ReferencesMadeOfSlashesFindWhatTheyName) {
    const std::string slash = AddCategory("/", 6);
    const std::string slashes = AddCategory("//", 7);
    AddPhrase(slash, "//", "one9|", 0);
    AddPhrase(slashes, "/", "two9|", 0);
    const std::string three = AddPhrase(slashes, "//", "three9|", 1);
    EXPECT_EQ(ItemLookup::FindItemKey(QStringLiteral("/////")), Q(three));
    // "/" + "//" and "//" + "/" name one item each.
    EXPECT_THROW(ItemLookup::FindItemKey(QStringLiteral("////")), ItemLookup::LookupError);
    EXPECT_THROW(ItemLookup::FindItemKey(QString(1000000, QLatin1Char('/'))),
                 ItemLookup::LookupError);
}

TEST_F(ItemLookupTest, AnAmbiguousCategoryNameListsItsKeys) {
    try {
        ItemLookup::ItemsOf(QStringLiteral("Twin"));
        ADD_FAILURE() << "listed one of two categories";
    } catch (const ItemLookup::LookupError& error) {
        EXPECT_EQ(error.GetKind(), ItemLookup::LookupError::Kind::Ambiguous);
        EXPECT_EQ(error.Candidates().size(), 2);
    }
}

} // namespace
