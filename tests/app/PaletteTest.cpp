#include "app/Profile.h"
#include "automation/MumbletDlgAutoProxy.h"
#include "dialogs/UpDownButtons.h"
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/EntryLines.h"
#include "dragdrop/PaletteMessages.h"
#include "store/DaoException.h"
#include "store/LibraryFile.h"
#include "tests/support/DialogCanceller.h"
#include "tests/support/PaletteFixture.h"
#include "tests/support/QtPrinters.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <ostream>

namespace {

QString LineFor(const char* name, const std::string& key) {
    return EntryLines::MakeCategoryLine(QString::fromUtf8(name), QString::fromStdString(key));
}

void Select(CMumbletDlg& palette, int row) {
    palette.Mnemonics().setCurrentRow(row);
}

void ChooseCategory(CMumbletDlg& palette, int index) {
    palette.Category().setCurrentIndex(index);
    emit palette.Category().activated(index);
}

} // namespace

// --- initialisation -------------------------------------------------------

TEST_F(PaletteTest, FirstStartShowsTheFirstCategoryAndRemembersIt) {
    CMumbletDlg& p = StartPalette();
    EXPECT_EQ(CategoryNames(), QStringList({"Alpha", "Beta"}));
    EXPECT_EQ(p.Category().currentIndex(), 0);
    EXPECT_EQ(MnemonicNames(), QStringList({"one", "two", "three"}));
    EXPECT_EQ(Profile::GetString("Category", "unset"), LineFor("Alpha", alpha));
    EXPECT_TRUE(p.isVisible());
    EXPECT_FALSE(p.IsInitializing());
    EXPECT_EQ(p.windowTitle(), QStringLiteral("Blurtle (TM)"));
    EXPECT_TRUE(p.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(p.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(p.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(Profile::Contains("x")) << "no placement before the user moves the palette";
    EXPECT_TRUE(prompts.messages.empty()) << prompts.MessageTexts().join('|').toStdString();
    // The list's rectangle starts empty: no point lies in it.
    EXPECT_TRUE(p.GetListRect().isEmpty());
}

struct RememberedCase {
    const char* label;
    std::function<QString(const std::string& alphaKey, const std::string& betaKey)> setting;
    int expectedIndex;
};
void PrintTo(const RememberedCase& c, std::ostream* os) {
    *os << c.label;
}

class RememberedCategory : public PaletteTest,
                           public testing::WithParamInterface<RememberedCase> {};

TEST_P(RememberedCategory, IsFoundByItsWholeLineLetterCaseAside) {
    Profile::WriteString("Category", GetParam().setting(alpha, beta));
    CMumbletDlg& p = StartPalette();
    EXPECT_EQ(p.Category().currentIndex(), GetParam().expectedIndex);
    EXPECT_EQ(MnemonicNames(), GetParam().expectedIndex == 1
                                   ? QStringList({"beta"})
                                   : QStringList({"one", "two", "three"}));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, RememberedCategory,
    testing::Values(
        RememberedCase{"exact", [](auto&, auto& b) { return LineFor("Beta", b); }, 1},
        RememberedCase{"otherCase", [](auto&, auto& b) { return LineFor("Beta", b).toLower(); }, 1},
        RememberedCase{"renamed", [](auto&, auto& b) { return LineFor("Beta 2", b); }, 0},
        RememberedCase{
            "otherKey",
            [](auto&, auto&) { return LineFor("Beta", "{00000000-0000-0000-0000-000000000000}"); },
            0},
        RememberedCase{"nameOnly", [](auto&, auto&) { return QStringLiteral("Beta"); }, 0},
        RememberedCase{"empty", [](auto&, auto&) { return QString(); }, 0}),
    [](const testing::TestParamInfo<RememberedCase>& param) {
        return std::string(param.param.label);
    });

TEST_F(PaletteTest, AnEmptyLibraryShowsNothingAndRemembersAnEmptyCategory) {
    const std::string empty = library.FilePath("empty.blz");
    CreateLibraryFile(empty);
    Profile::WriteString("DatabasePath", QString::fromStdString(empty));
    Profile::WriteString("Category", LineFor("Beta", beta));
    CMumbletDlg& p = StartPalette();
    EXPECT_EQ(p.Category().count(), 0);
    EXPECT_EQ(p.Mnemonics().count(), 0);
    EXPECT_TRUE(Profile::Contains("Category"));
    EXPECT_EQ(Profile::GetString("Category", "unset"), QString());
    EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(PaletteTest, TheWidgetsShowNamesButKeepTheKeysInTheirLines) {
    CMumbletDlg& p = StartPalette();
    EXPECT_EQ(p.Category().currentText(), QStringLiteral("Alpha"));
    for (int i = 0; i < p.Mnemonics().count(); ++i) {
        EXPECT_FALSE(p.Mnemonics().TextAt(i).contains('{'));
        EXPECT_EQ(EntryLines::MnemonicKey(p.Mnemonics().LineAt(i)).size(), 38);
    }
}

TEST_F(PaletteTest, AnUnreadableLibraryIsReportedAndThePaletteStillShows) {
    const QString notALibrary = QString::fromStdString(library.FilePath("notes.blz"));
    QFile file(notALibrary);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("these are not phrases");
    file.close();
    Profile::WriteString("DatabasePath", notALibrary);

    CMumbletDlg& p = StartPalette();
    // The location check names the file and offers the file dialog
    // (cancelled here); opening the list's table then fails and is reported.
    ASSERT_GE(prompts.messages.size(), 2u);
    const auto& report = prompts.messages.back();
    EXPECT_EQ(report.icon, CPromptService::Icon::Stop);
    EXPECT_EQ(report.caption, QStringLiteral("Blurtle (TM)"));
    EXPECT_FALSE(report.text.isEmpty());
    EXPECT_TRUE(p.isVisible());
    EXPECT_FALSE(p.IsInitializing());
}

// --- sort arrows ------------------------------------------------------------

struct SpinCase {
    const char* label;
    int selected; // -1: none
    int delta;
    QStringList expected;
    int expectedRow;
    int beeps;
};
void PrintTo(const SpinCase& c, std::ostream* os) {
    *os << c.label;
}

class SortArrows : public PaletteTest, public testing::WithParamInterface<SpinCase> {};

TEST_P(SortArrows, MoveTheSelectionOrBeepAtTheEnds) {
    const SpinCase& c = GetParam();
    CMumbletDlg& p = StartPalette();
    if (c.selected >= 0) {
        Select(p, c.selected);
    }
    p.SortSpin().Step(c.delta);
    EXPECT_EQ(MnemonicNames(), c.expected);
    EXPECT_EQ(prompts.beeps, c.beeps);
    EXPECT_EQ(p.IsOrderChanged(), c.beeps == 0);
    if (c.expectedRow >= 0) {
        EXPECT_EQ(p.Mnemonics().currentRow(), c.expectedRow);
        EXPECT_TRUE(p.Mnemonics().selectionModel()->isRowSelected(c.expectedRow));
    }
    // Only the list changes; the library keeps the old order until it is
    // stored.
    EXPECT_EQ(StoredZOrder("one"), 0);
    EXPECT_EQ(StoredZOrder("two"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Moves, SortArrows,
    testing::Values(SpinCase{"topUp", 0, -1, {"one", "two", "three"}, 0, 1},
                    SpinCase{"bottomDown", 2, +1, {"one", "two", "three"}, 2, 1},
                    SpinCase{"nothingSelected", -1, +1, {"one", "two", "three"}, -1, 1},
                    SpinCase{"secondUp", 1, -1, {"two", "one", "three"}, 0, 0},
                    SpinCase{"firstDown", 0, +1, {"two", "one", "three"}, 1, 0},
                    SpinCase{"secondDown", 1, +1, {"one", "three", "two"}, 2, 0}),
    [](const testing::TestParamInfo<SpinCase>& param) { return std::string(param.param.label); });

TEST_F(PaletteTest, ChangingTheCategoryStoresTheNewOrder) {
    CMumbletDlg& p = StartPalette();
    Select(p, 2);
    p.SortSpin().Step(-1);
    p.SortSpin().Step(-1);
    ChooseCategory(p, 1);
    EXPECT_FALSE(p.IsOrderChanged());
    EXPECT_EQ(MnemonicNames(), QStringList({"beta"}));
    EXPECT_EQ(Profile::GetString("Category", ""), LineFor("Beta", beta));
    EXPECT_EQ(StoredZOrder("three"), 0);
    EXPECT_EQ(StoredZOrder("one"), 1);
    EXPECT_EQ(StoredZOrder("two"), 2);
    ChooseCategory(p, 0);
    EXPECT_EQ(MnemonicNames(), QStringList({"three", "one", "two"}));
}

TEST_F(PaletteTest, SaveOrderSkipsEntriesWhoseRowIsGone) {
    CMumbletDlg& p = StartPalette();
    Select(p, 0);
    p.SortSpin().Step(+1); // two, one, three
    QueryDirect(library.path, QStringLiteral("DELETE FROM tblPhrase WHERE Mnemonic = 'two'"));
    EXPECT_TRUE(p.Mnemonics().SaveOrder());
    EXPECT_EQ(StoredZOrder("one"), 1);
    EXPECT_EQ(StoredZOrder("three"), 2);
}

// A category longer than a 16-bit position counts: one move stores two
// rows, and every entry keeps its place.
TEST_F(PaletteTest, OneMoveInAVeryLongCategoryWritesTwoRowsAndKeepsEveryPosition) {
    constexpr int kItems = 40000;
    QueryDirect(library.path, QStringLiteral("DELETE FROM tblPhrase WHERE CategoryID = '%1'")
                                  .arg(QString::fromStdString(alpha)));
    QueryDirect(library.path,
                QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n "
                               "WHERE i < %1) INSERT INTO tblPhrase (CategoryID, Mnemonic, Data, "
                               "ZOrder) SELECT '%2', 'm' || i, 'x9|', i FROM n")
                    .arg(kItems - 1)
                    .arg(QString::fromStdString(alpha)));
    QueryDirect(library.path, "CREATE TABLE writes (n INTEGER)");
    QueryDirect(library.path, "INSERT INTO writes VALUES (0)");
    QueryDirect(library.path, "CREATE TRIGGER count_writes AFTER UPDATE OF ZOrder ON tblPhrase "
                              "BEGIN UPDATE writes SET n = n + 1; END");

    CMumbletDlg& p = StartPalette();
    // The list reads its entries as they come into view: all of them here.
    ASSERT_EQ(p.Mnemonics().Model().Entries().size(), std::size_t{kItems});
    Select(p, kItems - 1);
    p.SortSpin().Step(-1);
    ChooseCategory(p, 1);

    EXPECT_EQ(QueryDirect(library.path, "SELECT n FROM writes").toInt(), 2);
    EXPECT_EQ(StoredZOrder(QStringLiteral("m%1").arg(kItems - 1).toStdString()), kItems - 2);
    EXPECT_EQ(StoredZOrder(QStringLiteral("m%1").arg(kItems - 2).toStdString()), kItems - 1);
    EXPECT_EQ(QueryDirect(library.path,
                          QStringLiteral("SELECT count(*) FROM tblPhrase WHERE CategoryID = '%1' "
                                         "AND ZOrder <> CAST(substr(Mnemonic, 2) AS INTEGER)")
                              .arg(QString::fromStdString(alpha)))
                  .toInt(),
              2);
    ChooseCategory(p, 0);
    p.Mnemonics().Model().Entries();
    EXPECT_EQ(p.Mnemonics().TextAt(kItems - 2), QStringLiteral("m%1").arg(kItems - 1));
    EXPECT_EQ(p.Mnemonics().TextAt(32768), QStringLiteral("m32768"));
}

// An order is stored whole or not at all.
TEST_F(PaletteTest, AnOrderSaveThatFailsHalfwayStoresNothing) {
    CMumbletDlg& p = StartPalette();
    Select(p, 0);
    p.SortSpin().Step(+1);
    p.SortSpin().Step(+1); // two, three, one
    QueryDirect(library.path, "CREATE TRIGGER refuse BEFORE UPDATE OF ZOrder ON tblPhrase "
                              "WHEN NEW.Mnemonic = 'one' BEGIN SELECT RAISE(ABORT, 'refused'); "
                              "END");
    EXPECT_THROW(p.Mnemonics().SaveOrder(), CDaoException);
    EXPECT_EQ(StoredZOrder("one"), 0);
    EXPECT_EQ(StoredZOrder("two"), 1);
    EXPECT_EQ(StoredZOrder("three"), 2);
    QueryDirect(library.path, "DROP TRIGGER refuse");
    EXPECT_TRUE(p.Mnemonics().SaveOrder());
    EXPECT_EQ(StoredZOrder("two"), 0);
    EXPECT_EQ(StoredZOrder("three"), 1);
    EXPECT_EQ(StoredZOrder("one"), 2);
}

// --- the roads out ----------------------------------------------------------

struct EndCase {
    const char* label;
    std::function<void(CMumbletDlg&)> end;
};
void PrintTo(const EndCase& c, std::ostream* os) {
    *os << c.label;
}

class EndingRoads : public PaletteTest, public testing::WithParamInterface<EndCase> {};

TEST_P(EndingRoads, StoreAPendingOrderAndEndThePalette) {
    CMumbletDlg& p = StartPalette();
    QSignalSpy finished(&p, &QDialog::finished);
    Select(p, 1);
    p.SortSpin().Step(+1); // one, three, two
    GetParam().end(p);
    QCoreApplication::processEvents();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(p.isVisible());
    EXPECT_EQ(StoredZOrder("three"), 1);
    EXPECT_EQ(StoredZOrder("two"), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Roads, EndingRoads,
    testing::Values(
        EndCase{"programsOwnClose", [](CMumbletDlg& p) { p.close(); }},
        EndCase{"exitCommand", [](CMumbletDlg& p) { p.OnSysCommand(CMumbletDlg::ID_APP_EXIT); }},
        EndCase{"exitFromTheMenu",
                [](CMumbletDlg& p) { p.WindowMenu().actions().last()->trigger(); }},
        // Escape ends the program too, and must not lose the
        // reordering on the way.
        EndCase{"escape", [](CMumbletDlg& p) { QTest::keyClick(&p.Mnemonics(), Qt::Key_Escape); }}),
    [](const testing::TestParamInfo<EndCase>& param) { return std::string(param.param.label); });

TEST_F(PaletteTest, EnterDoesNothing) {
    CMumbletDlg& p = StartPalette();
    QSignalSpy finished(&p, &QDialog::finished);
    Select(p, 0);
    QTest::keyClick(&p.Mnemonics(), Qt::Key_Return);
    QTest::keyClick(&p.Mnemonics(), Qt::Key_Enter);
    p.OnlineHelp().setFocus();
    QTest::keyClick(&p.OnlineHelp(), Qt::Key_Return);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(p.isVisible());
    EXPECT_TRUE(prompts.openedUrls.empty());
}

TEST_F(PaletteTest, WhileAnAutomationClientHoldsItClosingOnlyHides) {
    CMumbletDlg& p = StartPalette();
    CMumbletDlgAutoProxy first(&p, QStringLiteral(":1.1"));
    auto second = std::make_unique<CMumbletDlgAutoProxy>(&p, QStringLiteral(":1.2"));
    QSignalSpy finished(&p, &QDialog::finished);
    QTest::keyClick(&p.Mnemonics(), Qt::Key_Escape);
    EXPECT_FALSE(p.isVisible());
    p.show();
    p.close();
    EXPECT_FALSE(p.isVisible());
    // One client letting go leaves the other's hold.
    second.reset();
    EXPECT_FALSE(p.CanExit());
    EXPECT_EQ(finished.count(), 0);
    // Exit ends it whatever the clients want.
    p.OnSysCommand(CMumbletDlg::ID_APP_EXIT);
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(PaletteTest, ACloseHeldBackByAClientHappensWhenTheLastClientLetsGo) {
    CMumbletDlg& p = StartPalette();
    auto proxy = std::make_unique<CMumbletDlgAutoProxy>(&p, QStringLiteral(":1.1"));
    QSignalSpy finished(&p, &QDialog::finished);
    QTest::keyClick(&p.Mnemonics(), Qt::Key_Escape);
    ASSERT_FALSE(p.isVisible());
    proxy.reset();
    EXPECT_TRUE(finished.wait(2000));
}

TEST_F(PaletteTest, APaletteShownAgainIsNotClosedWhenTheLastClientLetsGo) {
    CMumbletDlg& p = StartPalette();
    auto proxy = std::make_unique<CMumbletDlgAutoProxy>(&p, QStringLiteral(":1.1"));
    QSignalSpy finished(&p, &QDialog::finished);
    QTest::keyClick(&p.Mnemonics(), Qt::Key_Escape);
    p.BringForward();
    proxy.reset();
    QTest::qWait(50);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(p.isVisible());
    // Unbound: the palette's roads end it again.
    EXPECT_TRUE(p.CanExit());
}

TEST_F(PaletteTest, AnObjectOutlivingThePaletteIsUnbound) {
    auto own = std::make_unique<CMumbletDlg>();
    CMumbletDlgAutoProxy proxy(own.get(), QStringLiteral(":1.1"));
    EXPECT_EQ(proxy.m_pDialog, own.get());
    EXPECT_EQ(own->m_pAutoProxy, &proxy);
    own.reset();
    EXPECT_EQ(proxy.m_pDialog, nullptr);
}

TEST_F(PaletteTest, ChangingTheLibraryClosesThePaletteThroughItsCloseSteps) {
    const std::string other = library.FilePath("other.blz");
    CreateLibraryFile(other);
    CMumbletDlg& p = StartPalette();
    QSignalSpy finished(&p, &QDialog::finished);
    Select(p, 0);
    p.SortSpin().Step(+1);
    prompts.QueueFile(QString::fromStdString(other));
    p.WindowMenu().actions().at(1)->trigger();
    EXPECT_EQ(prompts.MessageTexts().last(),
              QStringLiteral("In order to initialize the database, Blurtle must now close"));
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(Profile::GetString("DatabasePath", ""), QString::fromStdString(other));
    // The order went to the library that was open.
    EXPECT_EQ(StoredZOrder("two"), 0);
}

// --- window menu, help, messages, timers -------------------------------------

TEST_F(PaletteTest, TheWindowMenuHoldsItsCommandsBetweenSeparators) {
    CMumbletDlg& p = StartPalette();
    QStringList entries;
    for (const QAction* action : p.WindowMenu().actions()) {
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    EXPECT_EQ(entries, QStringList({"-", "Change Active Database...", "&About Blurtle (TM)...", "-",
                                    "E&xit"}));
}

TEST_F(PaletteTest, TheWindowMenuOpensFromTheBackgroundTheKeyAndTheButtonOnly) {
    CMumbletDlg& p = StartPalette();
    QMenu& menu = p.WindowMenu();
    const auto rightClickAt = [&p](QWidget* target, QPoint pos) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, pos, target->mapToGlobal(pos));
        QCoreApplication::sendEvent(target, &event);
    };
    // The list and the selector keep their right clicks (their own menus).
    rightClickAt(p.Mnemonics().viewport(), QPoint(10, 10));
    rightClickAt(&p.Category(), QPoint(10, 5));
    EXPECT_FALSE(menu.isVisible());
    // The background and the labels are the palette itself.
    rightClickAt(&p, QPoint(p.width() - 1, p.Mnemonics().y() - 1));
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
    p.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&p));
    QTest::keyClick(&p, Qt::Key_Space, Qt::AltModifier);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
    QTest::mouseClick(&p.WindowMenuButton(), Qt::LeftButton);
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
}

TEST_F(PaletteTest, OnlineHelpOpensTheShippedPage) {
    CMumbletDlg& p = StartPalette();
    QTest::mouseClick(&p.OnlineHelp(), Qt::LeftButton);
    ASSERT_EQ(prompts.openedUrls.size(), 1u);
    const QUrl url = prompts.openedUrls.front();
    ASSERT_TRUE(url.isLocalFile()) << url.toString().toStdString();
    QFile page(url.toLocalFile());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().contains("Blurtle (TM)"));
}

TEST_F(PaletteTest, PrivateMessagesAreTakenByThePalette) {
    CMumbletDlg& p = StartPalette();
    p.Mnemonics().setCurrentRow(0); // the item commands act on the selected item
    CDialogCanceller cancel;
    prompts.QueueAnswer(QMessageBox::No); // not the category
    prompts.QueueAnswer(QMessageBox::No); // nor the item
    // The sort leaves no category selected, so it comes after the rename.
    for (const int message :
         {UWM_ADD_CATEGORY, UWM_DELETE_CATEGORY, UWM_ADD_ITEM, UWM_DELETE_ITEM, UWM_RENAME_MNEMONIC,
          UWM_ITEM_PROPERTIES, UWM_SET_PUNCTUATION, UWM_RENAME_CATEGORY, UWM_SORT_CATEGORIES}) {
        QEvent event(static_cast<QEvent::Type>(message));
        EXPECT_TRUE(QCoreApplication::sendEvent(&p, &event)) << message;
    }
    // Each command ran: its dialog came up or its question was asked; the
    // item editor's own message did nothing.
    EXPECT_EQ(cancel.cancelled,
              QStringList({"Add Category", "Blurtle New Item Properties", "Rename Mnemonic",
                           "Blurtle Item Properties", "Rename Category", "Category Sort"}));
    EXPECT_EQ(prompts.MessageTexts(),
              QStringList({"You are about to delete this category.  Are you SURE?",
                           "You are about to delete this item.  Are you SURE?"}));
}

TEST_F(PaletteTest, TimerOneHidesAndTimerTwoShowsOnce) {
    CMumbletDlg& p = StartPalette();
    p.SetPaletteTimer(CPaletteHost::HideTimer, 20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !p.isVisible(); }));
    EXPECT_FALSE(p.IsPaletteTimerActive(CPaletteHost::HideTimer));
    p.SetPaletteTimer(CPaletteHost::ShowTimer, 20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.isVisible(); }));
    EXPECT_FALSE(p.IsPaletteTimerActive(CPaletteHost::ShowTimer));
    // A click that never became a drag: timer 1 is killed before it fires.
    p.SetPaletteTimer(CPaletteHost::HideTimer, 50);
    p.KillPaletteTimer(CPaletteHost::HideTimer);
    QTest::qWait(120);
    EXPECT_TRUE(p.isVisible());
}
