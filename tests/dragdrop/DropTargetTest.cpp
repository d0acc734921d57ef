#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/EntryLines.h"
#include "store/KeyHelpers.h"
#include "tests/dragdrop/ForeignDrag.h"
#include "tests/dragdrop/ScriptedPointer.h"
#include "tests/support/PaletteFixture.h"
#include "tests/support/QtPrinters.h"
#include "tests/support/Unprivileged.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QTest>

#include <optional>
#include <tuple>

namespace {

class DropTest : public PaletteTest {
protected:
    // Drags `data` over the list as another program would, and lets go of
    // it there: a source drops only when its last drag-over was accepted,
    // else it leaves. Without `release` the drag stays over the list.
    SourceView DragOver(CDDListBox& list, const QMimeData& data,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                        Qt::DropActions possible = Qt::CopyAction | Qt::MoveAction,
                        bool release = true) {
        SourceView view;
        const QPoint at(10, list.viewport()->height() - 5);
        EnterAndMove(list.viewport(), data, at, modifiers, possible, view);
        if (!release) {
            return view;
        }
        if (view.moveAccepted) {
            QDropEvent drop(QPointF(at + QPoint(2, 0)), possible, &data, Qt::LeftButton, modifiers);
            QApplication::sendEvent(list.viewport(), &drop);
            view.dropped = true;
            view.dropAction = drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
        } else {
            // The user let go over the list: the button is up, the pointer
            // still there.
            pointer.state =
                CPointerQuery::State{list.viewport()->mapToGlobal(at + QPoint(2, 0)), {}};
            QDragLeaveEvent leave;
            QApplication::sendEvent(list.viewport(), &leave);
        }
        return view;
    }

    SourceView DragText(CDDListBox& list, const QString& text,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                        Qt::DropActions possible = Qt::CopyAction | Qt::MoveAction) {
        QMimeData data;
        data.setText(text);
        return DragOver(list, data, modifiers, possible);
    }

    // Drops `text` onto the list; returns the action the list answered the
    // drop with (Qt::IgnoreAction when refused or never dropped).
    Qt::DropAction Drop(CDDListBox& list, const QString& text,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                        Qt::DropActions possible = Qt::CopyAction | Qt::MoveAction) {
        return DragText(list, text, modifiers, possible).dropAction;
    }

    QString Row(const char* columns) {
        return QueryDirect(library.path,
                           QStringLiteral("SELECT %1 FROM tblPhrase ORDER BY rowid DESC LIMIT 1")
                               .arg(QString::fromLatin1(columns)))
            .toString();
    }

    int Rows() { return QueryDirect(library.path, "SELECT count(*) FROM tblPhrase").toInt(); }

    CScriptedPointer pointer;
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
    const QString key = EntryLines::MnemonicKey(list.LineAt(3));
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
    EXPECT_EQ(p.Mnemonics().TextAt(3), GetParam().mnemonic);
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
    const SourceView view = DragText(p.Mnemonics(), "text", c.modifiers, c.possible);
    EXPECT_EQ(view.Result(), c.expected) << "what the source is told while dragging";
    EXPECT_EQ(view.dropAction, c.expected);
    EXPECT_EQ(p.Mnemonics().count(), 4);
    EXPECT_TRUE(prompts.messages.empty());
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

// A text that can never become an item is refused while it is dragged
// over the list, so no source is ever told it moved; the user learns why
// when letting go of it over the list.
struct RefusalCase {
    const char* name;
    std::optional<QString> text; // nothing: the drag carries no text at all
    QString message;
};

const RefusalCase kRefusals[] = {
    {"NoText", std::nullopt, "holds no text"},
    {"Empty", QString(""), "white space"},
    {"WhiteSpace", QString(" \r\n\t"), "white space"},
    {"Separator", QString("Keep this a|b text"), "\"|\""},
    {"SeparatorAlone", QString("|"), "\"|\""},
    {"Nul", QString::fromLatin1("a\0b", 3), "zero character"},
    {"Valid", QString("good words"), ""}, // refused only without a category
};

void PrintTo(const RefusalCase& c, std::ostream* os) {
    *os << c.name;
}

using RefusalParam = std::tuple<RefusalCase, bool /*category*/, bool /*ctrl*/>;

class DropRefusals : public DropTest, public testing::WithParamInterface<RefusalParam> {
protected:
    void SetUp() override {
        DropTest::SetUp();
        if (!std::get<1>(GetParam())) {
            QueryDirect(library.path, "DELETE FROM tblCategory");
        }
    }
    static void Fill(QMimeData& data, const RefusalCase& c) {
        if (c.text) {
            data.setText(*c.text);
        } else {
            data.setData("application/octet-stream", "\x01\x02");
        }
    }
};

TEST_P(DropRefusals, AreRefusedWhileDraggedAndExplainedOnceAtTheRelease) {
    const auto& [c, category, ctrl] = GetParam();
    CMumbletDlg& p = StartPalette();
    const int rowsBefore = Rows();
    const bool refused = !category || !c.message.isEmpty();
    QMimeData data;
    Fill(data, c);

    const SourceView view =
        DragOver(p.Mnemonics(), data, ctrl ? Qt::ControlModifier : Qt::NoModifier);

    if (!refused) {
        EXPECT_EQ(view.Result(), ctrl ? Qt::CopyAction : Qt::MoveAction);
        EXPECT_EQ(Rows(), rowsBefore + 1);
        return;
    }
    EXPECT_FALSE(view.moveAccepted) << "a Qt source would report its last drag-over answer";
    EXPECT_EQ(view.Result(), Qt::IgnoreAction);
    EXPECT_EQ(Rows(), rowsBefore);
    EXPECT_EQ(p.Mnemonics().count(), category ? 3 : 0);
    EXPECT_TRUE(prompts.messages.empty()) << "nothing is shown while the drag is answered";
    QTest::qWait(20);
    ASSERT_EQ(prompts.messages.size(), 1u);
    const QString expected = category ? c.message : QStringLiteral("Select a category");
    EXPECT_TRUE(prompts.messages[0].text.contains(expected))
        << prompts.messages[0].text.toStdString();
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Blurtle (TM)"));
}

INSTANTIATE_TEST_SUITE_P(Texts, DropRefusals,
                         testing::Combine(testing::ValuesIn(kRefusals), testing::Bool(),
                                          testing::Bool()),
                         [](const testing::TestParamInfo<RefusalParam>& p) {
                             return std::string(std::get<0>(p.param).name) +
                                    (std::get<1>(p.param) ? "" : "_NoCategory") +
                                    (std::get<2>(p.param) ? "_Ctrl" : "");
                         });

// How a refused drag ends decides whether the user is told: only a release
// over the list is a drop the user meant.
struct LeaveCase {
    const char* name;
    QPoint offset;            // from the list's top-left corner
    Qt::MouseButtons buttons; // held when the drag left
    bool told;
};

void PrintTo(const LeaveCase& c, std::ostream* os) {
    *os << c.name;
}

class RefusedDragLeaves : public DropTest, public testing::WithParamInterface<LeaveCase> {};

TEST_P(RefusedDragLeaves, TellTheReasonOnlyForAReleaseOverTheList) {
    const LeaveCase& c = GetParam();
    CMumbletDlg& p = StartPalette();
    CDDListBox& list = p.Mnemonics();
    QMimeData data;
    data.setText("a|b");
    const SourceView view =
        DragOver(list, data, Qt::NoModifier, Qt::CopyAction | Qt::MoveAction, false);
    ASSERT_FALSE(view.moveAccepted);
    const QPoint corner = list.mapToGlobal(QPoint(0, 0));
    pointer.state = CPointerQuery::State{
        corner + (c.offset.x() < 0 ? QPoint(list.width() + 30, 10) : c.offset), c.buttons};
    QDragLeaveEvent leave;
    QApplication::sendEvent(list.viewport(), &leave);
    QTest::qWait(20);
    EXPECT_EQ(prompts.messages.size(), c.told ? 1u : 0u);

    // A second leave of the same drag tells nothing more.
    QApplication::sendEvent(list.viewport(), &leave);
    QTest::qWait(20);
    EXPECT_EQ(prompts.messages.size(), c.told ? 1u : 0u);
    EXPECT_EQ(Rows(), 4);
}

INSTANTIATE_TEST_SUITE_P(
    Ends, RefusedDragLeaves,
    testing::Values(LeaveCase{"ReleasedOverTheList", QPoint(20, 20), Qt::NoButton, true},
                    LeaveCase{"MovedAwayWithTheButtonHeld", QPoint(-1, 0), Qt::LeftButton, false},
                    LeaveCase{"ReleasedElsewhere", QPoint(-1, 0), Qt::NoButton, false},
                    LeaveCase{"CancelledWithEscapeOverTheList", QPoint(20, 20), Qt::LeftButton,
                              false}),
    [](const testing::TestParamInfo<LeaveCase>& p) { return std::string(p.param.name); });

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
    const SourceView view = DragOver(p.Mnemonics(), data);
    EXPECT_FALSE(view.moveAccepted);
    EXPECT_FALSE(view.dropped);
    EXPECT_EQ(Rows(), 4);
}

TEST_F(DropTest, AnAcceptedDragThatLeavesTellsNothing) {
    CMumbletDlg& p = StartPalette();
    QMimeData data;
    data.setText("good words");
    const SourceView view =
        DragOver(p.Mnemonics(), data, Qt::NoModifier, Qt::CopyAction | Qt::MoveAction, false);
    ASSERT_EQ(view.Result(), Qt::MoveAction);
    pointer.state = CPointerQuery::State{p.Mnemonics().mapToGlobal(QPoint(20, 20)), {}};
    QDragLeaveEvent leave;
    QApplication::sendEvent(p.Mnemonics().viewport(), &leave);
    QTest::qWait(20);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(Rows(), 4);
}

TEST_F(DropTest, TheTextIsReadOncePerDrag) {
    // Each read of a foreign drag's text is a round trip to its source.
    class CCountingData : public QMimeData {
    public:
        mutable int reads = 0;

    protected:
        QVariant retrieveData(const QString& mimeType, QMetaType type) const override {
            if (mimeType == QLatin1String("text/plain")) {
                ++reads;
            }
            return QMimeData::retrieveData(mimeType, type);
        }
    };
    CMumbletDlg& p = StartPalette();
    CCountingData data;
    data.setText("counted words");
    CDDListBox& list = p.Mnemonics();
    for (int x = 10; x < 20; x += 2) {
        SourceView view;
        EnterAndMove(list.viewport(), data, QPoint(x, 10), Qt::NoModifier,
                     Qt::CopyAction | Qt::MoveAction, view);
        ASSERT_TRUE(view.moveAccepted);
        if (x < 18) { // a drag that leaves the list for a moment and comes back
            QDragLeaveEvent leave;
            QApplication::sendEvent(list.viewport(), &leave);
        }
    }
    for (int x = 20; x < 30; ++x) {
        QDragMoveEvent move(QPoint(x, 10), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                            Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &move);
        ASSERT_TRUE(move.isAccepted());
    }
    QDropEvent drop(QPointF(30, 10), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                    Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(data.reads, 5) << "once per entry of the list";
    EXPECT_EQ(Row("Mnemonic"), "counted words");
}

TEST_F(DropTest, ADatabaseErrorIsReportedAfterTheDropAndAddsNothing) {
    CMumbletDlg& p = StartPalette();
    // The library takes the drag's text over the list, then refuses the
    // row (another program's rule).
    QueryDirect(library.path, "CREATE TRIGGER refuse BEFORE INSERT ON tblPhrase "
                              "BEGIN SELECT RAISE(ABORT, 'refused by a rule'); END");
    EXPECT_EQ(Drop(p.Mnemonics(), "orphan"), Qt::IgnoreAction);
    EXPECT_EQ(p.Mnemonics().count(), 3);
    EXPECT_EQ(QueryDirect(library.path, "SELECT count(*) FROM tblPhrase WHERE Mnemonic = 'orphan'")
                  .toInt(),
              0);
    QTest::qWait(20);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(prompts.messages[0].icon, CPromptService::Icon::Stop);
    EXPECT_TRUE(prompts.messages[0].text.contains("refused by a rule"))
        << prompts.messages[0].text.toStdString();
}

// What the library's state tells before the drop is told while the text is
// dragged over: the source is never told its text moved.
TEST_F(DropTest, ACategoryDeletedMeanwhileIsRefusedWhileDraggedOver) {
    CMumbletDlg& p = StartPalette();
    QueryDirect(library.path, QString::fromStdString(
                                  "DELETE FROM tblCategory WHERE CategoryID = '" + alpha + "'"));
    const SourceView view = DragText(p.Mnemonics(), "good words");
    EXPECT_EQ(view.Result(), Qt::IgnoreAction);
    EXPECT_EQ(Rows(), 1) << "only Beta's item is left";
    QTest::qWait(20);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.startsWith("The selected category is no longer"))
        << prompts.messages[0].text.toStdString();
}

TEST_F(DropTest, AReadOnlyLibraryRefusesTheDragAndSaysWhy) {
    if (RerunAsNobodyIfRoot()) {
        return;
    }
    QFile::setPermissions(QString::fromStdString(library.path), QFileDevice::ReadOwner);
    CMumbletDlg& p = StartPalette();
    const SourceView view = DragText(p.Mnemonics(), "good words");
    EXPECT_EQ(view.Result(), Qt::IgnoreAction);
    QTest::qWait(20);
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(
        prompts.messages[0].text.startsWith(QStringLiteral("The library \"%1\" is read-only.")
                                                .arg(QString::fromStdString(library.path))))
        << prompts.messages[0].text.toStdString();
    QFile::setPermissions(QString::fromStdString(library.path),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(Rows(), 4);
}

TEST_F(DropTest, ALibraryLockedByAnotherProgramIsOfferedACopyOnly) {
    CMumbletDlg& p = StartPalette();
    QProcess holder;
    holder.start(QStringLiteral("sqlite3"), {QString::fromStdString(library.path)});
    ASSERT_TRUE(holder.waitForStarted());
    holder.write("BEGIN IMMEDIATE;\nSELECT 'locked';\n");
    ASSERT_TRUE(holder.waitForReadyRead(10000));
    QMimeData data;
    data.setText(QStringLiteral("good words"));
    const SourceView view = DragOver(p.Mnemonics(), data, Qt::NoModifier,
                                     Qt::CopyAction | Qt::MoveAction, /*release=*/false);
    EXPECT_EQ(view.Result(), Qt::CopyAction) << "a source keeps its text for a copy";
    holder.write("ROLLBACK;\n.quit\n");
    holder.closeWriteChannel();
    ASSERT_TRUE(holder.waitForFinished(10000));
}

} // namespace
