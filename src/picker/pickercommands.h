#pragma once

#include "picker/pickerwindow.h"
#include "platform/desktop.h"
#include "platform/keysender.h"

#include <QObject>
#include <QPointer>

#include <optional>

class EntrySession;
class GlobalShortcut;
class PortalShortcut;
class MainWindow;

// The picker from anywhere (its key, `snapvale --menu`), and what a pick does: the text goes
// on the clipboard and, with "Paste After Picking", into the window that had the keyboard.
class PickerCommands : public QObject {
    Q_OBJECT
public:
    PickerCommands(MainWindow &main, EntrySession &session);

    // Opens the picker at the pointer; one already open comes forward instead.
    void openPicker();
    PickerWindow *picker() const { return m_picker; }
    GlobalShortcut *shortcut() const { return m_shortcut; }
    PortalShortcut *portalShortcut() const { return m_portal; }
    void editShortcut();

private:
    // The picker's stored key as an X11 key grab.
    void takeKeyGrab();
    // A pick is copied while the picker has the keyboard, and pasted after it has closed.
    void copyPick(const PickerWindow::Pick &pick, const PasteTarget &target);
    void pastePick(const PickerWindow::Pick &pick);
    // Gives the clipboard its text from before the pick back once the paste has taken it.
    void restoreClipboardLater(const Desktop::Contents &before, const QString &picked);

    MainWindow &m_main;
    EntrySession &m_session;
    QPointer<PickerWindow> m_picker;
    struct PendingPaste {
        PickerWindow::Pick pick;
        PasteTarget target;
        QString text;
        Desktop::Contents before;
        bool restore = false;
    };
    std::optional<PendingPaste> m_pending;
    GlobalShortcut *m_shortcut = nullptr;
    PortalShortcut *m_portal = nullptr;
};
