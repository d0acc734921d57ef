#pragma once

#include "engine/IterationSteps.h"
#include "engine/VerbiageIteration.h"
#include "store/PhraseTbl.h"

#include <QEvent>
#include <QString>

#include <cstdint>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QWidget;
class CUpDownButtons;

// The editor's private message to itself: the punctuation codes of the row
// just read. `leading` is the stored code zero-extended from 16 bits,
// `trailing` the stored code sign-extended.
class CSetPunctuationEvent : public QEvent {
public:
    CSetPunctuationEvent(int leading, int trailing);
    static QEvent::Type EventType();

    int leading;
    int trailing;
};

// The editing model of one item in the item editor: the item's iterations
// (the list and Data text of CVerbiageIteration), its row in tblPhrase and
// the editor's controls it reads and fills, bound once before any other
// call.
//
// Iteration n (1-based) is on display while the spin's position and the
// number shown are n. What the user changes reaches the list only when it
// is committed: at every step of the spin, and at OK.
class CItemVerbiage : public CVerbiageIteration {
public:
    static constexpr int kMaxIterations = CIterationSteps::kMaxIterations;

    // Opens the model's table on tblPhrase of the active library.
    CItemVerbiage();
    ~CItemVerbiage() override;

    // The editor's controls. `dialog` gets the punctuation of the row read;
    // `chance` is the read-only line giving the chance of the iteration on
    // display.
    struct Controls {
        QWidget* dialog;
        QLineEdit* mnemonic;
        QPlainTextEdit* description;
        CUpDownButtons* spin;
        QLabel* number;
        QComboBox* weight;
        QLineEdit* chance;
    };
    // Binds the controls and sets them up: the spin's range 1..255 at
    // position 1, the weight list "9" down to "1".
    void Bind(const Controls& controls);

    void SetPhraseID(const std::string& id) { m_strPhraseID = id; }
    void SetCategoryID(const std::string& id) { m_strCategoryID = id; }
    void MarkNew() { m_bNew = true; }

    // Reads the row to edit into the controls and shows iteration 1. A key
    // that matches no row leaves the controls empty.
    void Load();
    // Whether Load found the row to edit.
    bool RowFound() const { return m_bFound; }
    // Looks the row up again (another program may have deleted it since);
    // positions the table on it when it is there.
    bool FindRowAgain();

    void ShowIteration(int n);
    // The spin's request to move by `delta`; sets *refuse to keep the
    // spin's position where it is.
    void OnDeltaposIteration(int delta, bool* refuse);
    // Whether the row in the library differs from the row Load read
    // (another palette wrote it meanwhile). Call after FindRowAgain.
    bool ChangedSinceLoad() const;
    // OK's write: the item with the iteration on display as it stands
    // (with the beep of OK at the last iteration). The editor stays as it
    // is: when the store refuses (it throws), the list, the iteration on
    // display and its text are as they were before.
    void SaveShown();
    // Writes the row from the list: a new one (ZOrder 0, in the model's
    // category) or the one Load read.
    void Save();
    std::string GetSavedID() const { return m_strSavedID; }

    // Whether the library lets rows be written, and the library's words
    // when it doesn't.
    bool CanWrite() const { return m_rsPhrase.CanUpdate(); }
    std::string ReadOnlyText();

    // The chance of the iteration on display, in percent of the weights of
    // every iteration that would be saved (the one on display as it stands).
    double Chance() const;
    void UpdateChance();

    std::int16_t m_nTrailing = 0;
    std::int16_t m_nLeading = 0;
    // The codes Load read, written back unless the user chose others.
    std::int16_t m_nStoredLeading = 0;
    std::int16_t m_nStoredTrailing = 0;
    std::string m_strSavedID;
    bool m_bNew = false;

private:
    // The row's text columns as Load read them (its punctuation codes are
    // m_nStoredLeading and m_nStoredTrailing).
    struct LoadedRow {
        std::string mnemonic;
        std::string data;
    };

    std::string CurrentIteration() const;
    // The text of the iteration on display as it would be committed: as
    // stored while the user left it alone, else as edited, with the
    // stored line breaks and without white space at its end.
    std::string CurrentTextBytes() const;
    std::string CurrentWeight() const;
    std::string MnemonicToSave() const;
    // Puts an iteration on display and remembers it as shown, so that what
    // the user leaves alone is committed exactly as stored.
    void Present(const std::string& text, const std::string& weight);
    void SelectWeight(const QString& weight);
    int CurrentPosition() const;

    QWidget* m_pDialog = nullptr;
    QLineEdit* m_pMnemonicEdit = nullptr;
    CUpDownButtons* m_pSpin = nullptr;
    QComboBox* m_pWeightCombo = nullptr;
    QPlainTextEdit* m_pDescriptionEdit = nullptr;
    QLabel* m_pNumberStatic = nullptr;
    QLineEdit* m_pChanceLine = nullptr;
    CIterationSteps m_steps;
    CPhraseTbl m_rsPhrase;
    std::string m_strPhraseID;
    std::string m_strCategoryID;
    bool m_bFound = false;
    LoadedRow m_loaded;
    // The iteration on display as Present put it there: its stored text and
    // weight, the document's text and the weight list's choice then.
    std::string m_shownText;
    std::string m_shownWeight;
    QString m_shownDocument;
    int m_shownWeightIndex = -1;
    QString m_shownMnemonic;
};
