// A reordering the library refuses to store: every road out of the program
// still ends it, and a change of category never leaves the selector and
// the list showing different categories.
#include "automation/MumbletDlgAutoProxy.h"
#include "dialogs/UpDownButtons.h"
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "store/LibraryFile.h"
#include "tests/support/PaletteFixture.h"

#include <QAction>
#include <QCloseEvent>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>

#include <functional>
#include <ostream>
#include <utility>

namespace {

const QString kNotStored = QStringLiteral("The new order of the mnemonics could not be stored: ");

// Another program holding the library's write lock until it is destroyed.
class CWriteLockHolder {
public:
    explicit CWriteLockHolder(const std::string& path) {
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), kName);
        m_db.setDatabaseName(QString::fromStdString(path));
        m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=100"));
        EXPECT_TRUE(m_db.open()) << m_db.lastError().text().toStdString();
        QSqlQuery query(m_db);
        EXPECT_TRUE(query.exec(QStringLiteral("BEGIN EXCLUSIVE")))
            << query.lastError().text().toStdString();
    }
    ~CWriteLockHolder() {
        {
            QSqlQuery query(m_db);
            query.exec(QStringLiteral("ROLLBACK"));
        }
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(kName);
    }
    CWriteLockHolder(const CWriteLockHolder&) = delete;
    CWriteLockHolder& operator=(const CWriteLockHolder&) = delete;

private:
    static inline const QString kName = QStringLiteral("test-write-lock");
    QSqlDatabase m_db;
};

// Another program's trigger makes the library refuse every change to an
// item, at once (a lock makes the store wait out its busy timeout first).
void RefuseItemChanges(const std::string& path) {
    QueryDirect(path, QStringLiteral("CREATE TRIGGER trgRefuse BEFORE UPDATE ON tblPhrase "
                                     "BEGIN SELECT RAISE(ABORT, 'changes refused'); END"));
}

void AllowItemChanges(const std::string& path) {
    QueryDirect(path, QStringLiteral("DROP TRIGGER trgRefuse"));
}

void MoveSecondDown(CMumbletDlg& palette) {
    palette.Mnemonics().setCurrentRow(1);
    palette.SortSpin().Step(+1); // one, three, two
    ASSERT_TRUE(palette.IsOrderChanged());
}

void ChooseCategory(CMumbletDlg& palette, int index) {
    palette.Category().setCurrentIndex(index);
    emit palette.Category().activated(index);
}

struct RoadCase {
    const char* label;
    std::function<void(CMumbletDlg&, CScriptedPromptService&, const std::string& other)> end;
    QDialog::DialogCode result;
    QStringList messagesBefore; // what the road itself says before the failure
};
void PrintTo(const RoadCase& c, std::ostream* os) {
    *os << c.label;
}

class RefusedOrderOnTheWayOut : public PaletteTest, public testing::WithParamInterface<RoadCase> {};

// A road out of the palette, taken while an automation client holds it.
using Road = std::pair<const char*, std::function<void(CMumbletDlg&)>>;
class OrderOnARoadWhileHeld : public PaletteTest, public testing::WithParamInterface<Road> {};

} // namespace

TEST_P(RefusedOrderOnTheWayOut, IsSaidOnceAndTheProgramEnds) {
    const RoadCase& c = GetParam();
    const std::string other = library.FilePath("other.blz");
    CreateLibraryFile(other);
    CMumbletDlg& p = StartPalette();
    QSignalSpy finished(&p, &QDialog::finished);
    MoveSecondDown(p);
    RefuseItemChanges(library.path);

    c.end(p, prompts, other);
    QCoreApplication::processEvents();

    ASSERT_EQ(finished.count(), 1) << "the palette must end";
    EXPECT_EQ(p.result(), c.result);
    EXPECT_FALSE(p.isVisible());
    const QStringList texts = prompts.MessageTexts();
    ASSERT_EQ(texts.size(), c.messagesBefore.size() + 1) << texts.join('|').toStdString();
    EXPECT_EQ(texts.mid(0, c.messagesBefore.size()), c.messagesBefore);
    EXPECT_TRUE(texts.last().startsWith(kNotStored)) << texts.last().toStdString();
    EXPECT_TRUE(texts.last().contains("changes refused")) << texts.last().toStdString();
    EXPECT_EQ(prompts.messages.back().icon, CPromptService::Icon::Stop);
    EXPECT_EQ(prompts.messages.back().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    // Nothing was written behind the refusal.
    EXPECT_EQ(StoredZOrder("two"), 1);
    EXPECT_EQ(StoredZOrder("three"), 2);
}

INSTANTIATE_TEST_SUITE_P(
    Roads, RefusedOrderOnTheWayOut,
    testing::Values(
        RoadCase{
            "escape",
            [](CMumbletDlg& p, auto&, auto&) { QTest::keyClick(&p.Mnemonics(), Qt::Key_Escape); },
            QDialog::Rejected,
            {}},
        RoadCase{"exitFromTheMenu",
                 [](CMumbletDlg& p, auto&, auto&) { p.WindowMenu().actions().last()->trigger(); },
                 QDialog::Accepted,
                 {}},
        RoadCase{"programsOwnClose",
                 [](CMumbletDlg& p, auto&, auto&) { p.close(); },
                 QDialog::Rejected,
                 {}},
        RoadCase{"afterChangingTheLibrary",
                 [](CMumbletDlg& p, CScriptedPromptService& prompts, const std::string& other) {
                     prompts.QueueFile(QString::fromStdString(other));
                     p.WindowMenu().actions().at(1)->trigger();
                 },
                 QDialog::Rejected,
                 {QStringLiteral("In order to initialize the database, Blurtle must now close")}}),
    [](const testing::TestParamInfo<RoadCase>& param) { return std::string(param.param.label); });

TEST_F(PaletteTest, ALibraryLockedByAnotherProgramDoesNotKeepTheUserFromExiting) {
    CMumbletDlg& p = StartPalette();
    QSignalSpy finished(&p, &QDialog::finished);
    MoveSecondDown(p);
    CWriteLockHolder lock(library.path);

    p.OnSysCommand(CMumbletDlg::ID_APP_EXIT);

    EXPECT_EQ(finished.count(), 1);
    ASSERT_EQ(prompts.messages.size(), 1u) << prompts.MessageTexts().join('|').toStdString();
    const QString text = prompts.messages.front().text;
    EXPECT_TRUE(text.startsWith(kNotStored)) << text.toStdString();
    EXPECT_GT(text.size(), kNotStored.size()) << "the engine's text follows";
}

TEST_F(PaletteTest, ARefusedOrderOnACategoryChangeCanBeGivenUpToShowTheOtherCategory) {
    CMumbletDlg& p = StartPalette();
    MoveSecondDown(p);
    RefuseItemChanges(library.path);
    prompts.QueueAnswer(QMessageBox::Yes);

    ChooseCategory(p, 1);

    ASSERT_EQ(prompts.messages.size(), 1u);
    const auto& question = prompts.messages.front();
    EXPECT_TRUE(question.text.startsWith(kNotStored + "The library"))
        << question.text.toStdString();
    EXPECT_TRUE(question.text.contains("changes refused")) << question.text.toStdString();
    EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(p.Category().currentIndex(), 1);
    EXPECT_EQ(MnemonicNames(), QStringList({"beta"}));
    EXPECT_FALSE(p.IsOrderChanged());

    // The order was given up: coming back shows the stored one, and ending
    // says nothing more.
    AllowItemChanges(library.path);
    ChooseCategory(p, 0);
    EXPECT_EQ(MnemonicNames(), QStringList({"one", "two", "three"}));
    p.OnSysCommand(CMumbletDlg::ID_APP_EXIT);
    EXPECT_EQ(prompts.messages.size(), 1u);
}

TEST_F(PaletteTest, ARefusedOrderOnACategoryChangeCanBeKeptWithTheSelectorPutBack) {
    CMumbletDlg& p = StartPalette();
    MoveSecondDown(p);
    RefuseItemChanges(library.path);
    prompts.QueueAnswer(QMessageBox::No);

    ChooseCategory(p, 1);

    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_EQ(p.Category().currentIndex(), 0) << "the selector shows what the list shows";
    EXPECT_EQ(p.Category().currentText(), QStringLiteral("Alpha"));
    EXPECT_EQ(MnemonicNames(), QStringList({"one", "three", "two"}));
    EXPECT_TRUE(p.IsOrderChanged());

    // Once the library takes changes again, the kept order is stored at the
    // next change of category.
    AllowItemChanges(library.path);
    ChooseCategory(p, 1);
    EXPECT_EQ(MnemonicNames(), QStringList({"beta"}));
    EXPECT_FALSE(p.IsOrderChanged());
    EXPECT_EQ(StoredZOrder("three"), 1);
    EXPECT_EQ(StoredZOrder("two"), 2);
}

TEST_P(OrderOnARoadWhileHeld, IsStoredBeforeThePaletteGoes) {
    CMumbletDlg& p = StartPalette();
    const CMumbletDlgAutoProxy held(&p, QStringLiteral(":1.42"));
    MoveSecondDown(p);
    GetParam().second(p);
    QCoreApplication::processEvents();
    EXPECT_EQ(StoredZOrder("three"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Roads, OrderOnARoadWhileHeld,
    testing::Values(
        Road{"exit", [](CMumbletDlg& p) { p.WindowMenu().actions().last()->trigger(); }},
        Road{"escape", [](CMumbletDlg& p) { QTest::keyClick(&p.Mnemonics(), Qt::Key_Escape); }},
        Road{"sessionEnds", [](CMumbletDlg& p) { p.OnSessionEnding(); }},
        Road{"closeBox", [](CMumbletDlg& p) {
                 // The window manager's close is spontaneous, a mark sendEvent takes off.
                 QCloseEvent close;
                 QSpontaneKeyEvent::setSpontaneous(&close);
                 QCoreApplication::instance()->notify(&p, &close);
             }}));
