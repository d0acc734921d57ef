#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/EntryLines.h"
#include "store/KeyHelpers.h"
#include "tests/app/PaletteFixture.h"
#include "tests/support/QtPrinters.h"

#include <QDropEvent>
#include <QMimeData>
#include <QTest>

namespace {

class DropTest : public PaletteTest {
protected:
    // Drops `text` onto the list as another program would; returns the
    // action the list answered with (Qt::IgnoreAction when refused).
    Qt::DropAction Drop(CDDListBox& list, const QString& text,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                        Qt::DropActions possible = Qt::CopyAction | Qt::MoveAction) {
        QMimeData data;
        data.setText(text);
        const QPointF at(10, list.viewport()->height() - 5);
        // A drop reaches only the widget that accepted the drag's entry.
        QDragEnterEvent enter(at.toPoint(), possible, &data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(list.viewport(), &enter);
        if (!enter.isAccepted()) {
            return Qt::IgnoreAction;
        }
        QDropEvent drop(at, possible, &data, Qt::LeftButton, modifiers);
        QApplication::sendEvent(list.viewport(), &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }

    QString Row(const char* columns) {
        return QueryDirect(library.path,
                           QStringLiteral("SELECT %1 FROM tblPhrase ORDER BY rowid DESC LIMIT 1")
                               .arg(QString::fromLatin1(columns)))
            .toString();
    }

    int Rows() { return QueryDirect(library.path, "SELECT count(*) FROM tblPhrase").toInt(); }
};

TEST_F(DropTest, DroppedTextBecomesTheLastItemOfTheCategory) {
    CMumbletDlg& p = StartPalette();
    CDDListBox& list = p.Mnemonics();
    list.setCurrentRow(1);

    EXPECT_EQ(Drop(list, "  \tWith kind regards,\r\n  "), Qt::MoveAction);

    EXPECT_EQ(MnemonicNames(), QStringList({"one", "two", "three", "With kind regards,"}));
    EXPECT_EQ(list.currentRow(), 1) << "the selection does not change";
    EXPECT_EQ(Row("Data || '/' || Mnemonic || '/' || PunctuationLeading || '/' || "
                  "PunctuationTrailing || '/' || ZOrder || '/' || CategoryID"),
              QString::fromStdString("With kind regards,9|/With kind regards,/0/2/3/" + alpha));
    // The new entry carries the new row's key.
    const QString key = EntryLines::MnemonicKey(EntryLines::LineOf(list.item(3)));
    EXPECT_EQ(key, Row("PhraseID"));
    EXPECT_TRUE(prompts.messages.empty());
}

struct MnemonicCase {
    const char* name;
    QString dropped;
    QString mnemonic;
};

class DroppedMnemonics : public DropTest, public testing::WithParamInterface<MnemonicCase> {};

TEST_P(DroppedMnemonics, AreTheFirstFiftyCharacters) {
    CMumbletDlg& p = StartPalette();
    ASSERT_NE(Drop(p.Mnemonics(), GetParam().dropped), Qt::IgnoreAction);
    EXPECT_EQ(Row("Mnemonic"), GetParam().mnemonic);
    EXPECT_EQ(p.Mnemonics().item(3)->text(), GetParam().mnemonic);
    EXPECT_EQ(Row("Data"), GetParam().dropped.trimmed() + "9|");
}

const QString k80 = QStringLiteral("Thank you for your letter of the fifth. We will reply "
                                   "within ten working days.");

INSTANTIATE_TEST_SUITE_P(
    Texts, DroppedMnemonics,
    testing::Values(MnemonicCase{"Eighty", k80, k80.left(50)},
                    MnemonicCase{"BlankAtFifty", QString(49, 'x') + " and more", QString(49, 'x')},
                    MnemonicCase{"MultiByte",
                                 QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"
                                                   "e \xE2\x82\xAC"),
                                 QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"
                                                   "e \xE2\x82\xAC")},
                    MnemonicCase{"NeverSplitsACharacter",
                                 QString(49, 'a') + QString::fromUtf8("\xF0\x9F\x98\x80"
                                                                      "b"),
                                 QString(49, 'a') + QString::fromUtf8("\xF0\x9F\x98\x80")}),
    [](const testing::TestParamInfo<MnemonicCase>& p) { return std::string(p.param.name); });

struct ActionCase {
    const char* name;
    Qt::KeyboardModifiers modifiers;
    Qt::DropActions possible;
    Qt::DropAction expected;
};

class DropActions : public DropTest, public testing::WithParamInterface<ActionCase> {};

TEST_P(DropActions, FollowCtrlAndWhatTheSourceAllows) {
    CMumbletDlg& p = StartPalette();
    const ActionCase& c = GetParam();
    EXPECT_EQ(p.Mnemonics().DropTarget().OnDragOver(p.Mnemonics().mapToGlobal(QPoint(5, 5)),
                                                    c.modifiers, c.possible),
              c.expected);
    EXPECT_EQ(Drop(p.Mnemonics(), "text", c.modifiers, c.possible), c.expected);
    EXPECT_EQ(p.Mnemonics().count(), 4);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DropActions,
    testing::Values(ActionCase{"MoveWithoutCtrl", Qt::NoModifier, Qt::CopyAction | Qt::MoveAction,
                               Qt::MoveAction},
                    ActionCase{"CopyWithCtrl", Qt::ControlModifier, Qt::CopyAction | Qt::MoveAction,
                               Qt::CopyAction},
                    ActionCase{"CopyWhenMoveIsNotAllowed", Qt::NoModifier, Qt::CopyAction,
                               Qt::CopyAction},
                    ActionCase{"MoveWhenCopyIsNotAllowed", Qt::ControlModifier, Qt::MoveAction,
                               Qt::MoveAction}),
    [](const testing::TestParamInfo<ActionCase>& p) { return std::string(p.param.name); });

struct RefusalCase {
    const char* name;
    QString text;
    QString message; // empty: nothing to tell
};

class DropRefusals : public DropTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(DropRefusals, AddNothingAndLeaveTheSourceItsText) {
    CMumbletDlg& p = StartPalette();
    EXPECT_EQ(Drop(p.Mnemonics(), GetParam().text), Qt::IgnoreAction);
    EXPECT_EQ(Rows(), 4);
    EXPECT_EQ(p.Mnemonics().count(), 3);
    EXPECT_TRUE(prompts.messages.empty()) << "nothing is shown while the drop is answered";
    QTest::qWait(20);
    if (GetParam().message.isEmpty()) {
        EXPECT_TRUE(prompts.messages.empty());
    } else {
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_TRUE(prompts.messages[0].text.contains(GetParam().message))
            << prompts.messages[0].text.toStdString();
        EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Blurtle (TM)"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DropRefusals,
    testing::Values(RefusalCase{"Empty", "", ""}, RefusalCase{"WhiteSpace", " \r\n\t", ""},
                    RefusalCase{"Separator", "one|two", "\"|\""},
                    RefusalCase{"Nul", QString::fromLatin1("a\0b", 3), "zero character"}),
    [](const testing::TestParamInfo<RefusalCase>& p) { return std::string(p.param.name); });

TEST_F(DropTest, WithoutACategoryNothingIsAddedAndTheUserIsTold) {
    QueryDirect(library.path, "DELETE FROM tblCategory");
    CMumbletDlg& p = StartPalette();
    ASSERT_EQ(p.Category().count(), 0);
    EXPECT_FALSE(p.AddDroppedText("text"));
    EXPECT_EQ(Drop(p.Mnemonics(), "text"), Qt::IgnoreAction);
    EXPECT_EQ(Rows(), 0);
    QTest::qWait(20);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains("category"));
}

TEST_F(DropTest, DataWithoutTextIsRefused) {
    CMumbletDlg& p = StartPalette();
    QMimeData data;
    data.setData("application/octet-stream", "\x01\x02");
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(p.Mnemonics().viewport(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(p.Mnemonics().viewport(), &drop);
    EXPECT_FALSE(drop.isAccepted());
    EXPECT_EQ(Rows(), 4);
}

TEST_F(DropTest, ADatabaseErrorIsReportedAfterTheDropAndAddsNothing) {
    CMumbletDlg& p = StartPalette();
    // Another program deletes the shown category meanwhile: the new row
    // would name a category that no longer exists.
    QueryDirect(library.path, QString::fromStdString("PRAGMA foreign_keys = ON; "));
    QueryDirect(library.path,
                QString::fromStdString("DELETE FROM tblPhrase WHERE CategoryID = '" + alpha + "'"));
    QueryDirect(library.path, QString::fromStdString(
                                  "DELETE FROM tblCategory WHERE CategoryID = '" + alpha + "'"));
    EXPECT_EQ(Drop(p.Mnemonics(), "orphan"), Qt::IgnoreAction);
    EXPECT_EQ(p.Mnemonics().count(), 3);
    EXPECT_EQ(QueryDirect(library.path, "SELECT count(*) FROM tblPhrase WHERE Mnemonic = 'orphan'")
                  .toInt(),
              0);
    QTest::qWait(20);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].icon, CPromptService::Icon::Stop);
}

} // namespace
