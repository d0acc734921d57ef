#include "dragdrop/ComboRightClick.h"

#include "dragdrop/MenuCommands.h"

#include <QMenu>
#include <QMouseEvent>

CComboRightClick::CComboRightClick(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setInsertPolicy(QComboBox::NoInsert);
    // The drop-down shows a long list without growing past the screen.
    setMaxVisibleItems(30);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(1);
    // The right button opens the "Category" menu at the press; no context
    // menu event may reach the palette's window menu.
    setContextMenuPolicy(Qt::PreventContextMenu);
}

CComboRightClick::~CComboRightClick() = default;

void CComboRightClick::FillCategoryMenu(QMenu& menu) {
    menu.setTitle(QStringLiteral("Category"));
    AddPaletteCommand(menu, this, QStringLiteral("&Add Category..."), ID_ADD_CATEGORY,
                      UWM_ADD_CATEGORY);
    menu.addSeparator();
    AddPaletteCommand(menu, this, QStringLiteral("&Rename Category"), ID_RENAME_CATEGORY,
                      UWM_RENAME_CATEGORY);
    AddPaletteCommand(menu, this, QStringLiteral("&Delete Category..."), ID_DELETE_CATEGORY,
                      UWM_DELETE_CATEGORY);
    menu.addSeparator();
    AddPaletteCommand(menu, this, QStringLiteral("&Sort Categories..."), ID_SORT_CATEGORIES,
                      UWM_SORT_CATEGORIES);
}

void CComboRightClick::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        ShowCategoryMenu(event->globalPosition().toPoint());
        return;
    }
    QComboBox::mousePressEvent(event);
}

void CComboRightClick::keyPressEvent(QKeyEvent* event) {
    if (IsMenuKey(*event)) {
        event->accept();
        ShowCategoryMenu(mapToGlobal(rect().bottomLeft()));
        return;
    }
    QComboBox::keyPressEvent(event);
}

void CComboRightClick::ShowCategoryMenu(const QPoint& globalPos) {
    QMenu menu(this);
    FillCategoryMenu(menu);
    menu.exec(globalPos);
}
