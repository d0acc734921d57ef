#pragma once

#include <QObject>

class QButtonGroup;
class QGroupBox;

// Makes a group box's mnemonic (the "&l" of its title) reach its radio
// buttons when they are laid out beside the box rather than inside it, as
// in the item editor's form: the shortcut gives the focus to the group's
// checked button, or to its first one when none is checked.
class CGroupShortcut : public QObject {
    Q_OBJECT

public:
    CGroupShortcut(QGroupBox* box, QButtonGroup* buttons);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QButtonGroup* m_buttons;
};
