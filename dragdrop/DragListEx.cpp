#include "dragdrop/DragListEx.h"

#include <QDrag>
#include <QDropEvent>

CDragListEx::CDragListEx(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::InternalMove);
}

CDragListEx::~CDragListEx() = default;

int CDragListEx::InsertionIndexAt(const QPoint& pos) const {
    const QModelIndex index = indexAt(pos);
    if (!index.isValid()) {
        return pos.y() < 0 ? 0 : count();
    }
    const QRect rect = visualRect(index);
    return pos.y() >= rect.center().y() ? index.row() + 1 : index.row();
}

void CDragListEx::Dropped(int sourceIndex, const QPoint& pos) {
    m_bDropped = true;
    if (sourceIndex < 0 || sourceIndex >= count()) {
        return;
    }
    int destination = InsertionIndexAt(pos);
    if (destination == sourceIndex || destination == sourceIndex + 1) {
        return;
    }
    QListWidgetItem* item = takeItem(sourceIndex);
    if (sourceIndex < destination) {
        --destination;
    }
    insertItem(destination, item);
    setCurrentRow(destination);
}

void CDragListEx::startDrag(Qt::DropActions) {
    // The move is made by Dropped; the drag itself only carries the row, so
    // nothing may remove the source entry after the drag ends.
    QListWidgetItem* item = currentItem();
    if (item == nullptr) {
        return;
    }
    m_dragSource = row(item);
    auto* drag = new QDrag(this);
    drag->setMimeData(mimeData({item}));
    drag->exec(Qt::MoveAction);
    m_dragSource = -1;
}

void CDragListEx::dragEnterEvent(QDragEnterEvent* event) {
    if (event->source() == this) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CDragListEx::dragMoveEvent(QDragMoveEvent* event) {
    if (event->source() == this) {
        QListWidget::dragMoveEvent(event); // draws the insertion mark
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void CDragListEx::dropEvent(QDropEvent* event) {
    if (event->source() != this) {
        event->ignore();
        return;
    }
    const int source = m_dragSource >= 0 ? m_dragSource : currentRow();
    Dropped(source, event->position().toPoint());
    event->setDropAction(Qt::MoveAction);
    event->accept();
}
