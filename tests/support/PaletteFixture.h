#pragma once

#include "app/MumbletApp.h"
#include "app/MumbletDlg.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/ScriptedPromptService.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <memory>
#include <string>
#include <utility>

// A palette over a fresh library with two categories, "Alpha" (items one,
// two, three) and "Beta" (item beta), with the settings of a first start,
// the prompts scripted and the application object pointing at the library.
class PaletteTest : public testing::Test {
public:
    // Clears the settings the palettes of the test program write.
    static void ForgetSettings();
    // Writes the two categories and their items into the current library;
    // returns the keys of "Alpha" and "Beta".
    static std::pair<std::string, std::string> AddAlphaAndBeta();

protected:
    void SetUp() override;
    void TearDown() override;

    // Makes and initialises the palette (as the program's start does).
    CMumbletDlg& StartPalette();
    // Ends and forgets the palette without its close steps.
    void DropPalette();

    QStringList CategoryNames();
    QStringList MnemonicNames();
    int StoredZOrder(const std::string& mnemonic);

    CTempLibrary library;
    std::string alpha;
    std::string beta;
    CScriptedPromptService prompts;
    std::unique_ptr<CMumbletApp> app;
    std::unique_ptr<CMumbletDlg> palette;
};
