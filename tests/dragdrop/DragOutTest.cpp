#include "dragdrop/DDListBox.h"
#include "dragdrop/DragRunner.h"
#include "engine/ComposeText.h"
#include "tests/support/PaletteFixture.h"
#include "tests/support/QtPrinters.h"

#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>

#include <functional>
#include <vector>

namespace {

// Stands in for the drag loop: records what was offered and runs a step
// while the "drag" is on.
class CFakeDragRunner : public CDragRunner {
public:
    CFakeDragRunner() : m_previous(CDragRunner::SetCurrent(this)) {}
    ~CFakeDragRunner() override { CDragRunner::SetCurrent(m_previous); }
    CFakeDragRunner(const CFakeDragRunner&) = delete;
    CFakeDragRunner& operator=(const CFakeDragRunner&) = delete;

    Qt::DropAction Run(QDrag* drag, Qt::DropActions actions) override {
        texts.push_back(drag->mimeData()->text());
        formats.push_back(drag->mimeData()->formats());
        utf8Texts.push_back(drag->mimeData()->data(QStringLiteral("text/plain;charset=utf-8")));
        offered = actions;
        if (during) {
            during();
        }
        drag->deleteLater();
        return result;
    }

    std::vector<QString> texts;
    std::vector<QStringList> formats;
    std::vector<QByteArray> utf8Texts;
    Qt::DropActions offered;
    std::function<void()> during;
    Qt::DropAction result = Qt::MoveAction;

private:
    CDragRunner* m_previous;
};

class DragOutTest : public PaletteTest {
protected:
    void SetUp() override {
        PaletteTest::SetUp();
        SetRandomSource([this] {
            ++draws;
            return 0;
        });
    }
    // An item added before the palette starts (which reads the path).
    void AddItem(const std::string& mnemonic, const std::string& data, int leading = 0,
                 int trailing = 2) {
        app->UseLibrary(CLibraryLocation::Parse(library.path));
        AddPhrase(alpha, mnemonic, data, 3, static_cast<std::int16_t>(leading),
                  static_cast<std::int16_t>(trailing));
    }

    void TearDown() override {
        SetRandomSource({});
        PaletteTest::TearDown();
    }

    // Presses on entry `row` and moves past the drag distance.
    void DragEntry(CDDListBox& list, int row) {
        const QPoint at = list.visualRect(list.Model().index(row)).center();
        QTest::mousePress(list.viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QMouseEvent move(QEvent::MouseMove, QPointF(at + QPoint(20, 0)),
                         QPointF(list.viewport()->mapToGlobal(at + QPoint(20, 0))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list.viewport(), &move);
    }

    CFakeDragRunner runner;
    int draws = 0;
};

struct PunctuationCase {
    const char* name;
    int leading;
    int trailing;
    const char* text;
};

class DragOutPunctuation : public DragOutTest,
                           public testing::WithParamInterface<PunctuationCase> {};

TEST_P(DragOutPunctuation, SurroundsTheTextWithTheItemsPunctuation) {
    const PunctuationCase& c = GetParam();
    AddItem("punctuated", "Text9|", c.leading, c.trailing);
    CMumbletDlg& p = StartPalette();
    DragEntry(p.Mnemonics(), 3);
    ASSERT_EQ(runner.texts.size(), 1u);
    EXPECT_EQ(runner.texts[0], QString::fromUtf8(c.text));
    EXPECT_EQ(runner.offered, Qt::CopyAction | Qt::MoveAction);
}

INSTANTIATE_TEST_SUITE_P(Codes, DragOutPunctuation,
                         testing::Values(PunctuationCase{"TwoAndOne", 2, 1, "  Text "},
                                         PunctuationCase{"FourAndFour", 4, 4, "\n\nText\n\n\n"},
                                         PunctuationCase{"ThreeAndZero", 3, 0, "\nText"},
                                         PunctuationCase{"FiveAndMinusOne", 5, -1, "Text"},
                                         PunctuationCase{"ZeroAndTwo", 0, 2, "Text  "}),
                         [](const testing::TestParamInfo<PunctuationCase>& p) {
                             return std::string(p.param.name);
                         });

TEST_F(DragOutTest, DrawsOncePerDragAndLeavesTheEntryAfterAMove) {
    AddItem("choices", "First9|Second9|");
    CMumbletDlg& p = StartPalette();
    DragEntry(p.Mnemonics(), 3);
    DragEntry(p.Mnemonics(), 3);
    EXPECT_EQ(draws, 2);
    EXPECT_EQ(runner.texts, (std::vector<QString>{"First  ", "First  "}));
    EXPECT_EQ(p.Mnemonics().count(), 4) << "a move by the target never removes the entry";
    EXPECT_EQ(QueryDirect(library.path, "SELECT COUNT(*) FROM tblPhrase").toInt(), 5);
}

TEST_F(DragOutTest, MultiByteTextArrivesWhole) {
    AddItem("gruss", "Gr\xC3\xBC\xC3\x9F"
                     "e \xE2\x82\xAC\xF0\x9F\x98\x80"
                     "9|");
    CMumbletDlg& p = StartPalette();
    DragEntry(p.Mnemonics(), 3);
    ASSERT_EQ(runner.texts.size(), 1u);
    EXPECT_EQ(runner.texts[0], QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"
                                                 "e \xE2\x82\xAC\xF0\x9F\x98\x80"
                                                 "  "));
    // GTK programs read a bare text/plain as Latin-1: the form naming
    // UTF-8 comes first.
    EXPECT_EQ(runner.formats[0].value(0), QStringLiteral("text/plain;charset=utf-8"));
    EXPECT_EQ(runner.utf8Texts[0], runner.texts[0].toUtf8());
}

TEST_F(DragOutTest, AnEntryWhoseRowIsGoneStartsNoDrag) {
    CMumbletDlg& p = StartPalette();
    QueryDirect(library.path, "DELETE FROM tblPhrase WHERE Mnemonic = 'two'");
    DragEntry(p.Mnemonics(), 1);
    EXPECT_TRUE(runner.texts.empty());
    EXPECT_TRUE(p.isVisible());
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(DragOutTest, HidesDuringTheDragAndShowsAfterTheDrop) {
    CMumbletDlg& p = StartPalette();
    bool hiddenDuringDrag = false;
    QRect rectDuringDrag;
    runner.during = [&] {
        rectDuringDrag = p.GetListRect();
        QTest::qWait(CDDListBox::kHideDelayMs + 150);
        hiddenDuringDrag = !p.isVisible();
    };
    DragEntry(p.Mnemonics(), 0);
    EXPECT_TRUE(hiddenDuringDrag);
    EXPECT_TRUE(rectDuringDrag.contains(p.Mnemonics().mapToGlobal(QPoint(5, 5))));
    EXPECT_TRUE(p.GetListRect().isEmpty()) << "the rectangle is reset after the drag";
    EXPECT_FALSE(p.isVisible()) << "it comes back only a moment after the drop";
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.isVisible(); }, 2000));
}

TEST_F(DragOutTest, AQuickClickNeverHidesThePalette) {
    CMumbletDlg& p = StartPalette();
    CDDListBox& list = p.Mnemonics();
    const QPoint at = list.visualRect(list.Model().index(1)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(list.currentRow(), 1);
    QTest::qWait(CDDListBox::kHideDelayMs + 200);
    EXPECT_TRUE(p.isVisible());
    EXPECT_TRUE(runner.texts.empty());
    EXPECT_EQ(draws, 0);
}

TEST_F(DragOutTest, APressHeldStillStartsTheDrag) {
    CMumbletDlg& p = StartPalette();
    CDDListBox& list = p.Mnemonics();
    QTest::mousePress(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                      list.visualRect(list.Model().index(2)).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return runner.texts.size() == 1; }, 3000));
    EXPECT_EQ(runner.texts[0], QStringLiteral("Three  "));
}

// What a drag source over the list is told: the drag-over's action, or
// Qt::IgnoreAction when refused.
Qt::DropAction AnswerToDragOver(CDDListBox& list) {
    QMimeData data;
    data.setText(QStringLiteral("dragged text"));
    const QPoint at(10, 10);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &enter);
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &move);
    QDragLeaveEvent leave;
    QApplication::sendEvent(list.viewport(), &leave);
    return move.isAccepted() ? move.dropAction() : Qt::IgnoreAction;
}

TEST_F(DragOutTest, TheListRefusesItsOwnDrag) {
    CMumbletDlg& p = StartPalette();
    CDDListBox& list = p.Mnemonics();
    Qt::DropAction overOwnList = Qt::CopyAction;
    runner.during = [&] { overOwnList = AnswerToDragOver(list); };
    DragEntry(list, 0);
    EXPECT_EQ(overOwnList, Qt::IgnoreAction);
    EXPECT_EQ(list.count(), 3);
    // After the drag the same place accepts drops again.
    EXPECT_EQ(AnswerToDragOver(list), Qt::MoveAction);
    QTest::qWait(20);
    EXPECT_TRUE(prompts.messages.empty());
}

// Escape while the button is held on an entry, before any drag has started,
// cancels the press only: no drag starts, and the palette (where Escape
// would end the program) never sees the key, whichever control has the
// keyboard.
class EscapeDuringPress : public DragOutTest, public testing::WithParamInterface<bool> {};

TEST_P(EscapeDuringPress, CancelsThePressOnly) {
    CMumbletDlg& p = StartPalette();
    CDDListBox& list = p.Mnemonics();
    const QPoint at = list.visualRect(list.Model().index(1)).center();
    QTest::mousePress(list.viewport(), Qt::LeftButton, Qt::NoModifier, at);
    QWidget* keyTarget = GetParam() ? static_cast<QWidget*>(&p) : &list;
    QTest::keyClick(keyTarget, Qt::Key_Escape);
    // Neither a move past the drag distance nor holding the button on
    // starts the drag now.
    QMouseEvent move(QEvent::MouseMove, QPointF(at + QPoint(20, 0)),
                     QPointF(list.viewport()->mapToGlobal(at + QPoint(20, 0))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &move);
    QTest::qWait(QApplication::startDragTime() + 200);
    EXPECT_TRUE(runner.texts.empty());
    EXPECT_TRUE(p.isVisible()) << "Escape reached the palette";
    EXPECT_EQ(p.result(), 0);
    QTest::mouseRelease(list.viewport(), Qt::LeftButton, Qt::NoModifier, at + QPoint(20, 0));
    EXPECT_EQ(list.currentRow(), 1);

    // The next press drags as ever.
    DragEntry(list, 2);
    EXPECT_EQ(runner.texts.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(KeyTo, EscapeDuringPress, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& p) {
                             return std::string(p.param ? "Palette" : "List");
                         });

} // namespace
