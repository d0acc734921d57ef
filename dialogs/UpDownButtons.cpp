#include "dialogs/UpDownButtons.h"

#include <QKeyEvent>
#include <QToolButton>

#include <algorithm>

CUpDownButtons::CUpDownButtons(QWidget* parent, Qt::Orientation orientation)
    : QWidget(parent), m_orientation(orientation), m_less(new QToolButton(this)),
      m_more(new QToolButton(this)) {
    setFocusPolicy(Qt::TabFocus);
    for (QToolButton* button : {m_less, m_more}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(false);
        button->setIconSize(QSize(7, 7));
    }
    m_less->setObjectName(QStringLiteral("less"));
    m_more->setObjectName(QStringLiteral("more"));
    connect(m_less, &QToolButton::clicked, this, [this] { Step(-1); });
    connect(m_more, &QToolButton::clicked, this, [this] { Step(+1); });
    SetOrientation(orientation);
}

void CUpDownButtons::SetOrientation(Qt::Orientation orientation) {
    m_orientation = orientation;
    const bool vertical = orientation == Qt::Vertical;
    m_less->setArrowType(vertical ? Qt::UpArrow : Qt::LeftArrow);
    m_more->setArrowType(vertical ? Qt::DownArrow : Qt::RightArrow);
    m_less->setAccessibleName(vertical ? tr("Up") : tr("Left"));
    m_more->setAccessibleName(vertical ? tr("Down") : tr("Right"));
    LayoutArrows();
}

void CUpDownButtons::SetPosition(int position) {
    m_position = std::clamp(position, m_lower, m_upper);
}

void CUpDownButtons::SetRange(int lower, int upper) {
    m_lower = std::min(lower, upper);
    m_upper = std::max(lower, upper);
    SetPosition(m_position);
}

void CUpDownButtons::Step(int delta) {
    bool refuse = false;
    emit DeltaPos(delta, &refuse);
    if (!refuse) {
        SetPosition(m_position + delta);
    }
}

void CUpDownButtons::keyPressEvent(QKeyEvent* event) {
    const bool vertical = m_orientation == Qt::Vertical;
    const int lessKey = vertical ? Qt::Key_Up : Qt::Key_Left;
    const int moreKey = vertical ? Qt::Key_Down : Qt::Key_Right;
    if (event->key() == lessKey) {
        Step(-1);
    } else if (event->key() == moreKey) {
        Step(+1);
    } else {
        QWidget::keyPressEvent(event);
    }
}

void CUpDownButtons::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutArrows();
}

void CUpDownButtons::LayoutArrows() {
    const int w = width();
    const int h = height();
    if (m_orientation == Qt::Vertical) {
        m_less->setGeometry(0, 0, w, h / 2);
        m_more->setGeometry(0, h / 2, w, h - h / 2);
    } else {
        m_less->setGeometry(0, 0, w / 2, h);
        m_more->setGeometry(w / 2, 0, w - w / 2, h);
    }
}
