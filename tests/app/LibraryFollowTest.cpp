// The palette and the file its library path names: a file renamed over
// the library (a sync tool, a restored backup) is shown as soon as the
// palette is activated, and a library that is gone is reported once.
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "tests/support/PaletteFixture.h"
#include "tests/support/QtPrinters.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QMimeData>
#include <QProcess>

#include <cstdio>

namespace {

void Activate(CMumbletDlg& palette) {
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&palette, &activate);
    QCoreApplication::processEvents();
}

// A copy of the library as another program makes it: sqlite3's backup,
// then a change of its own.
std::string CopyWithChange(const CTempLibrary& library, const char* name, const QString& change) {
    const std::string copy = library.FilePath(name);
    QProcess shell;
    shell.start(QStringLiteral("sqlite3"),
                {QString::fromStdString(library.path),
                 QStringLiteral(".backup '%1'").arg(QString::fromStdString(copy))});
    EXPECT_TRUE(shell.waitForFinished(20000));
    QueryDirect(copy, change);
    return copy;
}

TEST_F(PaletteTest, AFileRenamedOverTheLibraryIsShownWhenThePaletteIsActivated) {
    CMumbletDlg& p = StartPalette();
    p.Category().setCurrentIndex(1);
    emit p.Category().activated(1); // Beta
    const std::string copy =
        CopyWithChange(library, "synced.blz",
                       QStringLiteral("UPDATE tblCategory SET Description = 'Beta, synced' WHERE "
                                      "Description = 'Beta'"));
    QueryDirect(copy, QStringLiteral("UPDATE tblPhrase SET Mnemonic = 'beta, synced' WHERE "
                                     "Mnemonic = 'beta'"));
    ASSERT_EQ(std::rename(copy.c_str(), library.path.c_str()), 0);

    Activate(p);
    EXPECT_EQ(CategoryNames(), QStringList({"Alpha", "Beta, synced"}));
    EXPECT_EQ(p.Category().currentIndex(), 1) << "the category shown stays selected by its key";
    EXPECT_EQ(MnemonicNames(), QStringList({"beta, synced"}));
    EXPECT_TRUE(prompts.MessageTexts().isEmpty())
        << prompts.MessageTexts().join('\n').toStdString();

    // The list's own table reads the new file too: the drag's data.
    std::unique_ptr<QMimeData> data = p.Mnemonics().PrepareDragData(0);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), QStringLiteral("Beta  "));
}

// While the sqlite3 shell holds the old file, the new one is shown and a
// drop is refused saying why.
TEST_F(PaletteTest, AFileRenamedOverTheLibraryWhileTheOldIsHeldRefusesADropSayingWhy) {
    CMumbletDlg& p = StartPalette();
    const std::string copy =
        CopyWithChange(library, "synced.blz",
                       QStringLiteral("UPDATE tblCategory SET Description = 'Beta, synced' WHERE "
                                      "Description = 'Beta'"));
    QProcess holder;
    holder.start(QStringLiteral("sqlite3"), {QString::fromStdString(library.path)});
    holder.write("SELECT count(*) FROM tblPhrase;\nSELECT 'holding';\n");
    while (!holder.readAllStandardOutput().contains("holding")) {
        ASSERT_TRUE(holder.waitForReadyRead(20000));
    }
    ASSERT_EQ(std::rename(copy.c_str(), library.path.c_str()), 0);

    Activate(p);
    EXPECT_EQ(CategoryNames(), QStringList({"Alpha", "Beta, synced"}));
    EXPECT_FALSE(p.TakeDroppedText(QStringLiteral("Kind regards")));
    QCoreApplication::processEvents(); // told once the drop is over
    EXPECT_TRUE(prompts.MessageTexts().join('\n').contains(
        QStringLiteral("is read-only.\n\nAnother program still has open the file")))
        << prompts.MessageTexts().join('\n').toStdString();
}

TEST_F(PaletteTest, ALibraryThatIsGoneIsReportedOnceUntilItIsBack) {
    CMumbletDlg& p = StartPalette();
    const std::string aside = library.FilePath("aside.blz");
    ASSERT_EQ(std::rename(library.path.c_str(), aside.c_str()), 0);

    Activate(p);
    Activate(p);
    ASSERT_EQ(prompts.messages.size(), 1U);
    EXPECT_TRUE(prompts.MessageTexts().front().startsWith(
        QStringLiteral("The library \"%1\" is no longer there")
            .arg(QString::fromStdString(library.path))))
        << prompts.MessageTexts().front().toStdString();

    ASSERT_EQ(std::rename(aside.c_str(), library.path.c_str()), 0);
    Activate(p);
    EXPECT_EQ(prompts.messages.size(), 1U);
    EXPECT_EQ(MnemonicNames(), QStringList({"one", "two", "three"}));
}

} // namespace
