#pragma once

#include <QComboBox>

class QMenu;

// The palette's category selector: a drop-down list of category lines (see
// EntryLines.h), in the order the library gives them. It shows each
// category's name; the whole line, key included, stays in the entry's data.
// A right click, the Menu key or Shift+F10 opens the "Category" menu
// without changing the selection.
class CComboRightClick : public QComboBox {
    Q_OBJECT

public:
    // The menu commands of the "Category" menu.
    enum Command {
        ID_ADD_CATEGORY = 32779,
        ID_DELETE_CATEGORY = 32780,
        ID_SORT_CATEGORIES = 32783,
        ID_RENAME_CATEGORY = 32784,
    };

    explicit CComboRightClick(QWidget* parent = nullptr);
    ~CComboRightClick() override;

    // The "Category" menu's commands, each posting its message to the
    // palette. Every command is always enabled, even with no category.
    void FillCategoryMenu(QMenu& menu);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ShowCategoryMenu(const QPoint& globalPos);
};
