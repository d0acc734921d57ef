#include "dialogs/ItemPropertyDlg.h"
#include "dialogs/Hint.h"
#include "dialogs/UpDownButtons.h"
#include "store/LibraryConnection.h"
#include "tests/support/LibraryFixture.h"
#include "tests/support/ScriptedPromptService.h"
#include "tests/support/Unprivileged.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kLeading[] = {"IDC_LEADING_NONE", "IDC_LEADING_SPACE", "IDC_LEADING_DOUBLE_SPACE",
                                "IDC_LEADING_CR", "IDC_LEADING_DOUBLE_CR"};
const char* const kTrailing[] = {"IDC_TRAILING_NONE", "IDC_TRAILING_SPACE",
                                 "IDC_TRAILING_DOUBLE_SPACE", "IDC_TRAILING_CR",
                                 "IDC_TRAILING_DOUBLE_CR"};

// The editor as the palette opens it, shown, with its controls at hand.
struct Editor {
    Editor(const std::string& phraseId, const std::string& categoryId)
        : dlg(std::make_unique<CItemPropertyDlg>(nullptr, phraseId.empty())) {
        dlg->SetPhraseID(QString::fromStdString(phraseId));
        dlg->SetCaption(phraseId.empty() ? QStringLiteral("Blurtle New Item Properties")
                                         : QStringLiteral("Blurtle Item Properties"));
        dlg->SetCategoryID(QString::fromStdString(categoryId));
        dlg->show();
    }

    template <class T>
    T* Get(const char* name) const {
        T* child = dlg->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QLineEdit* Mnemonic() const { return Get<QLineEdit>("IDC_MNEMONIC"); }
    QPlainTextEdit* Description() const { return Get<QPlainTextEdit>("IDC_DESCRIPTION"); }
    QComboBox* Weight() const { return Get<QComboBox>("IDC_WEIGHT"); }
    CUpDownButtons* Spin() const { return Get<CUpDownButtons>("IDC_ITERATION_SPIN"); }
    QString Number() const { return Get<QLabel>("IDC_ITERATION_NUMBER")->text(); }
    QString Chance() const { return Get<QLineEdit>("IDC_CHANCE")->text(); }
    std::string Text() const { return Description()->toPlainText().toStdString(); }

    // The code whose button is checked in a group, or -1.
    int Checked(const char* const (&names)[5]) const {
        int code = -1;
        for (int i = 0; i < 5; ++i) {
            if (Get<QRadioButton>(names[i])->isChecked()) {
                EXPECT_EQ(code, -1) << "two buttons checked";
                code = i;
            }
        }
        return code;
    }

    // Runs one step of a script: "+" and "-" press the arrows, "T:text"
    // replaces the description, "W:n" picks a weight.
    void Do(const std::string& op) {
        if (op == "+" || op == "-") {
            Spin()->Step(op == "+" ? +1 : -1);
        } else if (op.rfind("T:", 0) == 0) {
            Description()->setPlainText(QString::fromStdString(op.substr(2)));
        } else if (op.rfind("W:", 0) == 0) {
            Weight()->setCurrentText(QString::fromStdString(op.substr(2)));
        } else {
            ADD_FAILURE() << "unknown step " << op;
        }
    }

    void Ok() { QTest::mouseClick(Get<QPushButton>("IDOK"), Qt::LeftButton); }
    bool Accepted() const { return dlg->result() == QDialog::Accepted; }

    std::unique_ptr<CItemPropertyDlg> dlg;
};

class ItemEditor : public testing::Test {
protected:
    void SetUp() override { category = AddCategory("Phrases", 0); }

    // What another program reads from the library.
    QVariant Column(const std::string& id, const char* column) const {
        return QueryDirect(library.path,
                           QStringLiteral("SELECT %1 FROM tblPhrase WHERE "
                                          "PhraseID = '%2'")
                               .arg(QLatin1String(column), QString::fromStdString(id)));
    }
    int RowCount() const {
        return QueryDirect(library.path, QStringLiteral("SELECT count(*) FROM tblPhrase")).toInt();
    }

    CTempLibrary library;
    CScriptedPromptService prompts;
    std::string category;
};

} // namespace

TEST_F(ItemEditor, NewItemUntouchedWritesAnEmptyRowInTheCategory) {
    Editor editor("", category);
    EXPECT_EQ(editor.dlg->windowTitle(), QStringLiteral("Blurtle New Item Properties"));
    EXPECT_EQ(editor.Number(), QStringLiteral("1"));
    EXPECT_EQ(editor.Weight()->currentText(), QStringLiteral("9"));
    QStringList weights;
    for (int i = 0; i < editor.Weight()->count(); ++i) {
        weights << editor.Weight()->itemText(i);
    }
    EXPECT_EQ(weights.join(QString()), QStringLiteral("987654321"));
    EXPECT_EQ(editor.Checked(kLeading), 0);
    EXPECT_EQ(editor.Checked(kTrailing), 2);

    editor.Ok();
    ASSERT_TRUE(editor.Accepted());
    EXPECT_EQ(prompts.beeps, 0);
    const std::string id = editor.dlg->GetPhraseID().toStdString();
    ASSERT_EQ(id.size(), 38u);
    EXPECT_EQ(RowCount(), 1);
    EXPECT_EQ(Column(id, "Mnemonic").toString(), QString());
    EXPECT_EQ(Column(id, "Data").toString(), QString());
    EXPECT_EQ(Column(id, "ZOrder").toInt(), 0);
    EXPECT_EQ(Column(id, "PunctuationLeading").toInt(), 0);
    EXPECT_EQ(Column(id, "PunctuationTrailing").toInt(), 2);
    EXPECT_EQ(Column(id, "CategoryID").toString().toStdString(), category);
}

struct SteppingCase {
    const char* name;
    const char* data;               // the item's Data; empty for a new item
    std::vector<std::string> steps; // see Editor::Do
    const char* number;             // on display after the steps
    const char* text;
    const char* weight;
    int beepsBeforeOk;
    int beepsAtOk;
    const char* saved; // Data after OK
};

class Stepping : public ItemEditor, public testing::WithParamInterface<SteppingCase> {};

TEST_P(Stepping, ShowsCommitsAndSaves) {
    const SteppingCase& c = GetParam();
    const std::string id = *c.data ? AddPhrase(category, "three", c.data, 0) : std::string();
    Editor editor(id, category);
    for (const std::string& step : c.steps) {
        editor.Do(step);
    }
    EXPECT_EQ(editor.Number().toStdString(), c.number);
    EXPECT_EQ(editor.Text(), c.text);
    EXPECT_EQ(editor.Weight()->currentText().toStdString(), c.weight);
    EXPECT_EQ(editor.Spin()->Position(), editor.Number().toInt());
    EXPECT_EQ(prompts.beeps, c.beepsBeforeOk);

    editor.Ok();
    ASSERT_TRUE(editor.Accepted());
    EXPECT_EQ(prompts.beeps - c.beepsBeforeOk, c.beepsAtOk);
    const std::string saved = editor.dlg->GetPhraseID().toStdString();
    if (!id.empty()) {
        EXPECT_EQ(saved, id);
    }
    EXPECT_EQ(Column(saved, "Data").toString().toStdString(), c.saved);
    EXPECT_EQ(RowCount(), 1);
}

const char* const kThree = "One9|Two5|Three1|";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    ItemEditor, Stepping,
    testing::Values(
        //                               data    steps                                           shown: number, text, weight  beeps: steps, OK  saved
        SteppingCase{"OpensAtOne",                         kThree, {},                                   "1", "One",   "9", 0, 0, kThree},
        SteppingCase{"LeftAtOneChangesNothing",            kThree, {"-", "-"},                           "1", "One",   "9", 0, 0, kThree},
        SteppingCase{"ToTheLastOkBeeps",                   kThree, {"+", "+"},                           "3", "Three", "1", 0, 1, kThree},
        SteppingCase{"PastTheLastBeepsAndShowsABlankNine", kThree, {"+", "+", "+"},                      "4", "",      "9", 1, 1, kThree},
        SteppingCase{"BackFromTheBlankShowsTheLastUnchanged", kThree, {"+", "+", "+", "-"},              "3", "Three", "1", 1, 0, kThree},
        SteppingCase{"TypedIntoTheBlankIsAdded",           kThree, {"+", "+", "+", "T:Four", "W:2"},     "4", "Four",  "2", 1, 1, "One9|Two5|Three1|Four2|"},
        SteppingCase{"ClearedIterationIsDropped",          kThree, {"+", "T:", "+", "-"},                "2", "",      "5", 0, 0, "One9|Three1|"},
        SteppingCase{"WeightStaysWithItsIteration",        kThree, {"+", "W:3", "+", "-", "-"},          "1", "One",   "9", 0, 0, "One9|Two3|Three1|"},
        SteppingCase{"TrailingWhiteSpaceGoesLeadingStays", kThree, {"T:  One \t\n\n ", "+", "-"},        "1", "  One", "9", 0, 0, "  One9|Two5|Three1|"},
        SteppingCase{"TypedLinesAreStoredAsCrLf",          kThree, {"T:a\nb\n", "+", "-"},               "1", "a\nb",  "9", 0, 0, "a\r\nb9|Two5|Three1|"},
        SteppingCase{"NewItemOkWithoutStepDoesNotBeep",    "",     {"T:Hello", "W:4"},                   "1", "Hello", "4", 0, 0, "Hello4|"},
        SteppingCase{"NewItemFirstStepAddsTwo",            "",     {"T:Hello", "+"},                     "2", "",      "9", 0, 1, "Hello9|"},
        SteppingCase{"NewItemSecondIterationAtOk",         "",     {"T:Hello", "+", "T:Hi", "W:1"},      "2", "Hi",    "1", 0, 1, "Hello9|Hi1|"}),
    [](const testing::TestParamInfo<SteppingCase>& param) { return param.param.name; });
// clang-format on

TEST_F(ItemEditor, LoadsMnemonicAndCaretStartsAtTheTop) {
    const std::string id = AddPhrase(category, "greeting", "Hello\nthere9|", 0, 1, 3);
    Editor editor(id, category);
    EXPECT_EQ(editor.dlg->windowTitle(), QStringLiteral("Blurtle Item Properties"));
    EXPECT_EQ(editor.Mnemonic()->text(), QStringLiteral("greeting"));
    editor.Description()->moveCursor(QTextCursor::End);
    editor.dlg->activateWindow();
    editor.Description()->setFocus();
    QApplication::processEvents();
    if (editor.Description()->hasFocus()) {
        EXPECT_EQ(editor.Description()->textCursor().position(), 0);
        EXPECT_FALSE(editor.Description()->textCursor().hasSelection());
    }
    editor.Mnemonic()->setText(QStringLiteral("salute"));
    editor.Ok();
    ASSERT_TRUE(editor.Accepted());
    EXPECT_EQ(editor.dlg->m_strMnemonic, QStringLiteral("salute"));
    EXPECT_EQ(Column(id, "Mnemonic").toString(), QStringLiteral("salute"));
    EXPECT_EQ(Column(id, "ZOrder").toInt(), 0);
}

TEST_F(ItemEditor, CancelWritesNothing) {
    const std::string id = AddPhrase(category, "keep", kThree, 0);
    Editor editor(id, category);
    editor.Do("T:changed");
    editor.Do("+");
    editor.dlg->reject();
    EXPECT_EQ(Column(id, "Data").toString().toStdString(), kThree);
}

struct PunctuationCase {
    int leading;
    int trailing;
};

class Punctuation : public ItemEditor, public testing::WithParamInterface<PunctuationCase> {};

// Chosen on a new item, stored, and shown again when the item is opened.
TEST_P(Punctuation, RoundTrips) {
    const auto [leading, trailing] = GetParam();
    std::string id;
    {
        Editor editor("", category);
        QTest::mouseClick(editor.Get<QRadioButton>(kLeading[leading]), Qt::LeftButton);
        QTest::mouseClick(editor.Get<QRadioButton>(kTrailing[trailing]), Qt::LeftButton);
        EXPECT_EQ(editor.Checked(kLeading), leading);
        EXPECT_EQ(editor.Checked(kTrailing), trailing);
        editor.Ok();
        ASSERT_TRUE(editor.Accepted());
        id = editor.dlg->GetPhraseID().toStdString();
    }
    EXPECT_EQ(Column(id, "PunctuationLeading").toInt(), leading);
    EXPECT_EQ(Column(id, "PunctuationTrailing").toInt(), trailing);
    Editor again(id, category);
    EXPECT_EQ(again.Checked(kLeading), leading);
    EXPECT_EQ(again.Checked(kTrailing), trailing);
}

INSTANTIATE_TEST_SUITE_P(ItemEditor, Punctuation,
                         testing::Values(PunctuationCase{0, 0}, PunctuationCase{1, 4},
                                         PunctuationCase{4, 3}, PunctuationCase{3, 1},
                                         PunctuationCase{2, 2}));

TEST_F(ItemEditor, ButtonsShowSymbolsBesideTheirMeanings) {
    Editor editor("", category);
    const QStringList symbols = {QStringLiteral("\"\""), QStringLiteral("\"_\""),
                                 QStringLiteral("\"__\""), QStringLiteral("\u00b6"),
                                 QStringLiteral("\u00b6\u00b6")};
    const QStringList meanings = {QString(), QStringLiteral("Single space"),
                                  QStringLiteral("Double space"), QStringLiteral("Carriage return"),
                                  QStringLiteral("Double carriage return")};
    for (int i = 0; i < 5; ++i) {
        for (const char* const* names : {kLeading, kTrailing}) {
            EXPECT_EQ(editor.Get<QRadioButton>(names[i])->text(), symbols[i]);
            const QString label =
                editor.Get<QLabel>((std::string(names[i]) + "_LABEL").c_str())->text();
            EXPECT_EQ(label, i == 0
                                 ? (names == kLeading ? QStringLiteral("No leading punctuation")
                                                      : QStringLiteral("No trailing punctuation"))
                                 : meanings[i]);
        }
    }
    EXPECT_EQ(editor.Get<QWidget>("IDC_LEADING_GROUP")->property("title").toString(),
              QStringLiteral("Default &leading punctuation"));
    EXPECT_EQ(editor.Get<QWidget>("IDC_TRAILING_GROUP")->property("title").toString(),
              QStringLiteral("Default &trailing punctuation"));
}

struct StoredCodeCase {
    const char* name;
    int storedLeading;
    int storedTrailing;
    int chooseLeading; // -1: left alone
    int savedLeading;
    int savedTrailing;
};

class StoredCode : public ItemEditor, public testing::WithParamInterface<StoredCodeCase> {};

// A code no button stands for shows no checked button and is written back
// as it was, unless the user picks a button.
TEST_P(StoredCode, IsKeptUnlessChosen) {
    const StoredCodeCase& c = GetParam();
    const std::string id =
        AddPhrase(category, "odd", "x9|", 0, static_cast<std::int16_t>(c.storedLeading),
                  static_cast<std::int16_t>(c.storedTrailing));
    Editor editor(id, category);
    EXPECT_EQ(editor.Checked(kLeading),
              c.storedLeading >= 0 && c.storedLeading <= 4 ? c.storedLeading : -1);
    EXPECT_EQ(editor.Checked(kTrailing),
              c.storedTrailing >= 0 && c.storedTrailing <= 4 ? c.storedTrailing : -1);
    if (c.chooseLeading >= 0) {
        QTest::mouseClick(editor.Get<QRadioButton>(kLeading[c.chooseLeading]), Qt::LeftButton);
    }
    editor.Ok();
    ASSERT_TRUE(editor.Accepted());
    EXPECT_EQ(Column(id, "PunctuationLeading").toInt(), c.savedLeading);
    EXPECT_EQ(Column(id, "PunctuationTrailing").toInt(), c.savedTrailing);
}

INSTANTIATE_TEST_SUITE_P(
    ItemEditor, StoredCode,
    testing::Values(StoredCodeCase{"BothOutOfRangeUntouched", 7, -3, -1, 7, -3},
                    StoredCodeCase{"NegativeLeadingUntouched", -1, 5, -1, -1, 5},
                    StoredCodeCase{"LeadingChosenTrailingKept", 9, 12, 3, 3, 12},
                    StoredCodeCase{"InRangeUntouched", 4, 0, -1, 4, 0}),
    [](const testing::TestParamInfo<StoredCodeCase>& param) { return param.param.name; });

TEST_F(ItemEditor, SeparatorIsRefusedTypedPastedAndAtOk) {
    const std::string id = AddPhrase(category, "bar", "a9|", 0);
    Editor editor(id, category);
    QPlainTextEdit* description = editor.Description();
    description->moveCursor(QTextCursor::End);
    QTest::keyClicks(description, QStringLiteral("x|y"));
    EXPECT_EQ(editor.Text(), "axy");
    EXPECT_EQ(prompts.beeps, 1);

    QApplication::clipboard()->setText(QStringLiteral("p|q"));
    description->paste();
    EXPECT_EQ(editor.Text(), "axy");
    EXPECT_EQ(prompts.beeps, 2);

    // Text that arrives some other way (an input method, say) can't be
    // stepped away from nor stored.
    description->setPlainText(QStringLiteral("left|right"));
    editor.Do("+");
    EXPECT_EQ(editor.Number(), QStringLiteral("1"));
    EXPECT_EQ(prompts.beeps, 3);
    editor.Ok();
    EXPECT_FALSE(editor.Accepted());
    EXPECT_TRUE(editor.dlg->isVisible());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("\"|\"")));
    EXPECT_EQ(prompts.messages[0].caption, QStringLiteral("Blurtle (TM)"));
    EXPECT_EQ(Column(id, "Data").toString(), QStringLiteral("a9|"));

    description->setPlainText(QStringLiteral("mended"));
    editor.Ok();
    ASSERT_TRUE(editor.Accepted());
    EXPECT_EQ(Column(id, "Data").toString(), QStringLiteral("mended9|"));
}

TEST_F(ItemEditor, NoStepPastTheLastPossibleIteration) {
    std::string data;
    for (int i = 1; i <= CItemVerbiage::kMaxIterations; ++i) {
        data += "t" + std::to_string(i) + "9|";
    }
    const std::string id = AddPhrase(category, "many", data, 0);
    Editor editor(id, category);
    for (int i = 1; i < CItemVerbiage::kMaxIterations; ++i) {
        editor.Do("+");
    }
    EXPECT_EQ(editor.Number(), QStringLiteral("255"));
    EXPECT_EQ(prompts.beeps, 0);
    editor.Do("T:last");
    editor.Do("+");
    EXPECT_EQ(prompts.beeps, 1);
    EXPECT_EQ(editor.Number(), QStringLiteral("255"));
    EXPECT_EQ(editor.Spin()->Position(), 255);
    EXPECT_EQ(editor.Text(), "last");
    editor.Do("-");
    editor.Do("+");
    EXPECT_EQ(editor.Text(), "last");
    editor.Ok();
    ASSERT_TRUE(editor.Accepted());
    const std::string saved = Column(id, "Data").toString().toStdString();
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '|'), 255);
    EXPECT_TRUE(saved.ends_with("|t254"
                                "9|last9|"));
}

struct VanishedCase {
    const char* name;
    bool deleteAfterOpening; // otherwise the key never matched
};

class VanishedRow : public ItemEditor, public testing::WithParamInterface<VanishedCase> {};

TEST_P(VanishedRow, OkSaysSoAndWritesNothing) {
    const std::string other = AddPhrase(category, "other", "o9|", 0);
    std::string id = AddPhrase(category, "doomed", "d9|", 0);
    if (!GetParam().deleteAfterOpening) {
        QueryDirect(library.path, QStringLiteral("DELETE FROM tblPhrase WHERE PhraseID = '%1'")
                                      .arg(QString::fromStdString(id)));
    }
    Editor editor(id, category);
    if (GetParam().deleteAfterOpening) {
        EXPECT_EQ(editor.Text(), "d");
        QueryDirect(library.path, QStringLiteral("DELETE FROM tblPhrase WHERE PhraseID = '%1'")
                                      .arg(QString::fromStdString(id)));
    } else {
        EXPECT_EQ(editor.Mnemonic()->text(), QString());
        EXPECT_EQ(editor.Checked(kLeading), -1);
    }
    editor.Mnemonic()->setText(QStringLiteral("revived"));
    editor.Do("T:new text");
    editor.Ok();
    EXPECT_FALSE(editor.Accepted());
    ASSERT_EQ(prompts.messages.size(), 1u);
    EXPECT_TRUE(prompts.messages[0].text.contains(QStringLiteral("no longer in the library")));
    EXPECT_EQ(RowCount(), 1);
    EXPECT_EQ(Column(other, "Data").toString(), QStringLiteral("o9|"));
}

INSTANTIATE_TEST_SUITE_P(ItemEditor, VanishedRow,
                         testing::Values(VanishedCase{"DeletedWhileOpen", true},
                                         VanishedCase{"GoneBeforeOpening", false}),
                         [](const testing::TestParamInfo<VanishedCase>& param) {
                             return param.param.name;
                         });

class ReadOnlyEditor : public testing::TestWithParam<bool> {};

// On a library this user may only read, OK says what the store says and
// nothing is written, for a new item and an existing one alike.
TEST_P(ReadOnlyEditor, OkGivesTheStoresWordsAndWritesNothing) {
    if (RerunAsNobodyIfRoot()) {
        return;
    }
    const bool newItem = GetParam();
    CTempLibrary library;
    CScriptedPromptService prompts;
    const std::string category = AddCategory("Shared", 0);
    const std::string id = AddPhrase(category, "fixed", "Fixed9|", 0);
    CLibraryConnection::CloseIdle();
    QFile::setPermissions(QString::fromStdString(library.path),
                          QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    {
        Editor editor(newItem ? std::string() : id, category);
        editor.Do("T:changed");
        editor.Ok();
        EXPECT_FALSE(editor.Accepted());
        ASSERT_EQ(prompts.messages.size(), 1u);
        EXPECT_EQ(prompts.messages[0].text.toStdString(),
                  "The library \"" + library.path + "\" is read-only.");
        EXPECT_EQ(prompts.messages[0].icon, CPromptService::Icon::Stop);
    }
    EXPECT_EQ(QueryDirect(library.path, QStringLiteral("SELECT count(*) FROM tblPhrase")).toInt(),
              1);
    EXPECT_EQ(QueryDirect(library.path, QStringLiteral("SELECT Data FROM tblPhrase")).toString(),
              QStringLiteral("Fixed9|"));
}

INSTANTIATE_TEST_SUITE_P(ItemEditor, ReadOnlyEditor, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& param) {
                             return param.param ? "NewItem" : "ExistingItem";
                         });

struct MnemonicCase {
    const char* name;
    QString typed;
    QString shown;
};

class MnemonicLimit : public ItemEditor, public testing::WithParamInterface<MnemonicCase> {};

TEST_P(MnemonicLimit, CountsCharactersAndNeverSplitsOne) {
    Editor editor("", category);
    // Typed one character at a time, a pair of UTF-16 units together.
    const QString& typed = GetParam().typed;
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const qsizetype units = typed[i].isHighSurrogate() ? 2 : 1;
        editor.Mnemonic()->insert(typed.mid(i, units));
        i += units - 1;
    }
    EXPECT_EQ(editor.Mnemonic()->text(), GetParam().shown);
    editor.Ok();
    ASSERT_TRUE(editor.Accepted());
    EXPECT_EQ(Column(editor.dlg->GetPhraseID().toStdString(), "Mnemonic").toString(),
              GetParam().shown);
}

const QString kFace = QStringLiteral("\U0001F600"); // outside the basic plane: two UTF-16 units

INSTANTIATE_TEST_SUITE_P(
    ItemEditor, MnemonicLimit,
    testing::Values(
        MnemonicCase{"Fifty", QString(50, QLatin1Char('a')), QString(50, QLatin1Char('a'))},
        MnemonicCase{"SixtyCutToFifty", QString(60, QLatin1Char('b')),
                     QString(50, QLatin1Char('b'))},
        MnemonicCase{"AccentsCountOnce", QString(55, QChar(0x00e9)), QString(50, QChar(0x00e9))},
        MnemonicCase{"PairsCountOnce", QString(48, QLatin1Char('c')) + kFace + kFace + kFace,
                     QString(48, QLatin1Char('c')) + kFace + kFace}),
    [](const testing::TestParamInfo<MnemonicCase>& param) { return param.param.name; });

TEST_F(ItemEditor, PastedMnemonicIsCutAtFiftyCharacters) {
    Editor editor("", category);
    QApplication::clipboard()->setText(QString(49, QLatin1Char('d')) + kFace + kFace);
    editor.Mnemonic()->paste();
    EXPECT_EQ(editor.Mnemonic()->text(), QString(49, QLatin1Char('d')) + kFace);
}

// The chance line: the weight on display over the weights of every
// iteration that would be saved, the one on display as it stands.
TEST_F(ItemEditor, ChanceFollowsWeightStepAndText) {
    const std::string id = AddPhrase(category, "odds", "A9|B3|C6|", 0);
    Editor editor(id, category);
    const std::vector<std::pair<std::string, const char*>> script = {
        {"", "50.0 %"},    {"W:1", "10.0 %"}, {"+", "30.0 %"}, {"T:", "0.0 %"},
        {"T:B", "30.0 %"}, {"+", "60.0 %"},   {"+", "0.0 %"},  {"T:D", "47.4 %"},
    };
    for (const auto& [step, chance] : script) {
        if (!step.empty()) {
            editor.Do(step);
        }
        EXPECT_EQ(editor.Chance().toStdString(), chance) << "after " << step;
    }
    Editor fresh("", category);
    EXPECT_EQ(fresh.Chance().toStdString(), "0.0 %");
    fresh.Do("T:only");
    EXPECT_EQ(fresh.Chance().toStdString(), "100.0 %");
}

TEST_F(ItemEditor, HintIsOneWindowHiddenByItsCloseRoadsAndGoneWithTheEditor) {
    auto editor = std::make_unique<Editor>("", category);
    auto* hintButton = editor->Get<QPushButton>("IDC_HINT");
    EXPECT_EQ(hintButton->text(), QStringLiteral("&Hint..."));
    QTest::mouseClick(hintButton, Qt::LeftButton);
    QPointer<CHint> hint = editor->dlg->Hint();
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_FALSE(hint->isModal());
    EXPECT_EQ(hint->windowTitle(), QStringLiteral("Hint"));
    EXPECT_EQ(hint->Text(), CHint::ItemEditorText());
    EXPECT_TRUE(hint->Text().startsWith(
        QStringLiteral("In this window, define a mnemonic to appear in the main phrase item "
                       "list.  It can be up to 50 characters.  Enter more")));
    EXPECT_TRUE(hint->Text().endsWith(QStringLiteral("to prevent the paragraph from starting in "
                                                     "an unwanted section.")));
    auto* text = hint->findChild<QPlainTextEdit*>(QStringLiteral("IDC_HINT_TEXT"));
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isReadOnly());
    text->selectAll();
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(text, &focusIn);
    EXPECT_EQ(text->textCursor().position(), 0);
    EXPECT_FALSE(text->textCursor().hasSelection());

    const std::vector<std::function<void()>> closeRoads = {
        [&] { QTest::keyClick(hint, Qt::Key_Escape); },
        [&] { QTest::keyClick(text, Qt::Key_Return); },
        [&] { hint->close(); },
        [&] { hint->accept(); },
    };
    for (const auto& close : closeRoads) {
        close();
        EXPECT_FALSE(hint->isVisible());
        QTest::mouseClick(hintButton, Qt::LeftButton);
        EXPECT_EQ(editor->dlg->Hint(), hint.data());
        ASSERT_FALSE(hint.isNull());
        EXPECT_TRUE(hint->isVisible());
    }
    EXPECT_EQ(editor->dlg->findChildren<CHint*>().size(), 1);

    editor->dlg->reject();
    EXPECT_FALSE(hint->isVisible());
    editor.reset();
    EXPECT_TRUE(hint.isNull());
}

// OK writes back byte for byte what the user left alone, shown or not;
// typed text keeps its no-break spaces.
TEST_F(ItemEditor, OkKeepsTheBytesLeftAlone) {
    const std::string nbsp = "\xc2\xa0";
    const std::string name = std::string(30, 'm') + nbsp + std::string(29, 'n'); // 60 characters
    const std::string id = AddPhrase(category, name, "A" + nbsp + "b\r\nc5|Hi\nthere 0|x9|", 0);
    Editor editor(id, category);
    for (const std::string& step :
         std::vector<std::string>{"+", "+", "T:a" + nbsp + "b", "-", "-", "W:2"}) {
        editor.Do(step);
    }
    editor.Ok();
    EXPECT_EQ(editor.dlg->m_strMnemonic.toStdString(), name);
    EXPECT_EQ(Column(id, "Mnemonic").toString().toStdString(), name);
    EXPECT_EQ(Column(id, "Data").toString().toStdString(),
              "A" + nbsp + "b\r\nc2|Hi\nthere 0|a" + nbsp + "b9|");
}

// A failed OK leaves the editor as it was; the next stores each iteration once.
TEST_F(ItemEditor, AFailedOkLeavesTheEditorAsItWas) {
    Editor editor("", category);
    for (const char* step : {"T:One", "+", "T:Two"}) {
        editor.Do(step);
    }
    QueryDirect(library.path, QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON tblPhrase "
                                             "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    editor.Ok();
    EXPECT_FALSE(editor.Accepted());
    EXPECT_TRUE(prompts.MessageTexts().join('|').contains(QStringLiteral("refused")));
    EXPECT_EQ(editor.Number(), QStringLiteral("2"));
    EXPECT_EQ(editor.Text(), "Two");
    QueryDirect(library.path, QStringLiteral("DROP TRIGGER refuse"));
    editor.Ok();
    EXPECT_EQ(Column(editor.dlg->GetPhraseID().toStdString(), "Data").toString(), "One9|Two9|");
}

// A row changed meanwhile: OK asks. Yes stores mine; No shows theirs, which
// the next OK stores without asking again (a row only moved is unchanged).
TEST_F(ItemEditor, OkAsksWhenTheRowChangedMeanwhile) {
    for (const QMessageBox::StandardButton answer : {QMessageBox::Yes, QMessageBox::No}) {
        const std::string id = AddPhrase(category, "mine", "Mine9|", 0);
        const QString where = QStringLiteral(" WHERE PhraseID = '%1'").arg(id.c_str());
        Editor editor(id, category);
        editor.Do("T:Edited");
        QueryDirect(library.path,
                    "UPDATE tblPhrase SET Data = 'Theirs9|', PunctuationLeading = 3" + where);
        prompts.QueueAnswer(answer);
        editor.Ok();
        if (answer == QMessageBox::No) {
            EXPECT_EQ(editor.Text(), "Theirs");
            EXPECT_EQ(editor.Checked(kLeading), 3);
            QueryDirect(library.path, "UPDATE tblPhrase SET ZOrder = 5" + where);
            editor.Ok();
        }
        ASSERT_TRUE(editor.Accepted());
        EXPECT_EQ(prompts.messages.size(), answer == QMessageBox::Yes ? 1u : 2u) << "asked once";
        EXPECT_EQ(Column(id, "Data").toString(),
                  answer == QMessageBox::Yes ? "Edited9|" : "Theirs9|");
    }
}

// The group boxes' mnemonics reach their buttons, which lie beside them.
TEST_F(ItemEditor, AltLAndAltTFocusTheCheckedPunctuationButton) {
    Editor editor("", category);
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.dlg.get()));
    for (const auto& [key, button] :
         {std::pair{Qt::Key_L, kLeading[0]}, std::pair{Qt::Key_T, kTrailing[2]}}) {
        editor.Mnemonic()->setFocus();
        QTest::keyClick(editor.dlg.get(), key, Qt::AltModifier);
        EXPECT_TRUE(editor.Get<QRadioButton>(button)->hasFocus()) << button;
    }
}
