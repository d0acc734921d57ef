#include "dragdrop/DDListBox.h"

#include "dragdrop/DragRunner.h"
#include "dragdrop/DragText.h"
#include "dragdrop/EntryLines.h"
#include "dragdrop/MenuCommands.h"
#include "dragdrop/PaletteHost.h"
#include "dragdrop/PaletteMessages.h"
#include "dragdrop/WaylandStepAside.h"
#include "dragdrop/WidestEntryDelegate.h"
#include "engine/Punctuation.h"
#include "store/ZOrderSave.h"

#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>

#include <exception>
#include <vector>

CDDListBox::CDDListBox(QWidget* parent) : QListView(parent), m_dropTarget(*this) {
    setModel(&m_model);
    // Every entry has the same height: this lets the view lay out tens of
    // thousands of entries without measuring each one.
    setUniformItemSizes(true);
    // ... and the one size measured is as wide as the widest entry, so the
    // horizontal scroll bar reaches the end of every long mnemonic.
    new CWidestEntryDelegate(*this);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The list runs its own drags and takes drops itself; the view's own
    // item dragging stays off.
    setDragEnabled(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    // The right button opens the "Item" menu at the press; no context menu
    // event may reach the palette's window menu.
    setContextMenuPolicy(Qt::PreventContextMenu);

    m_holdTimer.setSingleShot(true);
    m_holdTimer.setInterval(QApplication::startDragTime());
    connect(&m_holdTimer, &QTimer::timeout, this, [this] {
        if (m_bPressed && !m_bDragging) {
            DragOut();
        }
    });
}

CDDListBox::~CDDListBox() {
    try {
        if (m_rsPhrase.IsOpen()) {
            m_rsPhrase.Close();
        }
    } catch (const std::exception&) {
        // Nothing is written at close; a failure here has nothing to lose.
    }
}

void CDDListBox::OpenPhraseTable() {
    m_rsPhrase.Open();
}

bool CDDListBox::SaveOrder() {
    if (!m_rsPhrase.IsOpen()) {
        return true; // the library never opened: there is no order to store
    }
    std::vector<std::pair<std::string, int>> positions;
    int i = 0;
    for (const MnemonicEntry& entry : m_model.Entries()) {
        if (entry.storedPosition != i) {
            positions.emplace_back(EntryLines::MnemonicKey(entry.line).toStdString(), i);
        }
        ++i;
    }
    if (positions.empty()) {
        return true;
    }
    SaveZOrders(m_rsPhrase, m_rsPhrase.m_ZOrder, positions);
    for (const auto& [key, row] : positions) {
        m_model.SetStoredPosition(row, row);
    }
    return true;
}

void CDDListBox::Reshow(std::unique_ptr<CEntryPages> pages, std::vector<MnemonicEntry> entries,
                        bool complete) {
    const QString currentKey = EntryLines::MnemonicKey(LineAt(currentRow()));
    const bool selected = IsCurrentSelected();
    const int scroll = verticalScrollBar()->value();
    setUpdatesEnabled(false);
    m_model.Show(std::move(pages), std::move(entries), complete);
    const std::vector<MnemonicEntry>& shown = m_model.Read();
    for (int i = 0; i < static_cast<int>(shown.size()) && !currentKey.isEmpty(); ++i) {
        if (EntryLines::MnemonicKey(shown[static_cast<std::size_t>(i)].line)
                .compare(currentKey, Qt::CaseInsensitive) == 0) {
            setCurrentRow(i, selected ? QItemSelectionModel::ClearAndSelect
                                      : QItemSelectionModel::NoUpdate);
            break;
        }
    }
    verticalScrollBar()->setValue(scroll);
    setUpdatesEnabled(true);
}

QString CDDListBox::LineAt(int row) const {
    return m_model.index(row).data(EntryLines::LineRole).toString();
}

QString CDDListBox::TextAt(int row) const {
    return m_model.index(row).data(Qt::DisplayRole).toString();
}

bool CDDListBox::IsCurrentSelected() const {
    return currentIndex().isValid() && selectionModel()->isSelected(currentIndex());
}

void CDDListBox::setCurrentRow(int row, QItemSelectionModel::SelectionFlags command) {
    selectionModel()->setCurrentIndex(m_model.index(row), command);
}

void CDDListBox::RecordListRect() {
    if (m_host != nullptr) {
        m_host->SetListRect(QRect(mapToGlobal(QPoint(0, 0)), size()));
    }
}

void CDDListBox::ResetListRect() {
    if (m_host != nullptr) {
        m_host->SetListRect(QRect(mapToGlobal(QPoint(-1, -1)), QSize(0, 0)));
    }
}

// --- drag-out -------------------------------------------------------------

std::unique_ptr<QMimeData> CDDListBox::PrepareDragData(int row) {
    if (row < 0 || row >= count() || !m_rsPhrase.IsOpen()) {
        return nullptr;
    }
    const QString key = EntryLines::MnemonicKey(LineAt(row));
    if (!m_rsPhrase.SeekKey(key.toStdString())) {
        return nullptr;
    }
    const std::string text = ComposeDragText(m_rsPhrase.m_Data, m_rsPhrase.m_PunctuationLeading,
                                             m_rsPhrase.m_PunctuationTrailing);
    return MakeDragText(QString::fromStdString(text));
}

void CDDListBox::DragOut() {
    m_holdTimer.stop();
    // From here the drag itself watches Escape (see CDragCanceller).
    qApp->removeEventFilter(this);
    std::unique_ptr<QMimeData> mime = PrepareDragData(currentRow());
    if (mime == nullptr) {
        return;
    }
    QPointer<CDDListBox> self(this);

    auto* drag = new QDrag(this);
    m_dataSource = mime.get();
    drag->setMimeData(mime.release());
    m_bDragging = true;
    RecordListRect();
    if (m_host != nullptr) {
        m_host->SetPaletteTimer(CPaletteHost::HideTimer, kHideDelayMs);
    }
    if (!WaylandStepAside::IsNativeWayland()) {
        // On Wayland the compositor, not our drag loop, finds the target.
        m_nudger.Start(window());
    }

    // The target's answer is not used: a move never removes the entry or
    // its row.
    CDragRunner::Current().Run(drag, Qt::CopyAction | Qt::MoveAction);

    if (self == nullptr) {
        return; // the palette went away while the drag ran
    }
    m_nudger.Stop();
    m_bDragging = false;
    // The release that ended the drag went to the drag loop. This one ends
    // the view's own press handling and kills the hide timer.
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(m_ptDrag),
                        QPointF(viewport()->mapToGlobal(m_ptDrag)), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(viewport(), &release);
    if (m_host != nullptr) {
        m_host->SetPaletteTimer(CPaletteHost::ShowTimer, kShowDelayMs);
    }
    m_dataSource = nullptr; // the runner releases the drag and its data
    ResetListRect();
}

void CDDListBox::EndPress() {
    m_bPressed = false;
    m_holdTimer.stop();
    qApp->removeEventFilter(this);
}

void CDDListBox::CancelPress() {
    EndPress();
    // The rest of this press (moves with the button held) does nothing.
    m_bPressCancelled = true;
}

bool CDDListBox::eventFilter(QObject* watched, QEvent* event) {
    // While the left button is held on an entry and no drag has started,
    // Escape cancels the press, wherever the keyboard focus is; it must not
    // reach the palette, where Escape ends the program.
    if (event->type() == QEvent::KeyPress && m_bPressed && !m_bDragging &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        CancelPress();
        return true;
    }
    return QListView::eventFilter(watched, event);
}

void CDDListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        // Select the entry under the pointer first; below the last entry the
        // selection stays as it was.
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid()) {
            setCurrentRow(index.row());
        }
        event->accept();
        ShowItemMenu(event->globalPosition().toPoint());
        return;
    }
    QListView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && !m_bDragging) {
        m_bPressed = true;
        m_bPressCancelled = false;
        m_ptDrag = event->position().toPoint();
        m_holdTimer.start();
        qApp->installEventFilter(this);
    }
}

void CDDListBox::keyPressEvent(QKeyEvent* event) {
    if (IsMenuKey(*event)) {
        event->accept();
        // At the selected entry, or at the list's top left without one.
        QRect at = currentIndex().isValid() ? visualRect(currentIndex()) : QRect();
        if (!at.isValid() || !viewport()->rect().intersects(at)) {
            at = QRect(viewport()->rect().topLeft(), QSize(1, 1));
        }
        ShowItemMenu(viewport()->mapToGlobal(at.bottomLeft()));
        return;
    }
    QListView::keyPressEvent(event);
}

void CDDListBox::mouseMoveEvent(QMouseEvent* event) {
    if (m_bDragging) {
        return;
    }
    if ((m_bPressed || m_bPressCancelled) && event->buttons().testFlag(Qt::LeftButton)) {
        if (m_bPressed && (event->position().toPoint() - m_ptDrag).manhattanLength() >=
                              QApplication::startDragDistance()) {
            DragOut();
        }
        return; // no drag-selection while the button is down
    }
    QListView::mouseMoveEvent(event);
}

void CDDListBox::mouseReleaseEvent(QMouseEvent* event) {
    QListView::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton) {
        EndPress();
        m_bPressCancelled = false;
        // A click that never became a drag never hides the palette.
        if (m_host != nullptr) {
            m_host->KillPaletteTimer(CPaletteHost::HideTimer);
        }
    }
}

void CDDListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) {
        EndPress();
        PostPaletteMessage(window(), UWM_ITEM_PROPERTIES);
    }
}

// --- drop target ----------------------------------------------------------

void CDDListBox::dragEnterEvent(QDragEnterEvent* event) {
    const QPoint global = viewport()->mapToGlobal(event->position().toPoint());
    const Qt::DropAction action = m_dropTarget.OnDragEnter(
        event->mimeData(), global, event->modifiers(), event->possibleActions(), m_bDragging);
    // The entry is taken even when the drag is refused: Qt hands a drag's
    // moves and its leave only to the widget that took its entry, and the
    // leave is where a refused drop is noticed. What the source is told is
    // the answer to each move (the first follows at once), and that stays
    // a refusal.
    event->setDropAction(action);
    event->accept();
}

void CDDListBox::dragMoveEvent(QDragMoveEvent* event) {
    const QPoint global = viewport()->mapToGlobal(event->position().toPoint());
    AnswerDrag(event,
               m_dropTarget.OnDragOver(global, event->modifiers(), event->possibleActions()));
}

void CDDListBox::dragLeaveEvent(QDragLeaveEvent* event) {
    event->accept();
    m_dropTarget.OnDragLeave();
}

void CDDListBox::dropEvent(QDropEvent* event) {
    const QPoint global = viewport()->mapToGlobal(event->position().toPoint());
    Qt::DropAction action =
        m_dropTarget.OnDragOver(global, event->modifiers(), event->possibleActions());
    action = m_dropTarget.OnDrop(action);
    AnswerDrag(event, action);
}

void CDDListBox::AnswerDrag(QDropEvent* event, Qt::DropAction action) {
    event->setDropAction(action);
    event->setAccepted(action != Qt::IgnoreAction);
}

// --- the "Item" menu ------------------------------------------------------

void CDDListBox::FillItemMenu(QMenu& menu) {
    menu.setTitle(QStringLiteral("Item"));
    AddPaletteCommand(menu, this, QStringLiteral("&Add Item..."), ID_ADD_ITEM, UWM_ADD_ITEM);
    menu.addSeparator();
    AddPaletteCommand(menu, this, QStringLiteral("&Rename Mnemonic..."), ID_RENAME_MNEMONIC,
                      UWM_RENAME_MNEMONIC);
    AddPaletteCommand(menu, this, QStringLiteral("&Delete Item..."), ID_DELETE_ITEM,
                      UWM_DELETE_ITEM);
    menu.addSeparator();
    AddPaletteCommand(menu, this, QStringLiteral("&Properties && Randomize..."), ID_ITEM_PROPERTIES,
                      UWM_ITEM_PROPERTIES);
}

void CDDListBox::ShowItemMenu(const QPoint& globalPos) {
    QMenu menu(this);
    FillItemMenu(menu);
    menu.exec(globalPos);
}
