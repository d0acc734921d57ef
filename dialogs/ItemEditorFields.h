#pragma once

#include <QPlainTextEdit>

// A multi-line text whose caret goes to the start, with nothing selected,
// whenever it gets the focus, so it always opens at its first line.
class CCaretToStartEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CCaretToStartEdit(QWidget* parent = nullptr);

    // Puts the caret at the start and scrolls it into view.
    void CaretToStart();

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
