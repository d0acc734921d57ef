// The palette's controls as the window's size changes: the selector, the
// find field and the list stretch, the buttons keep to the right edge, and
// the window never gets so small that they run into each other.
#include "app/MumbletDlg.h"

#include "dialogs/UpDownButtons.h"
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "ui_MumbletDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include <algorithm>
#include <vector>

void CMumbletDlg::FixMinimumSize() {
    // The labels and the arrows never move; the buttons keep to the right
    // edge, the selector and the list stretch. The window never gets so
    // small that the buttons run into a label beside them, a label or the
    // arrows stick out, or the list has no room for a few entries.
    constexpr int kEdge = 2;
    constexpr int kGap = 4;
    constexpr int kListRows = 3;
    const QRect help = m_ctlOnlineHelp->geometry();
    const QRect menuButton = m_ui->m_ctlWindowMenu->geometry();
    const int buttonsWidth = menuButton.width() + 2 + help.width() + 4;
    const int buttonsTop = std::min(help.top(), menuButton.top());
    const int buttonsBottom = std::max(help.bottom(), menuButton.bottom());

    std::vector<QWidget*> fixed{m_ctlSortSpin};
    for (QLabel* label : findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly)) {
        fixed.push_back(label);
    }
    int width = buttonsWidth + kEdge;
    for (const QWidget* control : fixed) {
        const QRect r = control->geometry();
        width = std::max(width, r.right() + 1 + kEdge);
        if (r.top() <= buttonsBottom && r.bottom() >= buttonsTop) {
            width = std::max(width, r.right() + 1 + kGap + buttonsWidth);
        }
    }
    const QRect combo = m_ctlCategory->geometry();
    width = std::max(width, combo.left() + 3 * combo.height() + kEdge);

    const QRect list = m_ctlMnemonics->geometry();
    const int listHeight = 2 * m_ctlMnemonics->frameWidth() +
                           kListRows * m_ctlMnemonics->fontMetrics().height() +
                           style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    setMinimumSize(width, list.top() + listHeight + kEdge);
}

void CMumbletDlg::LayoutControls() {
    const int w = width();
    const int h = height();

    QPushButton* help = m_ctlOnlineHelp;
    help->move(w - help->width() - 4, help->y());
    QToolButton* menuButton = m_ui->m_ctlWindowMenu;
    menuButton->move(help->x() - menuButton->width() - 2, menuButton->y());

    const QRect combo = m_ctlCategory->geometry();
    m_ctlCategory->setGeometry(combo.left(), combo.top(), qMax(0, w - combo.left() - 2),
                               combo.height());
    QLineEdit* find = m_ui->m_ctlFind;
    find->setGeometry(find->x(), find->y(), qMax(0, w - find->x() - 2), find->height());

    const QRect list = m_ctlMnemonics->geometry();
    m_ctlMnemonics->setGeometry(list.left(), list.top(), qMax(0, w - list.left() - 2),
                                qMax(0, h - list.top() - 2));
}

void CMumbletDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (!m_bInitializing) {
        LayoutControls();
    }
    m_placement.Changed(m_bInitializing);
}

void CMumbletDlg::moveEvent(QMoveEvent* event) {
    QDialog::moveEvent(event);
    m_placement.Changed(m_bInitializing);
}
