#include "main/mainwindow.h"

#include "core/settingsstore.h"
#include "core/text.h"
#include "main/autostart.h"
#include "main/entrytext.h"
#include "main/icons.h"
#include "main/menucaption.h"
#include "platform/desktop.h"

#include <QAction>
#include <QCloseEvent>
#include <QCursor>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstdio>

namespace {

// A recovery copy follows a change within this time.
constexpr int recoveryDelayMs = 1000;

// An entry's caption in the tray entry list.
constexpr qsizetype trayCaptionLength = 60;

constexpr int tabCount = EntryStore::Count / EntryStore::PerTab;

// A numbered button is described by its entry's name; an empty description would fall back to
// the mouse hint of its tooltip.
QString buttonDescription(const QString &name) {
    return name.isEmpty() ? QStringLiteral("No name") : name;
}

QString twoDigits(int k) {
    return QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
}

QMenu *newMenu(QWidget *owner, const QString &name, const QString &caption) {
    auto *m = new QMenu(caption, owner);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    return m;
}

QAction *newItem(QMenu *menu, const QString &name, const QString &caption,
                 const char *shortcut = nullptr) {
    QAction *a = menu->addAction(caption);
    a->setObjectName(name);
    if (shortcut)
        a->setShortcut(QKeySequence(QLatin1String(shortcut)));
    return a;
}

} // namespace

MainWindow::MainWindow(SettingsStore &store, Desktop &desktop, QWidget *parent)
    : QMainWindow(parent)
    , m_store(store)
    , m_desktop(desktop) {
    setObjectName(QStringLiteral("FrmSnapvale"));
    setWindowTitle(QStringLiteral("Snapvale"));
    if (m_store.isOpen() && m_store.unwritableReason().isEmpty())
        m_recoveryWriter = std::make_unique<BackgroundWriter>(m_store.path());

    m_trayIcon = new QSystemTrayIcon(Icons::get("snapvale"), this);
    m_trayIcon->setObjectName(QStringLiteral("TrayIcon"));
    m_trayIcon->setToolTip(QStringLiteral("Left-click for list / Right-click for menu"));

    buildEntries();
    buildMenus();
    buildPopupMenus();

    connect(&m_entries, &EntryStore::entryChanged, this, [this](int n) {
        m_text[n]->refresh();
        m_cmd[n]->setAccessibleDescription(buttonDescription(m_entries.name(n)));
        scheduleRecoveryCopy();
    });
    m_recoveryTimer.setSingleShot(true);
    m_recoveryTimer.setInterval(recoveryDelayMs);
    connect(&m_recoveryTimer, &QTimer::timeout, this, &MainWindow::writeRecoveryCopy);
    // Damage is met in the middle of a read or write: it is dealt with once that has ended.
    m_store.setDamageHandler(
        [this] { QTimer::singleShot(0, this, &MainWindow::replaceDamagedStore); });

    // The keyboard starts on the first numbered button: Space pastes into entry 1.
    m_cmd[1]->setFocus();

    // A fixed-size window whose size follows its contents, so fonts and screen scaling fit.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildEntries() {
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    // All six tabs in one row, always: the window grows to fit them.
    m_tabs->setUsesScrollButtons(false);
    const QIcon tabIcon = Icons::get("tab");
    const QIcon pasteIcon = Icons::get("paste");
    const QIcon copyIcon = Icons::get("copy");

    for (int tab = 1; tab <= tabCount; ++tab) {
        auto *page = new QWidget;
        page->setObjectName(QStringLiteral("Tab%1").arg(tab));
        auto *pageLayout = new QVBoxLayout(page);
        auto *group = new QGroupBox(QStringLiteral("Click Text to View"), page);
        group->setObjectName(QStringLiteral("Frame3%1").arg(tab));
        pageLayout->addWidget(group);
        auto *grid = new QGridLayout(group);

        for (int row = 0; row < EntryStore::PerTab; ++row) {
            const int n = EntryStore::firstOfTab(tab) + row;

            auto *cmd = new QPushButton(pasteIcon, QString::number(n), group);
            cmd->setObjectName(QStringLiteral("Cmd%1").arg(n));
            cmd->setToolTip(QStringLiteral("Left-click to paste / Right-click for menu"));
            // Named for what it does; the entry's name says which clipping it holds.
            cmd->setAccessibleName(QStringLiteral("Paste into entry %1").arg(n));
            cmd->setAccessibleDescription(buttonDescription(m_entries.name(n)));
            cmd->setAutoDefault(false);
            cmd->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
            cmd->installEventFilter(this);
            connect(cmd, &QPushButton::clicked, this,
                    [this, n] { emit numberedButtonReleased(n, Qt::LeftButton, QCursor::pos()); });
            m_cmd[n] = cmd;

            auto *frame = new QFrame(group);
            frame->setObjectName(QStringLiteral("Frame%1").arg(n));
            auto *frameLayout = new QHBoxLayout(frame);
            frameLayout->setContentsMargins(0, 0, 0, 0);
            frameLayout->setSpacing(2);
            m_frame[n] = frame;

            auto *text = new EntryText(m_entries, n, frame);
            connect(text, &EntryText::mouseMoved, this, [this, n] { entryHovered(n); });
            m_text[n] = text;

            auto *copy = new QToolButton(frame);
            copy->setObjectName(QStringLiteral("CmdCopy%1").arg(n));
            copy->setIcon(copyIcon);
            copy->setToolTip(QStringLiteral("Copy Entry to Clipboard"));
            copy->setAccessibleName(QStringLiteral("Copy entry %1").arg(n));
            copy->setFocusPolicy(Qt::StrongFocus);
            copy->setAutoRaise(false);
            connect(copy, &QToolButton::clicked, this, [this, n] { emit copyRequested(n); });
            m_cmdCopy[n] = copy;

            frameLayout->addWidget(text, 1);
            frameLayout->addWidget(copy);
            grid->addWidget(cmd, row, 0);
            grid->addWidget(frame, row, 1);
        }
        m_tabs->addTab(page, tabIcon, QString::number(tab));
    }
    setCentralWidget(m_tabs);
}

void MainWindow::buildMenus() {
    MainActions &a = m_actions;
    QMenuBar *bar = menuBar();

    m_menus.file = newMenu(bar, QStringLiteral("FileMnu"), QStringLiteral("&File"));
    QMenu *file = m_menus.file;
    a.loadSet = newItem(file, QStringLiteral("LoadMnu"), QStringLiteral("&Load Set"), "Ctrl+L");
    a.saveSet = newItem(file, QStringLiteral("SaveSetMnu"), QStringLiteral("&Save Set"), "Ctrl+S");
    a.deleteSet =
        newItem(file, QStringLiteral("DeleteMnu"), QStringLiteral("&Delete Set"), "Ctrl+D");
    file->addSeparator();
    a.exit = newItem(file, QStringLiteral("ExitMnu"), QStringLiteral("E&xit"));
    bar->addMenu(file);

    m_menus.options = newMenu(bar, QStringLiteral("OptionsMnu"), QStringLiteral("&Options"));
    QMenu *options = m_menus.options;
    a.hideInTray = newItem(options, QStringLiteral("MinimizeMnu"), QStringLiteral("&Hide in Tray"));
    options->addSeparator();
    a.onTop = newItem(options, QStringLiteral("OnTopMnu"), QStringLiteral("Always on &Top"));
    a.mouseOver =
        newItem(options, QStringLiteral("ActivateMnu"), QStringLiteral("Active on &Mouseover"));
    options->addSeparator();
    a.updateStartup =
        newItem(options, QStringLiteral("UpdateMnu"), QStringLiteral("&Update Startup Entries"));
    a.autoSave =
        newItem(options, QStringLiteral("AutoSaveMnu"), QStringLiteral("Auto-Save on &Exit"));
    a.startAtLogin =
        newItem(options, QStringLiteral("LoginMnu"), QStringLiteral("Start at &Login"));
    a.startAtLogin->setCheckable(true);
    connect(a.startAtLogin, &QAction::triggered, this, &MainWindow::toggleStartAtLogin);
    options->addSeparator();
    a.clearAll = newItem(options, QStringLiteral("ClearMnu"), QStringLiteral("&Clear All"));
    m_menus.clearTab = newMenu(options, QStringLiteral("mnuClear"), QStringLiteral("Clear Tab"));
    const char *const tabItems[tabCount] = {"mnuOne",  "mnuTwo",  "mnuThree",
                                            "mnuFour", "mnuFive", "mnuSix"};
    for (int t = 1; t <= tabCount; ++t)
        a.clearTab[t] =
            newItem(m_menus.clearTab, QLatin1String(tabItems[t - 1]), QStringLiteral("&%1").arg(t));
    options->addMenu(m_menus.clearTab);
    a.restoreStartup =
        newItem(options, QStringLiteral("RestoreMnu"), QStringLiteral("&Restore Startup Entries"));
    bar->addMenu(options);

    connect(a.exit, &QAction::triggered, this, &MainWindow::exitProgram);
    connect(a.hideInTray, &QAction::triggered, this, &MainWindow::hideInTray);
    connect(a.updateStartup, &QAction::triggered, this, &MainWindow::updateStartupEntries);
    connect(a.restoreStartup, &QAction::triggered, this, &MainWindow::restoreStartupEntries);

    // The check marks are the one record of the options in the window. A checkable item flips
    // its mark before it reports the trigger; undo that so the handlers, also called directly,
    // decide alone.
    const std::pair<QAction *, void (MainWindow::*)()> toggles[] = {
        {a.onTop, &MainWindow::toggleOnTop},
        {a.mouseOver, &MainWindow::toggleMouseOver},
        {a.autoSave, &MainWindow::toggleAutoSave}};
    for (const auto &[item, handler] : toggles) {
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, item, handler](bool checked) {
            item->setChecked(!checked);
            (this->*handler)();
        });
    }

    m_menus.help = newMenu(bar, QStringLiteral("MainHelpMnu"), QStringLiteral("&Help"));
    a.helpContents = newItem(m_menus.help, QStringLiteral("HelpMnu"), QStringLiteral("&Contents"));
    m_menus.help->addSeparator();
    a.about = newItem(m_menus.help, QStringLiteral("AboutMnu"), QStringLiteral("&About Snapvale"));
    bar->addMenu(m_menus.help);
}

void MainWindow::buildPopupMenus() {
    MainActions &a = m_actions;
    // Opened only as popup menus, never from the menu bar.
    QMenu *lists = m_menus.entryList =
        newMenu(this, QStringLiteral("mnuLists"), QStringLiteral("Popup2"));
    m_menus.tabs13 =
        newMenu(lists, QStringLiteral("mnuTabs13"), QStringLiteral("List &1  (Tabs 1 - 3)"));
    m_menus.tabs46 =
        newMenu(lists, QStringLiteral("mnuTabs46"), QStringLiteral("List &2  (Tabs 4 - 6)"));
    for (int n = 1; n <= EntryStore::Count; ++n) {
        a.trayEntry[n] = newItem(n <= 15 ? m_menus.tabs13 : m_menus.tabs46,
                                 QStringLiteral("mnuT") + twoDigits(n), QString());
        // The item copies the entry, as its copy button does.
        connect(a.trayEntry[n], &QAction::triggered, this, [this, n] { emit copyRequested(n); });
    }
    lists->addMenu(m_menus.tabs13);
    lists->addMenu(m_menus.tabs46);
    lists->addSeparator();
    m_menus.clippings =
        newMenu(lists, QStringLiteral("mnuCommon"), QStringLiteral("&Frequently Used"));
    a.editClippings =
        newItem(m_menus.clippings, QStringLiteral("mnuConfigure"), QStringLiteral("&Edit List"));
    m_menus.clippings->addSeparator();
    for (int k = 1; k <= ClippingCount; ++k) {
        a.clipping[k] = newItem(m_menus.clippings, QStringLiteral("mnu") + twoDigits(k), QString());
        setLiteralCaption(a.clipping[k], QString());
    }
    lists->addMenu(m_menus.clippings);
    connect(lists, &QMenu::aboutToShow, this, &MainWindow::refreshTrayList);

    QMenu *tray = m_menus.trayCommands =
        newMenu(this, QStringLiteral("mnuPopup"), QStringLiteral("Popup"));
    a.showWindow = newItem(tray, QStringLiteral("mnuRestore"), QStringLiteral("Show &Snapvale"));
    tray->addSeparator();
    a.trayLoadSet = newItem(tray, QStringLiteral("mnuLoad2"), QStringLiteral("&Load Set"));
    a.trayLoadSetAndShow =
        newItem(tray, QStringLiteral("mnuLoad"), QStringLiteral("Load Set / &Show Snapvale"));
    a.trayRestoreStartup =
        newItem(tray, QStringLiteral("RestoreMnu2"), QStringLiteral("&Restore Startup Entries"));
    tray->addSeparator();
    a.saveClipboard =
        newItem(tray, QStringLiteral("mnuClipboard2"), QStringLiteral("Save Clipboard &As..."));
    tray->addSeparator();
    a.trayExit = newItem(tray, QStringLiteral("mnuExit"), QStringLiteral("E&xit"));
    connect(a.showWindow, &QAction::triggered, this, &MainWindow::showWindow);
    connect(a.trayRestoreStartup, &QAction::triggered, this, &MainWindow::restoreStartupEntries);
    connect(a.trayExit, &QAction::triggered, this, &MainWindow::exitProgram);

    QMenu *entry = m_menus.entry =
        newMenu(this, QStringLiteral("mnuPopup1"), QStringLiteral("Popup1"));
    a.paste = newItem(entry, QStringLiteral("mnuPaste1"), QStringLiteral("&Paste From Clipboard"));
    a.copy = newItem(entry, QStringLiteral("mnuCopy1"), QStringLiteral("&Copy To Clipboard"));
    entry->addSeparator();
    a.loadEntry = newItem(entry, QStringLiteral("mnuLoad1"), QStringLiteral("&Load Entry"));
    a.saveEntry =
        newItem(entry, QStringLiteral("mnuSaveEntry"), QStringLiteral("&Save Entry As..."));
    entry->addSeparator();
    a.nameEntry = newItem(entry, QStringLiteral("mnuNameEntry"), QStringLiteral("&Name Entry"));
    a.editEntry = newItem(entry, QStringLiteral("mnuEdit"), QStringLiteral("&View/Edit Entry"));
    a.clearEntry = newItem(entry, QStringLiteral("mnuClear1"), QStringLiteral("Clear &Entry"));
    a.restoreEntry =
        newItem(entry, QStringLiteral("mnuRestore1"), QStringLiteral("&Restore Startup Entry"));
    entry->addSeparator();
    a.openAsUrl = newItem(entry, QStringLiteral("mnuConnect"), QStringLiteral("Connect to &URL"));
    connect(a.restoreEntry, &QAction::triggered, this, &MainWindow::restoreStartupEntry);

    connect(m_trayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    trayLeftClick();
                else if (reason == QSystemTrayIcon::Context)
                    trayRightClick();
            });
}

bool MainWindow::trayMenusAllowed() const {
    // The tray menus are the way back to a hidden window; while it shows, or while the frequent
    // clippings are being edited, they rest.
    if (isVisible())
        return false;
    return !(m_trayGate && m_trayGate());
}

void MainWindow::trayLeftClick() {
    // A minimised window, with no task bar to bring it back, comes back from here.
    if (isVisible() && isMinimized()) {
        showWindow();
        return;
    }
    if (trayMenusAllowed())
        m_desktop.popupMenu(m_menus.entryList, nullptr, QCursor::pos());
}

void MainWindow::trayRightClick() {
    if (trayMenusAllowed())
        m_desktop.popupMenu(m_menus.trayCommands, m_actions.showWindow, QCursor::pos());
}

void MainWindow::refreshTrayList() {
    for (int n = 1; n <= EntryStore::Count; ++n) {
        const QString caption = Text::startOf(m_entries.start(n), trayCaptionLength);
        QAction *item = m_actions.trayEntry[n];
        // Keys for the keyboard: 1 to 9, 0 for 10, then a to t.
        const QChar key = n < 10 ? QChar(u'0' + n) : n == 10 ? QChar(u'0') : QChar(u'a' + (n - 11));
        setLiteralCaption(item, caption, key);
        // The first item of each list always shows, so that neither list is ever empty.
        item->setVisible(n == 1 || n == 16 || !caption.isEmpty());
    }
    for (int k = 1; k <= ClippingCount; ++k)
        m_actions.clipping[k]->setVisible(!clipping(k).isEmpty());
}

void MainWindow::addExitGuard(std::function<bool(CloseReason)> guard) {
    m_exitGuards.push_back(std::move(guard));
}

void MainWindow::setTrayGate(std::function<bool()> gate) {
    m_trayGate = std::move(gate);
}

QString MainWindow::clipping(int k) const {
    return literalCaption(m_actions.clipping[k]);
}

void MainWindow::setClipping(int k, const QString &text) {
    setLiteralCaption(m_actions.clipping[k], text);
}

void MainWindow::requestCopy(int n) {
    if (EntryStore::isValid(n))
        emit copyRequested(n);
}

void MainWindow::requestPaste(int n) {
    if (EntryStore::isValid(n))
        emit numberedButtonReleased(n, Qt::LeftButton, QCursor::pos());
}

void MainWindow::setCurrentEntry(int n) {
    m_currentEntry = EntryStore::isValid(n) ? n : 0;
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event) {
    auto *button = qobject_cast<QPushButton *>(watched);
    const int n = int(std::find(m_cmd.begin() + 1, m_cmd.end(), button) - m_cmd.begin());
    if (!button || !EntryStore::isValid(n))
        return QMainWindow::eventFilter(watched, event);

    switch (event->type()) {
    case QEvent::MouseButtonRelease: {
        // The left button arrives as clicked(); other buttons are reported on release.
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton) {
            emit numberedButtonReleased(n, mouse->button(), mouse->globalPosition().toPoint());
            return mouse->button() == Qt::RightButton;
        }
        break;
    }
    case QEvent::ContextMenu: {
        // The context-menu key and Shift+F10 open the entry menu at the button.
        auto *context = static_cast<QContextMenuEvent *>(event);
        if (context->reason() != QContextMenuEvent::Mouse)
            emit numberedButtonReleased(n, Qt::RightButton,
                                        button->mapToGlobal(button->rect().center()));
        return true;
    }
    case QEvent::KeyPress: {
        // Space clicks a push button by itself; Enter does so only in dialogs. The context-menu
        // key and Shift+F10 open the entry menu at the button.
        auto *keyEvent = static_cast<QKeyEvent *>(event);
        const int key = keyEvent->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit numberedButtonReleased(n, Qt::LeftButton,
                                        button->mapToGlobal(button->rect().center()));
            return true;
        }
        if (key == Qt::Key_Menu ||
            (key == Qt::Key_F10 && keyEvent->modifiers() == Qt::ShiftModifier)) {
            emit numberedButtonReleased(n, Qt::RightButton,
                                        button->mapToGlobal(button->rect().center()));
            return true;
        }
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::loadAtStart() {
    setWindowIcon(m_trayIcon->icon());

    m_startup.load(m_store, m_entries);
    int keptEntries = 0;
    for (int n = 1; n <= EntryStore::Count; ++n)
        keptEntries += m_entries.content(n).bytes > 0 ? 1 : 0;

    applyOptions(loadOptions(m_store), true);
    m_actions.startAtLogin->setChecked(Autostart::isOn());

    recoverAfterUncleanEnd();
    // A signal or a log-out may end the program while the notice above is open.
    if (m_unloaded)
        return;

    m_trayIcon->setVisible(true);

    const QStringList clippings = loadClippings(m_store);
    for (int k = 1; k <= ClippingCount; ++k)
        setClipping(k, clippings.at(k - 1));

    if (m_role == StoreRole::Probe)
        return;
    if (m_role == StoreRole::Guest)
        m_desktop.message(this, QStringLiteral("Another Snapvale is running with the settings in "
                                               "%1\r\nThis one keeps no recovery copy and saves "
                                               "nothing when it ends; \"Update Startup Entries\" "
                                               "and \"Save Set\" still save.")
                                    .arg(m_store.path()));
    else if (!m_store.movedAsidePath().isEmpty())
        m_desktop.message(this, QStringLiteral("The settings file could not be read whole. It was "
                                               "moved aside, and what could still be read from it "
                                               "was kept: %1 of the 30 entries.\r\nThe old file "
                                               "is now:\r\n")
                                        .arg(keptEntries) +
                                    m_store.movedAsidePath());
    else if (!m_store.unwritableReason().isEmpty())
        m_desktop.message(this, QStringLiteral("Snapvale cannot keep changes in %1\r\n%2\r\nWhat "
                                               "you change now is lost when Snapvale ends.")
                                    .arg(m_store.path(), m_store.unwritableReason()));
}

void MainWindow::applyOptions(const Options &options, bool always) {
    // Changing the stacking hides and shows the window again: only when it changes.
    if (always || m_actions.onTop->isChecked() != options.onTop)
        setStackOrder(this, options.onTop);
    m_actions.onTop->setChecked(options.onTop);
    m_actions.mouseOver->setChecked(options.mouseOver);
    m_actions.autoSave->setChecked(options.autoSave);
}

void MainWindow::setStoreRole(StoreRole role) {
    m_role = role;
    if (role != StoreRole::Owner)
        m_recoveryWriter.reset();
}

void MainWindow::replaceDamagedStore() {
    if (m_unloaded || m_role != StoreRole::Owner || !m_store.damageSeen())
        return;
    // Texts still read from the damaged file are taken out of it while it can still be read.
    m_entries.takeAllIntoMemory();
    if (m_recoveryWriter)
        m_recoveryWriter->closeStore();
    if (!m_store.replaceDamaged())
        return;
    // What the rows read back from the old file had as a recovery copy is older than what is
    // on screen.
    removeEntries(m_store, EntrySection::recovery());
    // The fresh store takes what the program holds: nothing more is lost than the damage took.
    m_startup = SectionMirror(EntrySection::startup());
    bool saved = saveStartupEntries();
    m_recovery.assume(m_startup);
    // Options and clippings are written the moment they change: what the old file still held
    // of them is their latest state.
    applyOptions(loadOptions(m_store), false);
    const QStringList clippings = loadClippings(m_store);
    for (int k = 1; k <= ClippingCount; ++k)
        setClipping(k, clippings.at(k - 1));
    if (!saved)
        showStoreFailure();
    m_desktop.message(this, QStringLiteral("The settings file is damaged. It was moved aside, and "
                                           "the entries as Snapvale holds them now, with all else "
                                           "that could still be read from it, were saved in a "
                                           "fresh one.\r\nThe old file is now:\r\n") +
                                m_store.movedAsidePath());
}

bool MainWindow::saveStartupEntries() {
    return m_startup.saveChanges(m_store, m_entries);
}

MainWindow::ClosingSave MainWindow::saveBeforeClosing(CloseReason mode) {
    // Saved on every request, also one that only hides the window.
    if (!m_actions.autoSave->isChecked())
        return ClosingSave::Saved;
    // The closing save is the owner's; and where the start said that nothing can be kept,
    // asking again at the end helps nobody.
    if (m_role != StoreRole::Owner || !m_store.unwritableReason().isEmpty())
        return ClosingSave::Failed;
    while (!saveStartupEntries()) {
        // At log-out or on a signal no window can be shown; stderr has the reason.
        if (mode == CloseReason::SessionEnd)
            return ClosingSave::Failed;
        const QStringList answers = {QStringLiteral("&Try Again"),
                                     mode == CloseReason::CloseBox ? QStringLiteral("&Hide Anyway")
                                                                   : QStringLiteral("&Exit Anyway"),
                                     QStringLiteral("&Cancel")};
        const int answer = m_desktop.ask(
            this, writeFailureText(m_store.path(), m_store.lastError()), answers, 0, 2);
        if (answer == 1)
            return ClosingSave::Failed;
        if (answer == 2)
            return ClosingSave::Cancelled;
    }
    return ClosingSave::Saved;
}

void MainWindow::closeEvent(QCloseEvent *event) {
    if (m_unloading) {
        event->accept();
        return;
    }
    event->ignore();
    if (saveBeforeClosing(CloseReason::CloseBox) != ClosingSave::Cancelled)
        hideInTray();
}

void MainWindow::unload(CloseReason mode) {
    if (m_unloaded)
        return;
    for (const auto &guard : m_exitGuards) {
        if (!guard(mode) && mode != CloseReason::SessionEnd)
            return;
    }
    // At log-out or on a signal no window can be shown: failures go to stderr alone.
    m_silentFailures = mode == CloseReason::SessionEnd;
    // Windows that keep the program alive close first; their own closing may still write.
    emit exiting();
    const ClosingSave saved = saveBeforeClosing(mode);
    if (saved == ClosingSave::Cancelled)
        return;
    m_unloaded = true;
    // A clean end drops the recovery copy, but only once the save it stands in for is made.
    if (saved == ClosingSave::Saved)
        dropRecoveryCopy();
    m_recoveryTimer.stop();
    m_trayIcon->hide();
    m_unloading = true;
    close();
    m_unloading = false;
    emit unloaded();
}

bool MainWindow::updateStartupEntries() {
    if (saveStartupEntries()) {
        limitStoreLog();
        return true;
    }
    showStoreFailure();
    return false;
}

void MainWindow::showStoreFailure() {
    if (!m_silentFailures)
        showWriteFailure(m_desktop, this, m_store.path(), m_store.lastError());
}

void MainWindow::restoreStartupEntries() {
    m_startup.load(m_store, m_entries);
}

void MainWindow::restoreStartupEntry() {
    if (m_currentEntry)
        m_startup.loadEntry(m_store, m_entries, m_currentEntry);
}

void MainWindow::exitProgram() {
    unload(CloseReason::Exit);
}

bool MainWindow::alwaysOnTop() const {
    return m_actions.onTop->isChecked();
}

void MainWindow::setStackOrder(QWidget *window, bool topmost) {
    m_desktop.setStackOrder(window, topmost);
}

void MainWindow::applyStackOrder(QWidget *window) {
    setStackOrder(window, alwaysOnTop());
}

void MainWindow::storeOption(Option option, bool on) {
    // Stored at once: a later crash or kill keeps the choice.
    if (!saveOption(m_store, option, on))
        showStoreFailure();
}

void MainWindow::toggleOnTop() {
    const bool on = !m_actions.onTop->isChecked();
    setStackOrder(this, on);
    m_actions.onTop->setChecked(on);
    storeOption(Option::OnTop, on);
}

void MainWindow::toggleMouseOver() {
    const bool on = !m_actions.mouseOver->isChecked();
    m_actions.mouseOver->setChecked(on);
    storeOption(Option::MouseOver, on);
}

void MainWindow::toggleAutoSave() {
    const bool on = !m_actions.autoSave->isChecked();
    m_actions.autoSave->setChecked(on);
    storeOption(Option::AutoSave, on);
    if (on)
        scheduleRecoveryCopy();
    else
        dropRecoveryCopy();
}

void MainWindow::toggleStartAtLogin() {
    QString error;
    if (!Autostart::set(!Autostart::isOn(), &error))
        showWriteFailure(m_desktop, this, Autostart::entryPath(), error);
    m_actions.startAtLogin->setChecked(Autostart::isOn());
}

void MainWindow::scheduleRecoveryCopy() {
    // Only auto-save promises to keep what is on screen; without it the startup entries are the
    // user's fixed choice and nothing else is kept.
    if (!m_unloaded && m_role == StoreRole::Owner && m_actions.autoSave->isChecked() &&
        !m_recoveryTimer.isActive())
        m_recoveryTimer.start();
}

void MainWindow::writeRecoveryCopy() {
    // Only what changed since the last copy is written. Nobody waits for it: a failure goes to
    // stderr, and the next change tries again.
    if (!m_actions.autoSave->isChecked())
        return;
    if (!m_recoveryWriter) {
        m_recovery.saveChanges(m_store, m_entries);
        return;
    }
    const QList<int> changed = m_recovery.changedEntries(m_entries);
    if (changed.isEmpty())
        return;
    QList<BackgroundWriter::Item> items;
    for (int n : changed) {
        items.append({n, m_entries.content(n), m_entries.name(n)});
        m_recovery.remember(m_entries, n);
    }
    m_recoveryWriter->write(EntrySection::recovery(), items, [this, changed](bool written) {
        if (!written) {
            for (int n : changed)
                m_recovery.forget(n);
            scheduleRecoveryCopy();
        }
        limitStoreLog();
        emit recoveryCopyEnded(written);
    });
}

void MainWindow::limitStoreLog() {
    // While texts are read from the store as it was when they were loaded, its write-ahead log
    // keeps all that was written since. Past this size the texts come into memory instead, and
    // the log is folded back into the store.
    constexpr qint64 logLimit = qint64(256) * 1024 * 1024;
    if (m_store.logBytes() < logLimit)
        return;
    m_entries.takeAllIntoMemory();
    m_startup.releaseStoreViews(m_entries);
    m_recovery.releaseStoreViews(m_entries);
    m_entries.releaseStoreViews();
}

void MainWindow::waitForRecoveryCopy() {
    if (m_recoveryWriter)
        m_recoveryWriter->waitUntilIdle();
}

void MainWindow::dropRecoveryCopy() {
    m_recoveryTimer.stop();
    if (m_role != StoreRole::Owner)
        return;
    waitForRecoveryCopy();
    // Once the startup entries hold what the copy holds, its texts need no zeroing on the way out.
    removeEntries(m_store, EntrySection::recovery(), m_recovery.holdsSameAs(m_startup));
    // Without its own keys the copy stands for the startup entries.
    m_recovery.assume(m_startup);
}

void MainWindow::recoverAfterUncleanEnd() {
    // A recovery copy left behind means the last run ended without closing: a crash, a kill or a
    // power cut. Its entries are newer than the startup entries. Another copy's live one is
    // not ours to read.
    if (m_role != StoreRole::Owner || !hasEntries(m_store, EntrySection::recovery())) {
        m_recovery.assume(m_startup);
        return;
    }
    if (!m_actions.autoSave->isChecked()) {
        dropRecoveryCopy();
        return;
    }
    // The copy holds the entries that had changed; the others are the startup entries.
    m_recovery.loadPresent(m_store, m_entries, m_startup);
    m_recoveryTimer.stop();
    m_desktop.message(this, QStringLiteral("Snapvale did not end properly last time. Your entries "
                                           "were recovered as they were then.\r\n\"Restore "
                                           "Startup Entries\" brings back the startup entries."));
}

void MainWindow::hideInTray() {
    // Without a notification area a hidden window could never be reached again.
    if (m_desktop.trayAvailable())
        hide();
    else
        showMinimized();
}

void MainWindow::showWindow() {
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void MainWindow::entryHovered(int n) {
    if (!m_actions.mouseOver->isChecked())
        return;
    // The copy button five entries on lies on the next tab: nothing visible here takes the
    // focus, but the window becomes active.
    const int target = n + EntryStore::PerTab > EntryStore::Count
                           ? n + EntryStore::PerTab - EntryStore::Count
                           : n + EntryStore::PerTab;
    m_cmdCopy[target]->setFocus(Qt::MouseFocusReason);
    activateWindow();
}
