#pragma once

#include "core/entrysession.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class Desktop;
class EntryText;
class QAction;
class QMenu;
class QPushButton;
class QSystemTrayIcon;
class QTabWidget;
class QToolButton;

// Every menu item of the main window, its menus and its popup menus. Commands connect to these
// members; each also carries its objectName ("mnuPaste1", "OnTopMnu") for tests and automation.
struct MainActions {
    // File
    QAction *loadSet = nullptr;
    QAction *saveSet = nullptr;
    QAction *deleteSet = nullptr;
    QAction *historyWindow = nullptr;
    QAction *exit = nullptr;
    // Options
    QAction *hideInTray = nullptr;
    QAction *onTop = nullptr;
    QAction *mouseOver = nullptr;
    QAction *updateStartup = nullptr;
    QAction *autoSave = nullptr;
    QAction *startAtLogin = nullptr;
    QAction *pasteAfterPicking = nullptr;
    QAction *restoreClipboard = nullptr;
    QAction *secretClear = nullptr;
    QAction *history = nullptr;
    QAction *historySize = nullptr;
    QAction *keyboardShortcut = nullptr;
    QAction *clearAll = nullptr;
    std::array<QAction *, EntryStore::Count / EntryStore::PerTab> clearTab{};
    QAction *restoreStartup = nullptr;
    // Help
    QAction *helpContents = nullptr;
    QAction *about = nullptr;
    // The tray's entry list: the 30 entries, the clippings' editor, the 20 clippings
    std::array<QAction *, EntryStore::Count> trayEntry{};
    QAction *editClippings = nullptr;
    std::array<QAction *, ClippingCount> clipping{};
    // The newest copies in the history, 1 the newest
    std::array<QAction *, 10> recent{};
    // The tray's command menu
    QAction *showWindow = nullptr;
    QAction *trayLoadSet = nullptr;
    QAction *trayLoadSetAndShow = nullptr;
    QAction *trayRestoreStartup = nullptr;
    QAction *saveClipboard = nullptr;
    QAction *trayHistory = nullptr;
    QAction *trayExit = nullptr;
    // The entry menu of a numbered button; each acts on currentEntry()
    QAction *paste = nullptr;
    QAction *copy = nullptr;
    QAction *loadEntry = nullptr;
    QAction *saveEntry = nullptr;
    QAction *nameEntry = nullptr;
    QAction *editEntry = nullptr;
    QAction *clearEntry = nullptr;
    QAction *secret = nullptr;
    QAction *restoreEntry = nullptr;
    QAction *openAsUrl = nullptr;
};

struct MainMenus {
    QMenu *file = nullptr;
    QMenu *options = nullptr;
    QMenu *clearTab = nullptr;
    QMenu *help = nullptr;
    QMenu *entryList = nullptr; // the tray's left click
    QMenu *tabs13 = nullptr;
    QMenu *tabs46 = nullptr;
    QMenu *clippings = nullptr;
    QMenu *recent = nullptr;
    QMenu *trayCommands = nullptr; // the tray's right click
    QMenu *entry = nullptr;        // a numbered button's right click
};

// The main window: the session's 30 entries on six tabs, the menus, the three popup menus and the
// tray icon. It shows the session and forwards the user's gestures; it lives from start to Exit,
// and its close box only hides it.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Why the window is being unloaded: its close box, Exit, or the end of the session (log-out,
    // a termination signal), when no window may be shown.
    enum class CloseReason { CloseBox, Exit, SessionEnd };

    MainWindow(EntrySession &session, Desktop &desktop, QWidget *parent = nullptr);
    ~MainWindow() override;

    EntrySession &session() { return m_session; }
    Desktop &desktop() { return m_desktop; }
    const MainActions &actions() const { return m_actions; }
    const MainMenus &menus() const { return m_menus; }

    EntryText *entryField(int n) const { return m_text[EntryStore::index(n)]; }
    QPushButton *pasteButton(int n) const { return m_cmd[EntryStore::index(n)]; }
    QToolButton *copyButton(int n) const { return m_cmdCopy[EntryStore::index(n)]; }
    QWidget *entryFrame(int n) const { return m_frame[EntryStore::index(n)]; }
    QTabWidget *tabs() const { return m_tabs; }
    QSystemTrayIcon *trayIcon() const { return m_trayIcon; }

    // Copy entry n, or paste the clipboard into it, from elsewhere (the command line): the
    // commands answer these signals, whatever the buttons show. A paste's `done` is told its
    // result once known, perhaps after a question: 0 pasted, else a PasteStatus with why.
    using PasteDone = std::function<void(int status, const QString &why)>;
    enum PasteStatus { Kept = 3, NothingToPaste = 4, QuestionOpen = 5, SecretRefused = 6 };
    void requestCopy(int n);
    void requestPaste(int n, const PasteDone &done);
    // Stores `text` in entry n, asking first when the entry holds text.
    void requestStore(int n, const QString &text);
    // The entry picker, from the command line.
    void requestPicker() { emit pickerRequested(); }

    // The entry the entry menu acts on, 1 to 30; 0 before a menu was opened.
    int currentEntry() const { return m_currentEntry; }
    void setCurrentEntry(int n);

    // Start-up: the session's entries, options and clippings, the tray icon and what the user
    // is to be told, before first shown.
    void loadAtStart();
    // Unloads the window for a reason other than its close box; emits unloaded() unless the
    // user keeps it open after a failed save.
    void unload(CloseReason mode);
    bool isUnloaded() const { return m_unloaded; }

    void exitProgram();
    // Writes the 30 entries to the startup entries; a failure is shown.
    bool updateStartupEntries();
    void restoreStartupEntries();
    void restoreStartupEntry();
    void toggleOnTop();
    void toggleMouseOver();
    void toggleAutoSave();
    void togglePasteAfterPicking();
    void toggleRestoreClipboard();
    void toggleHistory();
    void chooseHistorySize();
    void chooseSecretClearTime();
    // Writes or removes the user's autostart entry; its check mark follows the file.
    void toggleStartAtLogin();
    void hideInTray();
    void showWindow();
    void entryHovered(int n);
    // The tray icon's clicks open their menus only while this window is hidden and no other
    // window (the frequent clippings' editor) holds the tray.
    void trayLeftClick();
    void trayRightClick();
    void setTrayGate(std::function<bool()> gate);
    // Asked before the program ends other than by the close box; a guard that returns false (its
    // window's user chose to stay) keeps the program running. At log-out nothing may refuse.
    void addExitGuard(std::function<bool(CloseReason)> guard);
    // Refreshes the tray entry list from the entries as they are now.
    void refreshTrayList();

    // Every window of the program other than this one calls this when it loads.
    void setStackOrder(QWidget *window, bool topmost);
    void applyStackOrder(QWidget *window);
    bool alwaysOnTop() const;

    // Tells the user that the settings store could not be written, and why; while the program
    // ends at log-out or on a signal, only stderr is told.
    void showStoreFailure();
    // Waits for the Secret Service's answers still to come before the program ends.
    void settleSecrets(CloseReason mode);

signals:
    // Entry n is to be copied: its copy button, the tray list, the command line.
    void copyRequested(int n);
    void pasteRequested(int n, const MainWindow::PasteDone &done);
    void storeRequested(int n, const QString &text);
    void pickerRequested();
    // The window is about to unload (Exit, log-out, a termination signal): windows that keep
    // the program alive close now, before the main window.
    void exiting();
    // The window is unloaded; the program ends.
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
    // Asked before every unload: saves the startup entries when auto-save is on and, while that
    // fails, asks whether to try again, close anyway or keep the window as it is.
    enum class ClosingSave { Saved, Failed, Cancelled };
    ClosingSave saveBeforeClosing(CloseReason mode);
    bool trayMenusAllowed();
    void toggleOption(Option option, QAction *item);
    // The check marks follow the session's options; the stacking changes only when it must.
    void showOptions(bool always);
    void showClippings();
    void showStoreReplaced(bool saved);

    EntrySession &m_session;
    Desktop &m_desktop;
    MainActions m_actions;
    MainMenus m_menus;

    QTabWidget *m_tabs = nullptr;
    std::array<EntryText *, EntryStore::Count> m_text{};
    std::array<QPushButton *, EntryStore::Count> m_cmd{};
    std::array<QToolButton *, EntryStore::Count> m_cmdCopy{};
    std::array<QWidget *, EntryStore::Count> m_frame{};
    QSystemTrayIcon *m_trayIcon = nullptr;

    int m_currentEntry = 0;
    std::function<bool()> m_trayGate;
    // The history item each Recent item copies, by key: the numbers move with every copy.
    std::array<QString, 10> m_recentKeys;
    std::vector<std::function<bool(CloseReason)>> m_exitGuards;
    bool m_unloading = false;
    bool m_silentFailures = false;
    // Entries found unreadable since the last message about them.
    QList<int> m_unreadable;
    bool m_unloaded = false;
};
