// The three name dialogs as the user meets them: what each shows, what it
// returns on OK and on Cancel, and the 50-character limit of its edit
// (characters, never UTF-16 units, and never half a character).
#include "dialogs/CategoryAdd.h"
#include "dialogs/CategoryRenameDlg.h"
#include "dialogs/ItemRename.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>
#include <string>

namespace {

const QString kEmoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // one character, two UTF-16 units

struct NameDialogCase {
    const char* name;
    std::function<std::unique_ptr<CNameDialog>()> make;
    std::function<QString&(CNameDialog&)> member;
    const char* title;
    const char* label;
    const char* ok;
    const char* cancel;
    const char* edit;
};

void PrintTo(const NameDialogCase& c, std::ostream* out) {
    *out << c.name;
}

const NameDialogCase kDialogs[] = {
    {"CategoryAdd", [] { return std::make_unique<CCategoryAdd>(); },
     [](CNameDialog& d) -> QString& { return static_cast<CCategoryAdd&>(d).m_strCategoryName; },
     "Add Category", "C&ategory Name", "&OK", "&Cancel", "IDC_CATEGORY_NAME"},
    {"CategoryRename", [] { return std::make_unique<CCategoryRenameDlg>(); },
     [](CNameDialog& d) -> QString& {
         return static_cast<CCategoryRenameDlg&>(d).m_strDescription;
     },
     "Rename Category", "&Description", "OK", "Cancel", "IDC_DESCRIPTION"},
    {"ItemRename", [] { return std::make_unique<CItemRename>(); },
     [](CNameDialog& d) -> QString& { return static_cast<CItemRename&>(d).m_strMnemonic; },
     "Rename Mnemonic", "&Mnemonic", "&OK", "&Cancel", "IDC_DESCRIPTION"},
};

class NameDialogs : public ::testing::TestWithParam<NameDialogCase> {
protected:
    void SetUp() override {
        dialog = GetParam().make();
        edit = dialog->findChild<QLineEdit*>(QString::fromLatin1(GetParam().edit));
        ASSERT_NE(edit, nullptr);
    }
    QString& Member() { return GetParam().member(*dialog); }

    std::unique_ptr<CNameDialog> dialog;
    QLineEdit* edit = nullptr;
};

TEST_P(NameDialogs, ShowsItsTitleLabelAndButtons) {
    const NameDialogCase& c = GetParam();
    EXPECT_EQ(dialog->windowTitle(), QString::fromLatin1(c.title));
    auto* label = dialog->findChild<QLabel*>(QStringLiteral("labelName"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QString::fromLatin1(c.label));
    EXPECT_EQ(label->buddy(), edit);
    auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("okButton"));
    auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("cancelButton"));
    ASSERT_NE(ok, nullptr);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(ok->text(), QString::fromLatin1(c.ok));
    EXPECT_EQ(cancel->text(), QString::fromLatin1(c.cancel));
    EXPECT_TRUE(ok->isDefault());
}

TEST_P(NameDialogs, ShowsTheMemberAndReturnsTheEditOnlyOnOk) {
    Member() = QStringLiteral("Greetings");
    dialog->show();
    EXPECT_EQ(edit->text(), QStringLiteral("Greetings"));
    edit->setText(QStringLiteral("Farewells"));
    dialog->reject();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(Member(), QStringLiteral("Greetings"));

    dialog->show(); // shown again: the edit starts from the member once more
    EXPECT_EQ(edit->text(), QStringLiteral("Greetings"));
    edit->setText(QStringLiteral("Farewells"));
    dialog->accept();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(Member(), QStringLiteral("Farewells"));
}

TEST_P(NameDialogs, AcceptsAnEmptyName) {
    Member() = QStringLiteral("Old");
    dialog->show();
    edit->clear();
    dialog->accept();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(Member().isEmpty());
}

// Enter in the edit is OK (the default button), Escape is Cancel.
TEST_P(NameDialogs, EnterIsOkAndEscapeIsCancel) {
    for (const auto& [key, result, expected] :
         {std::tuple{Qt::Key_Return, QDialog::Accepted, "typed"},
          std::tuple{Qt::Key_Escape, QDialog::Rejected, "before"}}) {
        Member() = QStringLiteral("before");
        dialog->show();
        edit->setText(QStringLiteral("typed"));
        QTest::keyClick(edit, key);
        EXPECT_FALSE(dialog->isVisible()) << key;
        EXPECT_EQ(dialog->result(), result) << key;
        EXPECT_EQ(Member(), QString::fromLatin1(expected)) << key;
    }
}

// What the edit holds after each way text gets in.
struct LimitCase {
    const char* name;
    QString before;     // the edit's text first
    int cursor;         // the cursor before the insertion (-1: the end)
    QString inserted;   // typed or pasted at the cursor
    QString expected;   // the edit's text afterwards
    int expectedCursor; // -1: not checked
};

TEST_P(NameDialogs, HoldsAtMostFiftyWholeCharacters) {
    const QString a49(49, QLatin1Char('a'));
    const QString a50(50, QLatin1Char('a'));
    QString emoji50;
    for (int i = 0; i < 50; ++i) {
        emoji50 += kEmoji;
    }
    const LimitCase cases[] = {
        {"typing below the limit", a49, -1, QStringLiteral("b"), a49 + QLatin1Char('b'), 50},
        {"typing at the limit is refused", a50, -1, QStringLiteral("b"), a50, 50},
        {"typing at the limit in the middle is refused", a50, 3, QStringLiteral("b"), a50, 3},
        {"an emoji at the limit is refused whole", a50, -1, kEmoji, a50, 50},
        {"the 50th character may be an emoji", a49, -1, kEmoji + kEmoji, a49 + kEmoji, 51},
        {"fifty emoji fit (100 UTF-16 units)", QString(), -1, emoji50, emoji50, 100},
        {"a paste keeps what fits and the text after the cursor", QString(45, QLatin1Char('a')), 10,
         QStringLiteral("xyz") + kEmoji + kEmoji + kEmoji,
         QString(10, QLatin1Char('a')) + QStringLiteral("xyz") + kEmoji + kEmoji +
             QString(35, QLatin1Char('a')),
         17},
        {"an emoji paste split between its units never leaves half", QString(48, QLatin1Char('a')),
         -1, QStringLiteral("b") + kEmoji + QStringLiteral("c"),
         QString(48, QLatin1Char('a')) + QStringLiteral("b") + kEmoji, 51},
    };
    for (const LimitCase& c : cases) {
        edit->setText(c.before);
        if (c.cursor >= 0) {
            edit->setCursorPosition(c.cursor);
        }
        edit->insert(c.inserted);
        EXPECT_EQ(edit->text(), c.expected) << c.name;
        if (c.expectedCursor >= 0) {
            EXPECT_EQ(edit->cursorPosition(), c.expectedCursor) << c.name;
        }
    }
}

// A name longer than the limit given to the dialog (a row edited
// elsewhere) is shown and returned whole; typing can't make it longer.
TEST_P(NameDialogs, KeepsALongerMemberWhole) {
    for (const QString& unit : {QStringLiteral("x"), kEmoji}) {
        const QString sixty = unit.repeated(60);
        Member() = sixty;
        dialog->show();
        edit->end(false);
        edit->insert(QStringLiteral("y"));
        dialog->accept();
        EXPECT_EQ(Member(), sixty);
    }
}

INSTANTIATE_TEST_SUITE_P(All, NameDialogs, ::testing::ValuesIn(kDialogs),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

} // namespace
