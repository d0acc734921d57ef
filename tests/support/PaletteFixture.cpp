#include "tests/support/PaletteFixture.h"

#include "app/Profile.h"
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>

#include <tuple>

void PaletteTest::SetUp() {
    ForgetSettings();
    std::tie(alpha, beta) = AddAlphaAndBeta();
    Profile::WriteString(QStringLiteral("DatabasePath"), QString::fromStdString(library.path));
    app = std::make_unique<CMumbletApp>();
}

std::pair<std::string, std::string> PaletteTest::AddAlphaAndBeta() {
    const std::string alpha = AddCategory("Alpha", 0);
    const std::string beta = AddCategory("Beta", 1);
    AddPhrase(alpha, "one", "One9|", 0);
    AddPhrase(alpha, "two", "Two9|", 1);
    AddPhrase(alpha, "three", "Three9|", 2);
    AddPhrase(beta, "beta", "Beta9|", 0);
    return {alpha, beta};
}

void PaletteTest::TearDown() {
    DropPalette();
    app.reset();
    ForgetSettings();
}

CMumbletDlg& PaletteTest::StartPalette() {
    palette = std::make_unique<CMumbletDlg>();
    palette->Start();
    return *palette;
}

void PaletteTest::DropPalette() {
    palette.reset();
    QCoreApplication::processEvents();
}

QStringList PaletteTest::CategoryNames() {
    QStringList names;
    for (int i = 0; i < palette->Category().count(); ++i) {
        names << palette->Category().itemText(i);
    }
    return names;
}

QStringList PaletteTest::MnemonicNames() {
    QStringList names;
    for (int i = 0; i < palette->Mnemonics().count(); ++i) {
        names << palette->Mnemonics().TextAt(i);
    }
    return names;
}

int PaletteTest::StoredZOrder(const std::string& mnemonic) {
    return QueryDirect(library.path, QStringLiteral("SELECT ZOrder FROM tblPhrase WHERE "
                                                    "Mnemonic = '%1'")
                                         .arg(QString::fromStdString(mnemonic)))
        .toInt();
}

void PaletteTest::ForgetSettings() {
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quillfen"),
              QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName())
        .clear();
}
