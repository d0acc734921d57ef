#include "app/MumbletDlg.h"

#include "app/ErrorGuard.h"
#include "app/HelpPage.h"
#include "app/MumbletApp.h"
#include "app/Profile.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/AppIcon.h"
#include "dialogs/DialogUnits.h"
#include "dialogs/PromptService.h"
#include "dialogs/UpDownButtons.h"
#include "dragdrop/ComboRightClick.h"
#include "dragdrop/DDListBox.h"
#include "dragdrop/EntryLines.h"
#include "dragdrop/PaletteMessages.h"
#include "store/CurrentDatabase.h"
#include "ui_MumbletDlg.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>

#include <algorithm>
#include <map>

CMumbletDlg::CMumbletDlg(QWidget* parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::MumbletDlg>()), m_hIcon(BlurtleIcon()),
      m_refresh({[this] { return m_bInitializing || m_ctlMnemonics->IsDragging(); },
                 [this] { m_order->StoreBeforeRefresh(); },
                 [this] {
                     // Another file in the library's place, or a server
                     // connection that broke meanwhile, is opened anew first.
                     FollowLibrary();
                     RefreshFromLibrary();
                 }}) {
    m_ui->setupUi(this);
    FitFormToFont(this);
    // A normal top-level window (so it has a taskbar entry) that stays
    // above the others, with a sizing border and a close box but no
    // minimise or maximise box.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    BindControls();
    FixMinimumSize();

    for (QTimer* timer : {&m_hideTimer, &m_showTimer}) {
        timer->setTimerType(Qt::PreciseTimer);
    }
    connect(&m_hideTimer, &QTimer::timeout, this, [this] { OnTimer(HideTimer); });
    connect(&m_showTimer, &QTimer::timeout, this, [this] { OnTimer(ShowTimer); });

    m_takeOverTimer.setInterval(kDialogWatchMs);
    connect(&m_takeOverTimer, &QTimer::timeout, this, &CMumbletDlg::CloseForAnotherStart);

    connect(m_ctlCategory, &QComboBox::activated, this, [this] { OnSelchangeCategory(); });
    connect(m_ctlSortSpin, &CUpDownButtons::DeltaPos, this, &CMumbletDlg::OnDeltaposSortSpin);
    connect(m_ctlOnlineHelp, &QPushButton::clicked, this, &CMumbletDlg::OnOnlineHelp);
    connect(m_ui->m_ctlWindowMenu, &QToolButton::clicked, this, [this] {
        const QToolButton* button = m_ui->m_ctlWindowMenu;
        ShowWindowMenu(button->mapToGlobal(QPoint(0, button->height())));
    });
    auto* findKey = new QShortcut(QKeySequence::Find, this);
    connect(findKey, &QShortcut::activated, this, [this] {
        m_ui->m_ctlFind->setFocus(Qt::ShortcutFocusReason);
        m_ui->m_ctlFind->selectAll();
    });
    auto* menuKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
    connect(menuKey, &QShortcut::activated, this,
            [this] { ShowWindowMenu(mapToGlobal(QPoint(0, 0))); });
}

CMumbletDlg::~CMumbletDlg() = default;

void CMumbletDlg::BindControls() {
    m_ctlOnlineHelp = m_ui->m_ctlOnlineHelp;
    m_ctlSortSpin = m_ui->m_ctlSortSpin;
    m_ctlCategory = m_ui->m_ctlCategory;
    m_ctlMnemonics = m_ui->m_ctlMnemonics;
    m_ctlMnemonics->SetHost(this);
    m_order = std::make_unique<CPendingOrder>(*this, *m_ctlCategory, *m_ctlMnemonics);
    m_drops = std::make_unique<CDropPolicy>(*this, *m_ctlCategory, *m_ctlMnemonics,
                                            [this] { return !m_find->IsFinding(); });
    m_find = std::make_unique<CPaletteFind>(
        *m_ui->m_ctlFind, *m_ctlMnemonics, *m_ctlSortSpin,
        CPaletteFind::Steps{[this] { return m_order->StoreBeforeSwitching(); },
                            [this] {
                                RunGuarded([this] {
                                    m_ctlMnemonics->clear();
                                    const QString line = m_order->ShownLine();
                                    if (!line.isEmpty()) {
                                        ShowCategoryEntries(line);
                                    }
                                });
                            }});
}

QLineEdit& CMumbletDlg::FindField() {
    return *m_ui->m_ctlFind;
}

QToolButton& CMumbletDlg::WindowMenuButton() {
    return *m_ui->m_ctlWindowMenu;
}

void CMumbletDlg::Start() {
    if (!RunGuarded([this] { OnInitDialog(); })) {
        // Initialisation was abandoned (the library could not be read):
        // show what there is so the user can pick another library or exit.
        m_bInitializing = false;
        LayoutControls();
        if (!isVisible()) {
            show();
        }
    }
}

void CMumbletDlg::OnInitDialog() {
    if (CMumbletApp* app = CMumbletApp::Instance()) {
        app->VerifyDatabasePath(this);
    }
    BuildWindowMenu();
    setWindowIcon(m_hIcon);
    // The list's drop target is registered here, before its table opens
    // (comes with dropping text onto the list).
    m_ctlMnemonics->OpenPhraseTable();
    // Watching starts before the first fill, so no change falls between.
    m_refresh.Watch(GetCurrentLibrary());
    FillCategories();
    SelectRememberedCategory();
    OnSelchangeCategory();
    RestoreWindowPlacement();
    m_bInitializing = false;
    m_ctlMnemonics->ResetListRect();
    LayoutControls();
}

void CMumbletDlg::BuildWindowMenu() {
    m_windowMenu.clear();
    m_windowMenu.addSeparator();
    m_windowMenu.addAction(tr("Change Active Database..."), this,
                           [this] { OnSysCommand(IDM_CHANGEDATABASE); });
    m_windowMenu.addAction(tr("&About %1...").arg(kProgramCaption), this,
                           [this] { OnSysCommand(IDM_ABOUTBOX); });
    m_windowMenu.addSeparator();
    m_windowMenu.addAction(tr("E&xit"), this, [this] { OnSysCommand(ID_APP_EXIT); });
}

void CMumbletDlg::ShowWindowMenu(const QPoint& globalPos) {
    if (!m_windowMenu.isEmpty()) {
        m_windowMenu.popup(globalPos);
    }
}

void CMumbletDlg::FillCategories() {
    for (const QString& line : ReadCategoryLines()) {
        EntryLines::AppendCategoryLine(*m_ctlCategory, line);
    }
}

void CMumbletDlg::SelectRememberedCategory() {
    // The whole line, key included, letter case aside: a renamed category
    // no longer matches, and neither does one whose key changed.
    const QString remembered = Profile::GetString(CPendingOrder::kCategorySetting, QString());
    const int index =
        m_ctlCategory->findData(remembered, EntryLines::LineRole, Qt::MatchFixedString);
    m_ctlCategory->setCurrentIndex(m_ctlCategory->count() > 0 ? std::max(index, 0) : -1);
}

void CMumbletDlg::OnSelchangeCategory() {
    if (!m_order->StoreBeforeSwitching()) {
        return;
    }
    // Choosing a category ends a find: the list shows the category.
    m_find->Clear(false);
    m_ctlMnemonics->clear();
    m_order->Shows(QString());

    const QString line = EntryLines::SelectedCategoryLine(*m_ctlCategory);
    Profile::WriteString(CPendingOrder::kCategorySetting, line);
    if (line.isEmpty()) {
        return;
    }

    ShowCategoryEntries(line);
    m_order->Shows(line);
}

void CMumbletDlg::OnDeltaposSortSpin(int delta) {
    const int i = m_ctlMnemonics->currentRow();
    // Found items have no order of their own to give.
    if (m_find->IsFinding() || i < 0 || !m_ctlMnemonics->IsCurrentSelected()) {
        CPromptService::Current().Beep();
        return;
    }
    if (m_ctlMnemonics->LineAt(i).isEmpty()) {
        return;
    }
    const int n = m_ctlMnemonics->count();
    if ((i == 0 && delta < 0) || (i == n - delta && delta > 0)) {
        CPromptService::Current().Beep();
        return;
    }
    m_ctlMnemonics->Model().Move(i, i + delta);
    m_ctlMnemonics->setCurrentRow(i + delta);
    m_order->MarkChanged();
}

QTimer* CMumbletDlg::PaletteTimer(int id) {
    return id == HideTimer ? &m_hideTimer : id == ShowTimer ? &m_showTimer : nullptr;
}

void CMumbletDlg::SetPaletteTimer(int id, int milliseconds) {
    if (QTimer* timer = PaletteTimer(id)) {
        timer->start(milliseconds);
    }
}

void CMumbletDlg::KillPaletteTimer(int id) {
    if (QTimer* timer = PaletteTimer(id)) {
        timer->stop();
    }
}

bool CMumbletDlg::IsPaletteTimerActive(int id) const {
    return (id == HideTimer && m_hideTimer.isActive()) ||
           (id == ShowTimer && m_showTimer.isActive());
}

void CMumbletDlg::OnTimer(int id) {
    if (id == HideTimer) {
        // A drag has started: get out of the way of the window beneath.
        m_placement.StepAside();
    } else if (id == ShowTimer) {
        // The drag has ended: come back, leaving the keyboard with the
        // program that took the drop.
        m_placement.ComeBack();
    }
    KillPaletteTimer(id);
}

void CMumbletDlg::OnOnlineHelp() {
    CPromptService::Current().OpenUrl(HelpPageUrl());
}

void CMumbletDlg::OnSysCommand(int command) {
    switch (command) {
    case IDM_ABOUTBOX: {
        CAboutDlg about(this);
        about.exec();
        break;
    }
    case IDM_CHANGEDATABASE:
        if (CMumbletApp* app = CMumbletApp::Instance()) {
            app->ChooseDatabaseFile(this, true);
        }
        break;
    case ID_APP_EXIT:
        OnAppExit();
        break;
    default:
        break;
    }
}

void CMumbletDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void CMumbletDlg::contextMenuEvent(QContextMenuEvent* event) {
    // A right click on the palette itself (its background or a label), not
    // on one of its controls.
    QWidget* child = childAt(event->pos());
    if (child == nullptr || qobject_cast<QLabel*>(child) != nullptr) {
        ShowWindowMenu(event->globalPos());
        event->accept();
        return;
    }
    event->ignore();
}

bool CMumbletDlg::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !m_bInitializing) {
        // After the activation itself, so a message box never comes up in
        // the middle of it.
        QTimer::singleShot(0, this, &CMumbletDlg::FollowLibrary);
    }
    // The commands the menus post; the item editor's own message needs
    // nothing here.
    static const std::map<int, void (CMumbletDlg::*)()> commands{
        {UWM_ADD_CATEGORY, &CMumbletDlg::AddCategory},
        {UWM_DELETE_CATEGORY, &CMumbletDlg::DeleteCategory},
        {UWM_ADD_ITEM, &CMumbletDlg::AddItem},
        {UWM_DELETE_ITEM, &CMumbletDlg::DeleteItem},
        {UWM_RENAME_MNEMONIC, &CMumbletDlg::RenameMnemonic},
        {UWM_ITEM_PROPERTIES, &CMumbletDlg::EditItemProperties},
        {UWM_SET_PUNCTUATION, nullptr},
        {UWM_SORT_CATEGORIES, &CMumbletDlg::SortCategories},
        {UWM_RENAME_CATEGORY, &CMumbletDlg::RenameCategory},
    };
    const auto command = commands.find(static_cast<int>(event->type()));
    if (command == commands.end()) {
        return QDialog::event(event);
    }
    if (command->second != nullptr) {
        (this->*command->second)();
    }
    return true;
}
