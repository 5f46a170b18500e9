#include "main/mainwindow.h"

#include "core/settingsstore.h"
#include "core/text.h"
#include "main/autostart.h"
#include "main/entrytext.h"
#include "main/icons.h"
#include "main/menucaption.h"
#include "platform/desktop.h"

#include <QAction>
#include <QApplication>
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

namespace {

// An entry's caption in the tray entry list.
constexpr qsizetype trayCaptionLength = 60;

constexpr int tabCount = EntryStore::Count / EntryStore::PerTab;

// A numbered button is described by its entry's name; an empty description would fall back to
// the mouse hint of its tooltip.
QString buttonDescription(const QString &name) {
    return name.isEmpty() ? MainWindow::tr("No name") : name;
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

MainWindow::MainWindow(EntrySession &session, Desktop &desktop, QWidget *parent)
    : QMainWindow(parent)
    , m_session(session)
    , m_desktop(desktop) {
    setObjectName(QStringLiteral("FrmSnapvale"));
    setWindowTitle(QStringLiteral("Snapvale"));

    m_trayIcon = new QSystemTrayIcon(Icons::get("snapvale"), this);
    m_trayIcon->setObjectName(QStringLiteral("TrayIcon"));
    m_trayIcon->setToolTip(tr("Left-click for list / Right-click for menu"));

    buildEntries();
    buildMenus();
    buildPopupMenus();

    const EntryStore &entries = m_session.entries();
    connect(&entries, &EntryStore::entryChanged, this, [this, &entries](int n) {
        entryField(n)->refresh();
        pasteButton(n)->setAccessibleDescription(buttonDescription(entries.name(n)));
    });
    connect(&m_session, &EntrySession::optionsChanged, this, [this] { showOptions(false); });
    // What other programs copy goes into the history.
    m_desktop.watchClipboard([this] { return m_session.keepsHistory(); },
                             [this](const Desktop::ClipboardText &copied) {
                                 m_session.copiedElsewhere(
                                     copied.utf8.isNull() ? copied.text.toUtf8() : copied.utf8,
                                     copied.secret, copied.digest);
                             });
    // A copy the store could not keep (a full disk) is said once a run, in passing: a copy is
    // made in another program, where a message box would stop the user's work.
    connect(&m_session.history(), &ClipboardHistory::writeFailed, this,
            [this, told = false](const QString &why) mutable {
                qWarning("the clipboard history could not keep a copy: %s", qUtf8Printable(why));
                if (told || m_silentFailures)
                    return;
                told = true;
                m_desktop.notice(tr("The clipboard history could not keep a copy: %1").arg(why));
            });
    connect(&m_session, &EntrySession::clippingsChanged, this, &MainWindow::showClippings);
    connect(&m_session, &EntrySession::storeReplaced, this, &MainWindow::showStoreReplaced);
    // Told once for all the entries found unreadable by one command, after it.
    connect(&m_session.entries(), &EntryStore::textUnreadable, this, [this](int n) {
        if (m_unreadable.isEmpty())
            QTimer::singleShot(0, this, [this] {
                const QString message =
                    EntryStore::unreadableMessage(std::exchange(m_unreadable, {}));
                if (m_silentFailures)
                    qWarning("%s", qUtf8Printable(message));
                else
                    m_desktop.message(this, message);
            });
        m_unreadable << n;
    });

    // The keyboard starts on the first numbered button: Space pastes into entry 1.
    pasteButton(1)->setFocus();

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
        auto *group = new QGroupBox(tr("Click Text to View"), page);
        group->setObjectName(QStringLiteral("Frame3%1").arg(tab));
        pageLayout->addWidget(group);
        auto *grid = new QGridLayout(group);

        for (int row = 0; row < EntryStore::PerTab; ++row) {
            const int n = EntryStore::firstOfTab(tab) + row;

            auto *cmd = new QPushButton(pasteIcon, QString::number(n), group);
            cmd->setObjectName(QStringLiteral("Cmd%1").arg(n));
            cmd->setToolTip(tr("Left-click to paste / Right-click for menu"));
            // Named for what it does; the entry's name says which clipping it holds.
            cmd->setAccessibleName(tr("Paste into entry %1").arg(n));
            cmd->setAccessibleDescription(buttonDescription(m_session.entries().name(n)));
            cmd->setAutoDefault(false);
            cmd->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
            cmd->installEventFilter(this);
            connect(cmd, &QPushButton::clicked, this,
                    [this, n] { emit numberedButtonReleased(n, Qt::LeftButton, QCursor::pos()); });
            m_cmd[EntryStore::index(n)] = cmd;

            auto *frame = new QFrame(group);
            frame->setObjectName(QStringLiteral("Frame%1").arg(n));
            auto *frameLayout = new QHBoxLayout(frame);
            frameLayout->setContentsMargins(0, 0, 0, 0);
            frameLayout->setSpacing(2);
            m_frame[EntryStore::index(n)] = frame;

            auto *text = new EntryText(m_session.entries(), n, frame);
            connect(text, &EntryText::mouseMoved, this, [this, n] { entryHovered(n); });
            m_text[EntryStore::index(n)] = text;

            auto *copy = new QToolButton(frame);
            copy->setObjectName(QStringLiteral("CmdCopy%1").arg(n));
            copy->setIcon(copyIcon);
            copy->setToolTip(tr("Copy Entry to Clipboard"));
            copy->setAccessibleName(tr("Copy entry %1").arg(n));
            copy->setFocusPolicy(Qt::StrongFocus);
            copy->setAutoRaise(false);
            connect(copy, &QToolButton::clicked, this, [this, n] { emit copyRequested(n); });
            m_cmdCopy[EntryStore::index(n)] = copy;

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

    m_menus.file = newMenu(bar, QStringLiteral("FileMnu"), tr("&File"));
    QMenu *file = m_menus.file;
    a.loadSet = newItem(file, QStringLiteral("LoadMnu"), tr("&Load Set"), "Ctrl+L");
    a.saveSet = newItem(file, QStringLiteral("SaveSetMnu"), tr("&Save Set"), "Ctrl+S");
    a.deleteSet = newItem(file, QStringLiteral("DeleteMnu"), tr("&Delete Set"), "Ctrl+D");
    file->addSeparator();
    a.historyWindow = newItem(file, QStringLiteral("mnuHistory"), tr("&History..."), "Ctrl+H");
    file->addSeparator();
    a.exit = newItem(file, QStringLiteral("ExitMnu"), tr("E&xit"));
    bar->addMenu(file);

    m_menus.options = newMenu(bar, QStringLiteral("OptionsMnu"), tr("&Options"));
    QMenu *options = m_menus.options;
    a.hideInTray = newItem(options, QStringLiteral("MinimizeMnu"), tr("&Hide in Tray"));
    options->addSeparator();
    a.onTop = newItem(options, QStringLiteral("OnTopMnu"), tr("Always on &Top"));
    a.mouseOver = newItem(options, QStringLiteral("ActivateMnu"), tr("Active on &Mouseover"));
    options->addSeparator();
    a.updateStartup = newItem(options, QStringLiteral("UpdateMnu"), tr("&Update Startup Entries"));
    a.autoSave = newItem(options, QStringLiteral("AutoSaveMnu"), tr("Auto-Save on &Exit"));
    a.startAtLogin = newItem(options, QStringLiteral("LoginMnu"), tr("Start at &Login"));
    a.startAtLogin->setCheckable(true);
    connect(a.startAtLogin, &QAction::triggered, this, &MainWindow::toggleStartAtLogin);
    options->addSeparator();
    a.pasteAfterPicking = newItem(options, QStringLiteral("PasteMnu"), tr("&Paste After Picking"));
    a.restoreClipboard =
        newItem(options, QStringLiteral("RestoreClipMnu"), tr("Restore Clip&board After Pasting"));
    a.secretClear =
        newItem(options, QStringLiteral("SecretClearMnu"), tr("Clear &Secrets After..."));
    connect(a.secretClear, &QAction::triggered, this, &MainWindow::chooseSecretClearTime);
    a.history = newItem(options, QStringLiteral("HistoryMnu"), tr("Keep Clipboard &History"));
    a.historySize = newItem(options, QStringLiteral("HistorySizeMnu"), tr("History Si&ze..."));
    connect(a.historySize, &QAction::triggered, this, &MainWindow::chooseHistorySize);
    a.keyboardShortcut =
        newItem(options, QStringLiteral("ShortcutMnu"), tr("&Keyboard Shortcut..."));
    options->addSeparator();
    a.clearAll = newItem(options, QStringLiteral("ClearMnu"), tr("&Clear All"));
    m_menus.clearTab = newMenu(options, QStringLiteral("mnuClear"), tr("Clear Tab"));
    const char *const tabItems[tabCount] = {"mnuOne",  "mnuTwo",  "mnuThree",
                                            "mnuFour", "mnuFive", "mnuSix"};
    for (int t = 1; t <= tabCount; ++t)
        a.clearTab[t - 1] =
            newItem(m_menus.clearTab, QLatin1String(tabItems[t - 1]), QStringLiteral("&%1").arg(t));
    options->addMenu(m_menus.clearTab);
    a.restoreStartup =
        newItem(options, QStringLiteral("RestoreMnu"), tr("&Restore Startup Entries"));
    bar->addMenu(options);

    connect(a.exit, &QAction::triggered, this, &MainWindow::exitProgram);
    connect(a.hideInTray, &QAction::triggered, this, &MainWindow::hideInTray);
    connect(a.updateStartup, &QAction::triggered, this, &MainWindow::updateStartupEntries);
    connect(a.restoreStartup, &QAction::triggered, this, &MainWindow::restoreStartupEntries);

    // The check marks show the session's options. A checkable item flips its mark before it
    // reports the trigger; undo that so the handlers, also called directly, decide alone.
    const std::pair<QAction *, void (MainWindow::*)()> toggles[] = {
        {a.onTop, &MainWindow::toggleOnTop},
        {a.mouseOver, &MainWindow::toggleMouseOver},
        {a.autoSave, &MainWindow::toggleAutoSave},
        {a.pasteAfterPicking, &MainWindow::togglePasteAfterPicking},
        {a.restoreClipboard, &MainWindow::toggleRestoreClipboard},
        {a.history, &MainWindow::toggleHistory}};
    for (const auto &[item, handler] : toggles) {
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, item, handler](bool checked) {
            item->setChecked(!checked);
            (this->*handler)();
        });
    }

    m_menus.help = newMenu(bar, QStringLiteral("MainHelpMnu"), tr("&Help"));
    a.helpContents = newItem(m_menus.help, QStringLiteral("HelpMnu"), tr("&Contents"));
    m_menus.help->addSeparator();
    a.about = newItem(m_menus.help, QStringLiteral("AboutMnu"), tr("&About Snapvale"));
    bar->addMenu(m_menus.help);
}

void MainWindow::buildPopupMenus() {
    MainActions &a = m_actions;
    // Opened only as popup menus, never from the menu bar.
    QMenu *lists = m_menus.entryList =
        newMenu(this, QStringLiteral("mnuLists"), QStringLiteral("Popup2"));
    m_menus.tabs13 = newMenu(lists, QStringLiteral("mnuTabs13"), tr("List &1  (Tabs 1 - 3)"));
    m_menus.tabs46 = newMenu(lists, QStringLiteral("mnuTabs46"), tr("List &2  (Tabs 4 - 6)"));
    for (int n = 1; n <= EntryStore::Count; ++n) {
        QAction *item = a.trayEntry[EntryStore::index(n)] =
            newItem(n <= 15 ? m_menus.tabs13 : m_menus.tabs46,
                    QStringLiteral("mnuT") + twoDigits(n), QString());
        // The item copies the entry, as its copy button does.
        connect(item, &QAction::triggered, this, [this, n] { emit copyRequested(n); });
    }
    lists->addMenu(m_menus.tabs13);
    lists->addMenu(m_menus.tabs46);
    lists->addSeparator();
    m_menus.clippings = newMenu(lists, QStringLiteral("mnuCommon"), tr("&Frequently Used"));
    a.editClippings = newItem(m_menus.clippings, QStringLiteral("mnuConfigure"), tr("&Edit List"));
    m_menus.clippings->addSeparator();
    for (int k = 1; k <= ClippingCount; ++k) {
        a.clipping[k - 1] =
            newItem(m_menus.clippings, QStringLiteral("mnu") + twoDigits(k), QString());
        setLiteralCaption(a.clipping[k - 1], QString());
    }
    lists->addMenu(m_menus.clippings);
    m_menus.recent = newMenu(lists, QStringLiteral("mnuRecent"), tr("&Recent"));
    for (int k = 1; k <= int(a.recent.size()); ++k) {
        QAction *item = a.recent[k - 1] =
            newItem(m_menus.recent, QStringLiteral("mnuRecent") + twoDigits(k), QString());
        connect(item, &QAction::triggered, this, [this, k] {
            if (const int now = m_session.history().find(m_recentKeys[k - 1]))
                copyHistoryItem(m_desktop, this, m_session, now);
        });
    }
    lists->addMenu(m_menus.recent);
    connect(lists, &QMenu::aboutToShow, this, &MainWindow::refreshTrayList);

    QMenu *tray = m_menus.trayCommands =
        newMenu(this, QStringLiteral("mnuPopup"), QStringLiteral("Popup"));
    a.showWindow = newItem(tray, QStringLiteral("mnuRestore"), tr("Show &Snapvale"));
    tray->addSeparator();
    a.trayLoadSet = newItem(tray, QStringLiteral("mnuLoad2"), tr("&Load Set"));
    a.trayLoadSetAndShow =
        newItem(tray, QStringLiteral("mnuLoad"), tr("Load Set / &Show Snapvale"));
    a.trayRestoreStartup =
        newItem(tray, QStringLiteral("RestoreMnu2"), tr("&Restore Startup Entries"));
    tray->addSeparator();
    a.saveClipboard = newItem(tray, QStringLiteral("mnuClipboard2"), tr("Save Clipboard &As..."));
    a.trayHistory = newItem(tray, QStringLiteral("mnuHistory2"), tr("&History..."));
    tray->addSeparator();
    a.trayExit = newItem(tray, QStringLiteral("mnuExit"), tr("E&xit"));
    connect(a.showWindow, &QAction::triggered, this, &MainWindow::showWindow);
    connect(a.trayRestoreStartup, &QAction::triggered, this, &MainWindow::restoreStartupEntries);
    connect(a.trayExit, &QAction::triggered, this, &MainWindow::exitProgram);

    QMenu *entry = m_menus.entry =
        newMenu(this, QStringLiteral("mnuPopup1"), QStringLiteral("Popup1"));
    a.paste = newItem(entry, QStringLiteral("mnuPaste1"), tr("&Paste From Clipboard"));
    a.copy = newItem(entry, QStringLiteral("mnuCopy1"), tr("&Copy To Clipboard"));
    entry->addSeparator();
    a.loadEntry = newItem(entry, QStringLiteral("mnuLoad1"), tr("&Load Entry"));
    a.saveEntry = newItem(entry, QStringLiteral("mnuSaveEntry"), tr("&Save Entry As..."));
    entry->addSeparator();
    a.nameEntry = newItem(entry, QStringLiteral("mnuNameEntry"), tr("&Name Entry"));
    a.editEntry = newItem(entry, QStringLiteral("mnuEdit"), tr("&View/Edit Entry"));
    a.clearEntry = newItem(entry, QStringLiteral("mnuClear1"), tr("Clear &Entry"));
    a.secret = newItem(entry, QStringLiteral("mnuSecret1"), tr("Secre&t Entry"));
    a.secret->setCheckable(true);
    // The mark shows what the entry is; choosing the item asks the session to change it.
    connect(entry, &QMenu::aboutToShow, this, [this] {
        if (m_currentEntry)
            m_actions.secret->setChecked(m_session.isSecret(m_currentEntry));
    });
    a.restoreEntry = newItem(entry, QStringLiteral("mnuRestore1"), tr("&Restore Startup Entry"));
    entry->addSeparator();
    a.openAsUrl = newItem(entry, QStringLiteral("mnuConnect"), tr("Connect to &URL"));
    connect(a.restoreEntry, &QAction::triggered, this, &MainWindow::restoreStartupEntry);

    connect(m_trayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    trayLeftClick();
                else if (reason == QSystemTrayIcon::Context)
                    trayRightClick();
            });
}

bool MainWindow::trayMenusAllowed() {
    // The tray menus are the way back to a hidden window; while it shows, or while the frequent
    // clippings are being edited, they rest.
    if (isVisible())
        return false;
    // A dialog open over the hidden window (the editor, a name, a question): the tray's commands
    // would act under it, so they wait for it, which is brought forward and named.
    if (QWidget *open = QApplication::activeModalWidget()) {
        open->raise();
        open->activateWindow();
        m_desktop.notice(tr("Snapvale waits for its open window: %1").arg(open->windowTitle()));
        return false;
    }
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
        const EntryStore &entries = m_session.entries();
        // A secret shows its name only.
        const QString caption = entries.isSecret(n)
                                    ? tr("%1 (secret)").arg(entries.name(n))
                                    : Text::startOf(entries.start(n), trayCaptionLength);
        QAction *item = m_actions.trayEntry[EntryStore::index(n)];
        // Keys for the keyboard: 1 to 9, 0 for 10, then a to t.
        const QChar key = n < 10 ? QChar(u'0' + n) : n == 10 ? QChar(u'0') : QChar(u'a' + (n - 11));
        setLiteralCaption(item, caption, key);
        // The first item of each list always shows, so that neither list is ever empty.
        item->setVisible(n == 1 || n == 16 || !caption.isEmpty());
    }
    for (int k = 1; k <= ClippingCount; ++k)
        m_actions.clipping[k - 1]->setVisible(!m_session.clipping(k).isEmpty());

    // The history is read here, at the first click, not at start.
    const bool keeps = m_session.keepsHistory();
    m_menus.recent->menuAction()->setVisible(keeps);
    const ClipboardHistory &history = m_session.history();
    const int count = keeps ? std::min(history.count(), int(m_actions.recent.size())) : 0;
    m_menus.recent->setEnabled(count > 0);
    for (int k = 1; k <= int(m_actions.recent.size()); ++k) {
        QAction *item = m_actions.recent[k - 1];
        m_recentKeys[k - 1] = k <= count ? history.key(k) : QString();
        setLiteralCaption(
            item, k <= count ? Text::startOf(history.start(k), trayCaptionLength) : QString(),
            QChar(k < 10 ? u'0' + k : u'0'));
        item->setVisible(k <= count);
    }
}

void MainWindow::addExitGuard(std::function<bool(CloseReason)> guard) {
    m_exitGuards.push_back(std::move(guard));
}

void MainWindow::setTrayGate(std::function<bool()> gate) {
    m_trayGate = std::move(gate);
}

void MainWindow::showClippings() {
    for (int k = 1; k <= ClippingCount; ++k)
        setLiteralCaption(m_actions.clipping[k - 1], m_session.clipping(k));
}

void MainWindow::requestCopy(int n) {
    if (EntryStore::isValid(n))
        emit copyRequested(n);
}

void MainWindow::requestStore(int n, const QString &text) {
    if (EntryStore::isValid(n))
        emit storeRequested(n, text);
}

void MainWindow::requestPaste(int n, const PasteDone &done) {
    if (EntryStore::isValid(n))
        emit pasteRequested(n, done);
}

void MainWindow::setCurrentEntry(int n) {
    m_currentEntry = EntryStore::isValid(n) ? n : 0;
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event) {
    auto *button = qobject_cast<QPushButton *>(watched);
    const int n = int(std::find(m_cmd.begin(), m_cmd.end(), button) - m_cmd.begin()) + 1;
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
    const QStringList notices = m_session.loadAtStart();
    showOptions(true);
    m_actions.startAtLogin->setChecked(Autostart::isOn());
    m_trayIcon->setVisible(true);
    for (const QString &notice : notices) {
        m_desktop.message(this, notice);
        // A signal or a log-out may end the program while a notice is open.
        if (m_unloaded)
            return;
    }
}

void MainWindow::showOptions(bool always) {
    const Options &options = m_session.options();
    // Changing the stacking hides and shows the window again: only when it changes.
    if (always || m_actions.onTop->isChecked() != options.onTop)
        setStackOrder(this, options.onTop);
    m_actions.onTop->setChecked(options.onTop);
    m_actions.mouseOver->setChecked(options.mouseOver);
    m_actions.autoSave->setChecked(options.autoSave);
    m_actions.pasteAfterPicking->setChecked(options.pasteAfterPicking);
    m_actions.restoreClipboard->setChecked(options.restoreClipboard);
    m_actions.history->setChecked(options.history);
}

void MainWindow::showStoreReplaced(bool saved) {
    if (!saved)
        showStoreFailure();
    m_desktop.message(this, tr("The settings file is damaged. It was moved aside, and the "
                               "entries as Snapvale holds them now, with all else that could "
                               "still be read from it, were saved in a fresh one.\r\nThe old "
                               "file is now:\r\n%1")
                                .arg(m_session.store().movedAsidePath()));
}

MainWindow::ClosingSave MainWindow::saveBeforeClosing(CloseReason mode) {
    // Saved on every request, also one that only hides the window.
    if (!m_session.savesAtEnd())
        return ClosingSave::Saved;
    if (!m_session.mayWriteAtEnd())
        return ClosingSave::Failed;
    // Hiding keeps the recovery copy: the session goes on.
    const auto save = [this, mode] {
        return mode == CloseReason::CloseBox ? m_session.saveStartupEntries()
                                             : m_session.saveStartupEntriesAtEnd();
    };
    while (!save()) {
        // At log-out or on a signal no window can be shown; stderr has the reason.
        if (mode == CloseReason::SessionEnd)
            return ClosingSave::Failed;
        const QStringList answers = {
            tr("&Try Again"),
            mode == CloseReason::CloseBox ? tr("&Hide Anyway") : tr("&Exit Anyway"), tr("&Cancel")};
        const int answer = m_desktop.ask(
            this, writeFailureText(m_session.store().path(), m_session.store().lastError()),
            answers, 0, 2);
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
    settleSecrets(mode);
    // Windows that keep the program alive close first; their own closing may still write.
    emit exiting();
    const ClosingSave saved = saveBeforeClosing(mode);
    if (saved == ClosingSave::Cancelled)
        return;
    m_unloaded = true;
    m_session.end(saved == ClosingSave::Saved);
    m_trayIcon->hide();
    m_unloading = true;
    close();
    m_unloading = false;
    emit unloaded();
}

void MainWindow::settleSecrets(CloseReason mode) {
    // A secret handed to the Secret Service and not yet kept would be lost, or its entry saved
    // half-made, by ending now: its answer is waited for a moment, then asked about. Given up,
    // the entry keeps what it held before.
    constexpr int waitMs = 3000;
    while (!m_session.waitForSecrets(waitMs)) {
        const QList<int> waiting = m_session.secretsWaiting();
        QStringList numbers;
        for (int n : waiting)
            numbers << QString::number(n);
        if (mode == CloseReason::SessionEnd || waiting.isEmpty() ||
            m_desktop.ask(this,
                          tr("The Secret Service has not yet answered for entry %1; it may be "
                             "asking you to unlock your keyring.\r\nExit anyway? The entry then "
                             "keeps what it held before.")
                              .arg(numbers.join(QStringLiteral(", "))),
                          {tr("&Wait"), tr("&Exit Anyway")}, 0, 1) == 1) {
            if (!waiting.isEmpty())
                qWarning("Snapvale ended before the Secret Service answered for entry %s",
                         qUtf8Printable(numbers.join(QStringLiteral(", "))));
            m_session.giveUpSecrets();
            return;
        }
    }
}

bool MainWindow::updateStartupEntries() {
    if (m_session.updateStartupEntries())
        return true;
    showStoreFailure();
    return false;
}

void MainWindow::showStoreFailure() {
    if (!m_silentFailures)
        showWriteFailure(m_desktop, this, m_session.store().path(), m_session.store().lastError());
}

void MainWindow::restoreStartupEntries() {
    m_session.restoreStartupEntries();
}

void MainWindow::restoreStartupEntry() {
    m_session.restoreStartupEntry(m_currentEntry);
}

void MainWindow::exitProgram() {
    unload(CloseReason::Exit);
}

bool MainWindow::alwaysOnTop() const {
    return m_session.options().onTop;
}

void MainWindow::setStackOrder(QWidget *window, bool topmost) {
    m_desktop.setStackOrder(window, topmost);
}

void MainWindow::applyStackOrder(QWidget *window) {
    setStackOrder(window, alwaysOnTop());
}

void MainWindow::toggleOption(Option option, QAction *item) {
    if (!m_session.setOption(option, !item->isChecked()))
        showStoreFailure();
}

void MainWindow::toggleOnTop() {
    toggleOption(Option::OnTop, m_actions.onTop);
}

void MainWindow::toggleMouseOver() {
    toggleOption(Option::MouseOver, m_actions.mouseOver);
}

void MainWindow::toggleAutoSave() {
    toggleOption(Option::AutoSave, m_actions.autoSave);
}

void MainWindow::togglePasteAfterPicking() {
    toggleOption(Option::PasteAfterPicking, m_actions.pasteAfterPicking);
}

void MainWindow::chooseSecretClearTime() {
    int seconds = m_session.options().secretClearSeconds;
    if (m_desktop.askNumber(this,
                            tr("Seconds a copied secret entry stays on the clipboard (10 to 300):"),
                            10, 300, &seconds) &&
        !m_session.setSecretClearSeconds(seconds))
        showStoreFailure();
}

void MainWindow::toggleHistory() {
    // Turned off, the history is cleared: asked first, when there is anything to lose.
    if (m_session.options().history && m_session.history().count() > 0 &&
        m_desktop.ask(this, tr("Stop keeping the clipboard history, and clear all it holds?"),
                      {tr("&Clear"), tr("&Cancel")}, 1, 1) != 0)
        return;
    toggleOption(Option::History, m_actions.history);
}

void MainWindow::chooseHistorySize() {
    int items = m_session.options().historySize;
    if (m_desktop.askNumber(this,
                            tr("How many copied texts the clipboard history keeps (10 to "
                               "10,000):"),
                            ClipboardHistory::minSize, ClipboardHistory::maxSize, &items) &&
        !m_session.setHistorySize(items))
        showStoreFailure();
}

void MainWindow::toggleRestoreClipboard() {
    toggleOption(Option::RestoreClipboard, m_actions.restoreClipboard);
}

void MainWindow::toggleStartAtLogin() {
    QString error;
    if (!Autostart::set(!Autostart::isOn(), &error))
        showWriteFailure(m_desktop, this, Autostart::entryPath(), error);
    m_actions.startAtLogin->setChecked(Autostart::isOn());
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
    if (!m_session.options().mouseOver)
        return;
    // The copy button five entries on lies on the next tab: nothing visible here takes the
    // focus, but the window becomes active.
    const int target = n + EntryStore::PerTab > EntryStore::Count
                           ? n + EntryStore::PerTab - EntryStore::Count
                           : n + EntryStore::PerTab;
    copyButton(target)->setFocus(Qt::MouseFocusReason);
    activateWindow();
}
