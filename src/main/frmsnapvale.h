#pragma once

#include "core/entrystore.h"
#include "core/registry.h"
#include "platform/filedialog.h"

#include <QMainWindow>
#include <QTimer>

#include <array>
#include <functional>

class Desktop;
class EntryText;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class QSystemTrayIcon;
class QTabWidget;
class QToolButton;
class SettingsStore;

// The main window: the 30 entries on six tabs, the menus, the three popup menus, the tray icon
// and the shared file dialog. It lives from start to Exit; its close box only hides it.
class FrmSnapvale : public QMainWindow {
    Q_OBJECT
public:
    // Why the window is being unloaded.
    enum UnloadMode { UserClose = 0, ProgramCode = 1, SystemShutdown = 2, TaskManager = 3 };

    FrmSnapvale(SettingsStore &store, Desktop &desktop, QWidget *parent = nullptr);
    ~FrmSnapvale() override;

    EntryStore &entries() { return m_entries; }
    Desktop &desktop() { return m_desktop; }
    Registry &registry() { return m_reg; }
    FileDialog &CommonDialog2() { return m_commonDialog2; }

    EntryText *Text(int n) const { return m_text[n]; }
    QPushButton *Cmd(int n) const { return m_cmd[n]; }
    QToolButton *CmdCopy(int n) const { return m_cmdCopy[n]; }
    QWidget *Frame(int n) const { return m_frame[n]; }
    QTabWidget *SSTab1() const { return m_tabs; }
    QSystemTrayIcon *TrayIcon() const { return m_trayIcon; }
    QLabel *LblTop() const { return m_lblTop; }
    QLabel *LblMouse() const { return m_lblMouse; }
    QLabel *LblSave() const { return m_lblSave; }
    QLabel *LblFirstLine() const { return m_lblFirstLine; }
    QLabel *LblButton() const { return m_lblButton; }
    // A menu item or menu of this window by its name ("OnTopMnu", "mnuPaste1", "mnuLists").
    QAction *action(const QString &name) const;
    QMenu *menu(const QString &name) const;

    // The tray list's item of frequent clipping k (1 to 20), and the key it is stored under
    // ("01" to "20").
    QAction *clippingItem(int k) const;
    static QString clippingKey(int k);

    // The entry number the entry popup menu acts on, "1" to "30"; empty before the first one.
    QString CurrentEntry() const;
    void setCurrentEntry(int n);
    // The entry CurrentEntry names, or 0 when it names none.
    int currentEntryNumber() const;

    // Start-up: startup entries, options, tray icon and frequent clippings, before first shown.
    void Form_Load();
    // Asked before every unload; Cancel set to non-zero refuses it.
    void Form_QueryUnload(int &Cancel, int UnloadMode);
    // Unloads the window for a reason other than its close box; emits unloaded() unless refused.
    void unload(int mode);
    bool isUnloaded() const { return m_unloaded; }

    void ExitMnu_Click();
    void UpdateMnu_Click();
    void RestoreMnu_Click();
    void RestoreMnu2_Click();
    void MnuRestore1_Click();
    void OnTopMnu_Click();
    void ActivateMnu_Click();
    void AutoSaveMnu_Click();
    void MinimizeMnu_Click();
    void mnuRestore_Click();
    void Text_MouseMove(int n);
    // The tray icon's clicks open their menus only while this window is hidden and no other
    // window (the frequent clippings' editor) holds the tray.
    void TrayIcon_LeftClick();
    void TrayIcon_RightClick();
    void setTrayGate(std::function<bool()> gate);
    // Refreshes the tray entry list from the entries as they are now.
    void mnuLists_Click();

    // Every window of the program other than this one calls this when it loads.
    void SetStackOrder(QWidget *window, bool topmost);
    void applyStackOrder(QWidget *window);
    bool alwaysOnTop() const;

signals:
    // The window is about to unload (Exit, log-out, a termination signal): windows that keep
    // the program alive close now, before the main window.
    void exiting();
    // The window is unloaded; the program ends once its other windows are closed.
    void unloaded();
    // A mouse button was released on numbered button n, or the keyboard did the same: Space or
    // Enter as the left button, the context-menu key or Shift+F10 as the right one. `at` is
    // where a menu for it opens.
    void numberedButtonReleased(int n, Qt::MouseButton button, const QPoint &at);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildEntries();
    void buildMenus();
    void buildPopupMenus();
    void buildLabels();
    void hideInTray();
    bool trayMenusAllowed() const;
    void scheduleRecoveryCopy();
    void writeRecoveryCopy();
    void dropRecoveryCopy();
    void recoverAfterUncleanEnd();
    bool toggleOption(const QString &itemName, QLabel *label, const QString &key);
    QAction *addItem(QMenu *menu, const char *name, const QString &caption);
    QMenu *addMenu(QWidget *parent, const char *name, const QString &caption);

    SettingsStore &m_store;
    Desktop &m_desktop;
    Registry m_reg;
    EntryStore m_entries;
    FileDialog m_commonDialog2;

    QTabWidget *m_tabs = nullptr;
    std::array<EntryText *, EntryStore::Count + 1> m_text{};
    std::array<QPushButton *, EntryStore::Count + 1> m_cmd{};
    std::array<QToolButton *, EntryStore::Count + 1> m_cmdCopy{};
    std::array<QWidget *, EntryStore::Count + 1> m_frame{};
    QLabel *m_lblTop = nullptr;
    QLabel *m_lblMouse = nullptr;
    QLabel *m_lblSave = nullptr;
    QLabel *m_lblFirstLine = nullptr;
    QLabel *m_lblButton = nullptr;
    QSystemTrayIcon *m_trayIcon = nullptr;

    std::function<bool()> m_trayGate;
    QTimer m_recoveryTimer;
    bool m_unloading = false;
    bool m_unloaded = false;
};
