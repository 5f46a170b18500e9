#include "main/frmsnapvale.h"

#include "core/optionflag.h"
#include "core/settingsstore.h"
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
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString dataSection = QStringLiteral("Data");
const QString settingsSection = QStringLiteral("Settings");
const QString frequentSection = QStringLiteral("Frequent");
// The entries as they are on screen, kept while auto-save is on, for a run that ends uncleanly.
const QString recoverySection = QStringLiteral("Recovery");
// A recovery copy follows a change within this time.
constexpr int recoveryDelayMs = 1000;

QString number(int n) {
    return QString::number(n);
}

// An entry's caption in the tray entry list.
constexpr qsizetype trayCaptionLength = 60;

QString twoDigits(int k) {
    return QStringLiteral("%1").arg(k, 2, 10, QLatin1Char('0'));
}

} // namespace

FrmSnapvale::FrmSnapvale(SettingsStore &store, Desktop &desktop, QWidget *parent)
    : QMainWindow(parent)
    , m_store(store)
    , m_desktop(desktop)
    , m_reg(store)
    , m_commonDialog2(desktop, this) {
    setObjectName(QStringLiteral("FrmSnapvale"));
    setWindowTitle(QStringLiteral("Snapvale"));

    m_trayIcon = new QSystemTrayIcon(Icons::get("snapvale"), this);
    m_trayIcon->setObjectName(QStringLiteral("TrayIcon"));
    m_trayIcon->setToolTip(QStringLiteral("Left-click for list / Right-click for menu"));

    buildEntries();
    buildLabels();
    buildMenus();
    buildPopupMenus();

    connect(&m_entries, &EntryStore::entryChanged, this, [this](int n) {
        m_text[n]->refresh();
        scheduleRecoveryCopy();
    });
    m_recoveryTimer.setSingleShot(true);
    m_recoveryTimer.setInterval(recoveryDelayMs);
    connect(&m_recoveryTimer, &QTimer::timeout, this, &FrmSnapvale::writeRecoveryCopy);

    // The keyboard starts on the first numbered button: Space pastes into entry 1.
    m_cmd[1]->setFocus();

    // A fixed-size window whose size follows its contents, so fonts and screen scaling fit.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

FrmSnapvale::~FrmSnapvale() = default;

void FrmSnapvale::buildEntries() {
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));
    // All six tabs in one row, always: the window grows to fit them.
    m_tabs->setUsesScrollButtons(false);
    const QIcon tabIcon = Icons::get("tab");
    const QIcon pasteIcon = Icons::get("paste");
    const QIcon copyIcon = Icons::get("copy");

    for (int tab = 1; tab <= EntryStore::Count / EntryStore::PerTab; ++tab) {
        auto *page = new QWidget;
        page->setObjectName(QStringLiteral("Tab") + number(tab));
        auto *pageLayout = new QVBoxLayout(page);
        auto *group = new QGroupBox(QStringLiteral("Click Text to View"), page);
        group->setObjectName(QStringLiteral("Frame3") + number(tab));
        pageLayout->addWidget(group);
        auto *grid = new QGridLayout(group);

        for (int row = 0; row < EntryStore::PerTab; ++row) {
            const int n = (tab - 1) * EntryStore::PerTab + row + 1;

            auto *cmd = new QPushButton(pasteIcon, number(n), group);
            cmd->setObjectName(QStringLiteral("Cmd") + number(n));
            cmd->setToolTip(QStringLiteral("Left-click to paste / Right-click for menu"));
            cmd->setAccessibleDescription(cmd->toolTip());
            cmd->setAutoDefault(false);
            cmd->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
            cmd->installEventFilter(this);
            connect(cmd, &QPushButton::clicked, this,
                    [this, n] { emit numberedButtonReleased(n, Qt::LeftButton, QCursor::pos()); });
            m_cmd[n] = cmd;

            auto *frame = new QFrame(group);
            frame->setObjectName(QStringLiteral("Frame") + number(n));
            auto *frameLayout = new QHBoxLayout(frame);
            frameLayout->setContentsMargins(0, 0, 0, 0);
            frameLayout->setSpacing(2);
            m_frame[n] = frame;

            auto *text = new EntryText(m_entries, n, frame);
            connect(text, &EntryText::mouseMoved, this, [this, n] { Text_MouseMove(n); });
            m_text[n] = text;

            auto *copy = new QToolButton(frame);
            copy->setObjectName(QStringLiteral("CmdCopy") + number(n));
            copy->setIcon(copyIcon);
            copy->setToolTip(QStringLiteral("Copy Entry to Clipboard"));
            copy->setAccessibleName(QStringLiteral("Copy entry ") + number(n));
            copy->setFocusPolicy(Qt::StrongFocus);
            copy->setAutoRaise(false);
            m_cmdCopy[n] = copy;

            frameLayout->addWidget(text, 1);
            frameLayout->addWidget(copy);
            grid->addWidget(cmd, row, 0);
            grid->addWidget(frame, row, 1);
        }
        m_tabs->addTab(page, tabIcon, number(tab));
    }
    setCentralWidget(m_tabs);
}

void FrmSnapvale::buildLabels() {
    // State shared between commands as strings; never shown.
    auto label = [this](const char *name, const QString &caption) {
        auto *l = new QLabel(caption, this);
        l->setObjectName(QLatin1String(name));
        l->hide();
        return l;
    };
    m_lblTop = label("LblTop", OptionFlag::on);
    m_lblMouse = label("LblMouse", OptionFlag::off);
    m_lblSave = label("LblSave", OptionFlag::off);
    m_lblFirstLine = label("LblFirstLine", QStringLiteral("Label1"));
    m_lblButton = label("LblButton", QString());
}

QMenu *FrmSnapvale::addMenu(QWidget *owner, const char *name, const QString &caption) {
    auto *m = new QMenu(caption, owner);
    m->setObjectName(QLatin1String(name));
    m->menuAction()->setObjectName(QLatin1String(name));
    return m;
}

QAction *FrmSnapvale::addItem(QMenu *menu, const char *name, const QString &caption) {
    QAction *a = menu->addAction(caption);
    a->setObjectName(QLatin1String(name));
    return a;
}

void FrmSnapvale::buildMenus() {
    QMenuBar *bar = menuBar();

    QMenu *file = addMenu(bar, "FileMnu", QStringLiteral("&File"));
    addItem(file, "LoadMnu", QStringLiteral("&Load Set"))
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+L")));
    addItem(file, "SaveSetMnu", QStringLiteral("&Save Set"))
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    addItem(file, "DeleteMnu", QStringLiteral("&Delete Set"))
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+D")));
    file->addSeparator();
    connect(addItem(file, "ExitMnu", QStringLiteral("E&xit")), &QAction::triggered, this,
            &FrmSnapvale::ExitMnu_Click);
    bar->addMenu(file);

    QMenu *options = addMenu(bar, "OptionsMnu", QStringLiteral("&Options"));
    connect(addItem(options, "MinimizeMnu", QStringLiteral("&Hide in Tray")), &QAction::triggered,
            this, &FrmSnapvale::MinimizeMnu_Click);
    options->addSeparator();
    QAction *onTop = addItem(options, "OnTopMnu", QStringLiteral("Always on &Top"));
    QAction *activate = addItem(options, "ActivateMnu", QStringLiteral("Active on &Mouseover"));
    options->addSeparator();
    connect(addItem(options, "UpdateMnu", QStringLiteral("&Update Startup Entries")),
            &QAction::triggered, this, &FrmSnapvale::UpdateMnu_Click);
    QAction *autoSave = addItem(options, "AutoSaveMnu", QStringLiteral("Auto-Save on &Exit"));
    options->addSeparator();
    addItem(options, "ClearMnu", QStringLiteral("&Clear All"));
    QMenu *clearTab = addMenu(options, "mnuClear", QStringLiteral("Clear Tab"));
    const char *tabItems[] = {"mnuOne", "mnuTwo", "mnuThree", "mnuFour", "mnuFive", "mnuSix"};
    for (int t = 1; t <= 6; ++t)
        addItem(clearTab, tabItems[t - 1], QStringLiteral("&") + number(t));
    options->addMenu(clearTab);
    connect(addItem(options, "RestoreMnu", QStringLiteral("&Restore Startup Entries")),
            &QAction::triggered, this, &FrmSnapvale::RestoreMnu_Click);
    bar->addMenu(options);

    // The check marks are the live option states. A checkable item flips its mark before it
    // reports the trigger; undo that so the handlers, also called directly, decide alone.
    const std::pair<QAction *, void (FrmSnapvale::*)()> toggles[] = {
        {onTop, &FrmSnapvale::OnTopMnu_Click},
        {activate, &FrmSnapvale::ActivateMnu_Click},
        {autoSave, &FrmSnapvale::AutoSaveMnu_Click}};
    for (const auto &[item, handler] : toggles) {
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, item, handler](bool checked) {
            item->setChecked(!checked);
            (this->*handler)();
        });
    }

    QMenu *help = addMenu(bar, "MainHelpMnu", QStringLiteral("&Help"));
    addItem(help, "HelpMnu", QStringLiteral("&Contents"));
    help->addSeparator();
    addItem(help, "AboutMnu", QStringLiteral("&About Snapvale"));
    bar->addMenu(help);
}

void FrmSnapvale::buildPopupMenus() {
    // Opened only as popup menus, never from the menu bar.
    QMenu *lists = addMenu(this, "mnuLists", QStringLiteral("Popup2"));
    QMenu *tabs13 = addMenu(lists, "mnuTabs13", QStringLiteral("List &1  (Tabs 1 - 3)"));
    QMenu *tabs46 = addMenu(lists, "mnuTabs46", QStringLiteral("List &2  (Tabs 4 - 6)"));
    for (int n = 1; n <= EntryStore::Count; ++n) {
        const QByteArray name = "mnuT" + twoDigits(n).toLatin1();
        addItem(n <= 15 ? tabs13 : tabs46, name.constData(), QString());
    }
    lists->addMenu(tabs13);
    lists->addMenu(tabs46);
    lists->addSeparator();
    QMenu *common = addMenu(lists, "mnuCommon", QStringLiteral("&Frequently Used"));
    addItem(common, "mnuConfigure", QStringLiteral("&Edit List"));
    common->addSeparator();
    for (int k = 1; k <= 20; ++k) {
        const QByteArray name = "mnu" + twoDigits(k).toLatin1();
        setLiteralCaption(addItem(common, name.constData(), QString()), QString());
    }
    lists->addMenu(common);

    QMenu *tray = addMenu(this, "mnuPopup", QStringLiteral("Popup"));
    connect(addItem(tray, "mnuRestore", QStringLiteral("Show &Snapvale")), &QAction::triggered,
            this, &FrmSnapvale::mnuRestore_Click);
    tray->addSeparator();
    addItem(tray, "mnuLoad2", QStringLiteral("&Load Set"));
    addItem(tray, "mnuLoad", QStringLiteral("Load Set / &Show Snapvale"));
    connect(addItem(tray, "RestoreMnu2", QStringLiteral("&Restore Startup Entries")),
            &QAction::triggered, this, &FrmSnapvale::RestoreMnu2_Click);
    tray->addSeparator();
    addItem(tray, "mnuClipboard2", QStringLiteral("Save Clipboard &As..."));
    tray->addSeparator();
    connect(addItem(tray, "mnuExit", QStringLiteral("E&xit")), &QAction::triggered, this,
            &FrmSnapvale::ExitMnu_Click);

    QMenu *entry = addMenu(this, "mnuPopup1", QStringLiteral("Popup1"));
    addItem(entry, "mnuPaste1", QStringLiteral("&Paste From Clipboard"));
    addItem(entry, "mnuCopy1", QStringLiteral("&Copy To Clipboard"));
    entry->addSeparator();
    addItem(entry, "mnuLoad1", QStringLiteral("&Load Entry"));
    addItem(entry, "mnuSaveEntry", QStringLiteral("&Save Entry As..."));
    entry->addSeparator();
    addItem(entry, "mnuNameEntry", QStringLiteral("&Name Entry"));
    addItem(entry, "mnuEdit", QStringLiteral("&View/Edit Entry"));
    addItem(entry, "mnuClear1", QStringLiteral("Clear &Entry"));
    connect(addItem(entry, "mnuRestore1", QStringLiteral("&Restore Startup Entry")),
            &QAction::triggered, this, &FrmSnapvale::MnuRestore1_Click);
    entry->addSeparator();
    addItem(entry, "mnuConnect", QStringLiteral("Connect to &URL"));

    connect(m_trayIcon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger)
                    TrayIcon_LeftClick();
                else if (reason == QSystemTrayIcon::Context)
                    TrayIcon_RightClick();
            });
    connect(lists, &QMenu::aboutToShow, this, &FrmSnapvale::mnuLists_Click);
    for (int n = 1; n <= EntryStore::Count; ++n)
        connect(action(QStringLiteral("mnuT") + twoDigits(n)), &QAction::triggered, this,
                [this, n] { m_cmdCopy[n]->click(); });
}

bool FrmSnapvale::trayMenusAllowed() const {
    // The tray menus are the way back to a hidden window; while it shows, or while the frequent
    // clippings are being edited, they rest.
    if (isVisible())
        return false;
    return !(m_trayGate && m_trayGate());
}

void FrmSnapvale::TrayIcon_LeftClick() {
    if (trayMenusAllowed())
        m_desktop.popupMenu(menu(QStringLiteral("mnuLists")), nullptr, QCursor::pos());
}

void FrmSnapvale::TrayIcon_RightClick() {
    if (trayMenusAllowed())
        m_desktop.popupMenu(menu(QStringLiteral("mnuPopup")), action(QStringLiteral("mnuRestore")),
                            QCursor::pos());
}

void FrmSnapvale::mnuLists_Click() {
    for (int n = 1; n <= EntryStore::Count; ++n) {
        const QString &text = m_entries.text(n);
        // The first 60 characters, without splitting a character in two.
        qsizetype cut = std::min<qsizetype>(text.size(), trayCaptionLength);
        if (cut < text.size() && text.at(cut - 1).isHighSurrogate())
            --cut;
        QAction *item = action(QStringLiteral("mnuT") + twoDigits(n));
        setLiteralCaption(item, text.left(cut));
        // The first item of each list always shows, so that neither list is ever empty.
        item->setVisible(n == 1 || n == 16 || cut > 0);
    }
    for (int k = 1; k <= 20; ++k) {
        QAction *item = clippingItem(k);
        item->setVisible(!literalCaption(item).isEmpty());
    }
}

void FrmSnapvale::setTrayGate(std::function<bool()> gate) {
    m_trayGate = std::move(gate);
}

QAction *FrmSnapvale::action(const QString &name) const {
    return findChild<QAction *>(name);
}

QMenu *FrmSnapvale::menu(const QString &name) const {
    return findChild<QMenu *>(name);
}

QAction *FrmSnapvale::clippingItem(int k) const {
    return action(QStringLiteral("mnu") + clippingKey(k));
}

QString FrmSnapvale::clippingKey(int k) {
    return twoDigits(k);
}

QString FrmSnapvale::CurrentEntry() const {
    return m_lblButton->text();
}

void FrmSnapvale::setCurrentEntry(int n) {
    m_lblButton->setText(number(n));
}

int FrmSnapvale::currentEntryNumber() const {
    const QString current = CurrentEntry();
    for (int n = 1; n <= EntryStore::Count; ++n) {
        if (current == number(n))
            return n;
    }
    return 0;
}

bool FrmSnapvale::eventFilter(QObject *watched, QEvent *event) {
    auto *button = qobject_cast<QPushButton *>(watched);
    const int n = button ? button->objectName().mid(3).toInt() : 0;
    if (!EntryStore::isValid(n) || m_cmd[n] != button)
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
            button->click();
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

void FrmSnapvale::Form_Load() {
    setWindowIcon(m_trayIcon->icon());

    m_entries.LoadEntries(m_reg, dataSection);

    // All three values are read before any is applied; the labels keep them as stored.
    m_reg.Appname = AppName;
    m_reg.Section = settingsSection;
    QLabel *const labels[] = {m_lblTop, m_lblMouse, m_lblSave};
    const char *const keys[] = {"OnTop", "MouseOver", "AutoSave"};
    for (int i = 0; i < 3; ++i) {
        m_reg.Key = QLatin1String(keys[i]);
        m_reg.RegGet();
        labels[i]->setText(m_reg.Setting);
    }

    action(QStringLiteral("OnTopMnu"))->setChecked(OptionFlag::isOn(m_lblTop->text()));
    SetStackOrder(this, alwaysOnTop());
    action(QStringLiteral("ActivateMnu"))->setChecked(OptionFlag::isOn(m_lblMouse->text()));
    action(QStringLiteral("AutoSaveMnu"))->setChecked(OptionFlag::isOn(m_lblSave->text()));

    recoverAfterUncleanEnd();

    m_trayIcon->setVisible(true);

    m_reg.Appname = AppName;
    m_reg.Section = frequentSection;
    for (int k = 1; k <= 20; ++k) {
        m_reg.Key = clippingKey(k);
        m_reg.RegGet();
        setLiteralCaption(clippingItem(k), m_reg.Setting);
    }

    if (!m_store.movedAsidePath().isEmpty())
        m_desktop.message(this, QStringLiteral("The settings file could not be read. It was moved "
                                               "aside, and Snapvale started with empty "
                                               "settings.\r\nThe old file is now:\r\n") +
                                    m_store.movedAsidePath());
}

void FrmSnapvale::Form_QueryUnload(int &Cancel, int UnloadMode) {
    // Saved on every request, also one that is refused below.
    if (action(QStringLiteral("AutoSaveMnu"))->isChecked())
        m_entries.SaveEntries(m_reg, dataSection);
    if (UnloadMode == UserClose) {
        Cancel = 1;
        hideInTray();
    }
}

void FrmSnapvale::closeEvent(QCloseEvent *event) {
    if (m_unloading) {
        event->accept();
        return;
    }
    int cancel = 0;
    Form_QueryUnload(cancel, UserClose);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void FrmSnapvale::unload(int mode) {
    if (m_unloaded)
        return;
    // Windows that keep the program alive close first; their own closing may still write.
    emit exiting();
    int cancel = 0;
    Form_QueryUnload(cancel, mode);
    if (cancel)
        return;
    m_unloaded = true;
    // A clean end: the startup entries are as the user wants them, nothing is left to recover.
    dropRecoveryCopy();
    m_trayIcon->hide();
    m_unloading = true;
    close();
    m_unloading = false;
    emit unloaded();
}

void FrmSnapvale::UpdateMnu_Click() {
    m_entries.SaveEntries(m_reg, dataSection);
}

void FrmSnapvale::RestoreMnu_Click() {
    m_entries.LoadEntries(m_reg, dataSection);
}

void FrmSnapvale::RestoreMnu2_Click() {
    RestoreMnu_Click();
}

void FrmSnapvale::MnuRestore1_Click() {
    const int n = currentEntryNumber();
    if (n)
        m_entries.LoadEntry(m_reg, n, dataSection);
}

void FrmSnapvale::ExitMnu_Click() {
    unload(ProgramCode);
}

bool FrmSnapvale::alwaysOnTop() const {
    return action(QStringLiteral("OnTopMnu"))->isChecked();
}

void FrmSnapvale::SetStackOrder(QWidget *window, bool topmost) {
    m_desktop.setStackOrder(window, topmost);
}

void FrmSnapvale::applyStackOrder(QWidget *window) {
    SetStackOrder(window, alwaysOnTop());
}

bool FrmSnapvale::toggleOption(const QString &itemName, QLabel *label, const QString &key) {
    QAction *item = action(itemName);
    const bool on = !item->isChecked();
    item->setChecked(on);
    label->setText(OptionFlag::encode(on));
    // Stored at once: a later crash or kill keeps the choice.
    m_reg.Appname = AppName;
    m_reg.Section = settingsSection;
    m_reg.Key = key;
    m_reg.Setting = label->text();
    m_reg.RegSave();
    return on;
}

void FrmSnapvale::OnTopMnu_Click() {
    QAction *item = action(QStringLiteral("OnTopMnu"));
    SetStackOrder(this, !item->isChecked());
    toggleOption(QStringLiteral("OnTopMnu"), m_lblTop, QStringLiteral("OnTop"));
}

void FrmSnapvale::ActivateMnu_Click() {
    toggleOption(QStringLiteral("ActivateMnu"), m_lblMouse, QStringLiteral("MouseOver"));
}

void FrmSnapvale::AutoSaveMnu_Click() {
    if (toggleOption(QStringLiteral("AutoSaveMnu"), m_lblSave, QStringLiteral("AutoSave")))
        scheduleRecoveryCopy();
    else
        dropRecoveryCopy();
}

void FrmSnapvale::scheduleRecoveryCopy() {
    // Only auto-save promises to keep what is on screen; without it the startup entries are the
    // user's fixed choice and nothing else is kept.
    if (!m_unloaded && action(QStringLiteral("AutoSaveMnu"))->isChecked() &&
        !m_recoveryTimer.isActive())
        m_recoveryTimer.start();
}

void FrmSnapvale::writeRecoveryCopy() {
    if (action(QStringLiteral("AutoSaveMnu"))->isChecked())
        m_entries.SaveEntries(m_reg, recoverySection);
}

void FrmSnapvale::dropRecoveryCopy() {
    m_recoveryTimer.stop();
    m_reg.Appname = AppName;
    m_reg.Section = recoverySection;
    m_reg.RegDel();
}

void FrmSnapvale::recoverAfterUncleanEnd() {
    // A recovery copy left behind means the last run ended without closing: a crash, a kill or a
    // power cut. Its entries are newer than the startup entries.
    if (!m_store.hasSection(AppName, recoverySection))
        return;
    if (!action(QStringLiteral("AutoSaveMnu"))->isChecked()) {
        dropRecoveryCopy();
        return;
    }
    m_entries.LoadEntries(m_reg, recoverySection);
    m_recoveryTimer.stop();
    m_desktop.message(this, QStringLiteral("Snapvale did not end properly last time. Your entries "
                                           "were recovered as they were then.\r\n\"Restore "
                                           "Startup Entries\" brings back the startup entries."));
}

void FrmSnapvale::hideInTray() {
    // Without a notification area a hidden window could never be reached again.
    if (m_desktop.trayAvailable())
        hide();
    else
        showMinimized();
}

void FrmSnapvale::MinimizeMnu_Click() {
    hideInTray();
}

void FrmSnapvale::mnuRestore_Click() {
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void FrmSnapvale::Text_MouseMove(int n) {
    if (!action(QStringLiteral("ActivateMnu"))->isChecked())
        return;
    // The copy button five entries on lies on the next tab: nothing visible here takes the
    // focus, but the window becomes active.
    const int target = n + EntryStore::PerTab > EntryStore::Count
                           ? n + EntryStore::PerTab - EntryStore::Count
                           : n + EntryStore::PerTab;
    m_cmdCopy[target]->setFocus(Qt::MouseFocusReason);
    activateWindow();
}
