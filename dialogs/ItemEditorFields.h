#pragma once

#include <QPlainTextEdit>
#include <QValidator>

class QLineEdit;

// Keeps a line edit's text to at most a number of characters (code points:
// a character outside the basic plane counts once and is never split).
// Typed or pasted text beyond the limit is cut from what was just inserted,
// as a length-limited edit refuses the rest of an insertion.
class CCharacterLimit : public QValidator {
    Q_OBJECT

public:
    CCharacterLimit(int maxCharacters, QObject* parent);

    int MaxCharacters() const { return m_maxCharacters; }
    State validate(QString& input, int& pos) const override;

    // Installs a limit on `edit` (owned by the edit).
    static void Apply(QLineEdit* edit, int maxCharacters);

private:
    int m_maxCharacters;
};

// The number of characters (code points) in `text`.
int CharacterCount(const QString& text);

// A multi-line text whose caret goes to the start, with nothing selected,
// whenever it gets the focus, so it always opens at its first line.
class CCaretToStartEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CCaretToStartEdit(QWidget* parent = nullptr);

    // Puts the caret at the start and scrolls it into view.
    void CaretToStart();

signals:
    void FocusedIn();

protected:
    void focusInEvent(QFocusEvent* event) override;
};

// The item editor's text of one iteration. The separator "|" can't be part
// of an iteration's text (the stored form has no escape for it), so typing
// it, pasting or dropping text that holds it is refused with a beep.
class CDescriptionEdit : public CCaretToStartEdit {
    Q_OBJECT

public:
    explicit CDescriptionEdit(QWidget* parent = nullptr);

    static bool HoldsSeparator(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};
