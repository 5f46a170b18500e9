#include "picker/pickercommands.h"

#include "core/entrysession.h"
#include "core/settingsstore.h"
#include "core/text.h"
#include "main/mainwindow.h"
#include "picker/shortcutdialog.h"
#include "platform/desktop.h"
#include "platform/globalshortcut.h"
#include "platform/portalshortcut.h"

#include <QAction>
#include <QCursor>
#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcPicker, "snapvale.picker")

namespace {
// The target asks for the clipboard as the paste keys arrive; on Wayland they are typed by a
// program started for it. A second covers both with room to spare.
constexpr int clipboardRestoreMs = 1000;
} // namespace

PickerCommands::PickerCommands(MainWindow &main, EntrySession &session)
    : QObject(&main)
    , m_main(main)
    , m_session(session) {
    connect(&main, &MainWindow::pickerRequested, this, &PickerCommands::openPicker);
    connect(main.actions().keyboardShortcut, &QAction::triggered, this,
            &PickerCommands::editShortcut);
    // A start-up measurement runs beside the user's Snapvale and takes nothing of the desktop.
    if (session.role() == EntrySession::Role::Probe)
        return;
    // On X11 alone a key grab, which asks no one. Under Wayland a grab would see only the keys
    // typed into XWayland windows: the desktop's portal comes first there, if it has one.
    if (GlobalShortcut::available() && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        takeKeyGrab();
        return;
    }
    m_portal = new PortalShortcut(this);
    connect(m_portal, &PortalShortcut::activated, this, &PickerCommands::openPicker);
    connect(m_portal, &PortalShortcut::stateChanged, this, [this](PortalShortcut::State state) {
        if (state == PortalShortcut::State::Unavailable && GlobalShortcut::available() &&
            !m_shortcut)
            takeKeyGrab();
    });
    const QString stored = loadPickerShortcut(session.store());
    if (stored == QLatin1String("none")) {
        if (GlobalShortcut::available())
            takeKeyGrab();
        return;
    }
    // After the window is up: the portal may first have to be started by the bus.
    QTimer::singleShot(0, m_portal, [this, stored] {
        m_portal->bind(QKeySequence(stored, QKeySequence::PortableText));
    });
}

void PickerCommands::takeKeyGrab() {
    m_shortcut = new GlobalShortcut(this);
    connect(m_shortcut, &GlobalShortcut::activated, this, &PickerCommands::openPicker);
    const QString stored = loadPickerShortcut(m_session.store());
    QString why;
    if (stored != QLatin1String("none") &&
        !m_shortcut->set(QKeySequence(stored, QKeySequence::PortableText), &why))
        qCWarning(lcPicker, "the picker's key %s is not taken: %s", qUtf8Printable(stored),
                  qUtf8Printable(why));
}

void PickerCommands::openPicker() {
    if (m_picker) {
        m_picker->raise();
        m_picker->activateWindow();
        return;
    }
    // Asked before the picker takes the keyboard: this is where a pick is pasted.
    const PasteTarget target = m_main.desktop().keyboardTarget();
    m_picker = new PickerWindow(m_session);
    connect(m_picker, &PickerWindow::picked, this,
            [this, target](const PickerWindow::Pick &pick) { copyPick(pick, target); });
    connect(m_picker, &PickerWindow::closedAfterPick, this, &PickerCommands::pastePick);
    m_picker->open(QCursor::pos());
}

void PickerCommands::copyPick(const PickerWindow::Pick &pick, const PasteTarget &target) {
    m_pending.reset();
    Desktop &desktop = m_main.desktop();
    const bool entry = pick.kind == PickerWindow::Pick::Entry;
    // A history item goes back exactly as it was copied.
    const QByteArray text = entry ? m_session.textToCopy(pick.number)
                            : pick.kind == PickerWindow::Pick::History
                                ? m_session.history().text(pick.number)
                                : Text::trimSpaces(m_session.clipping(pick.number)).toUtf8();
    const Options options = m_session.options();
    // Read before the pick replaces it, every format, so that it comes back as it was (a
    // password manager's copy marked as one, an image as an image).
    Desktop::Contents before;
    if (options.pasteAfterPicking && options.restoreClipboard)
        before = desktop.clipboardContents();
    const bool restore = !before.isEmpty();
    if (!(entry ? copyEntry(desktop, &m_main, m_session, pick.number)
                : copyToClipboard(desktop, &m_main, text)))
        return;
    if (options.pasteAfterPicking)
        m_pending = PendingPaste{pick, target, QString::fromUtf8(text), before, restore};
}

void PickerCommands::pastePick(const PickerWindow::Pick &pick) {
    if (!m_pending || !(m_pending->pick == pick))
        return;
    const PendingPaste pending = *m_pending;
    m_pending.reset();
    Desktop &desktop = m_main.desktop();
    const PasteTarget &target = pending.target;
    // Snapvale's own windows take their text from the entries, not from a paste.
    if (target.method != PasteTarget::Method::None && !target.own && desktop.pasteInto(target)) {
        if (pending.restore)
            restoreClipboardLater(pending.before, pending.text);
        return;
    }
    const QString keys = KeySender::keysText(KeySender::pasteKeysFor(target.windowClass));
    switch (pick.kind) {
    case PickerWindow::Pick::Entry:
        desktop.notice(tr("Entry %1 copied: press %2").arg(pick.number).arg(keys));
        break;
    case PickerWindow::Pick::Clipping:
        desktop.notice(tr("Clipping %1 copied: press %2").arg(pick.number).arg(keys));
        break;
    case PickerWindow::Pick::History:
        desktop.notice(tr("History item %1 copied: press %2").arg(pick.number).arg(keys));
        break;
    }
}

void PickerCommands::restoreClipboardLater(const Desktop::Contents &before, const QString &picked) {
    QTimer::singleShot(clipboardRestoreMs, this, [this, before, picked] {
        // Another program's copy since then is the user's newer wish: it stays.
        Desktop &desktop = m_main.desktop();
        QString now;
        if (desktop.clipboardText(now) && now == picked)
            desktop.setClipboardContents(before);
    });
}

void PickerCommands::editShortcut() {
    auto *dialog = new ShortcutDialog(m_main, m_shortcut, m_portal);
    connect(dialog, &ShortcutDialog::askDesktop, this, [this] {
        QString stored = loadPickerShortcut(m_session.store());
        if (stored == QLatin1String("none")) {
            stored = defaultPickerShortcut;
            if (!savePickerShortcut(m_session.store(), stored))
                m_main.showStoreFailure();
        }
        m_portal->bind(QKeySequence(stored, QKeySequence::PortableText));
    });
    connect(dialog, &ShortcutDialog::chosen, this, [this](const QKeySequence &key) {
        const QString stored =
            key.isEmpty() ? QStringLiteral("none") : key.toString(QKeySequence::PortableText);
        if (!savePickerShortcut(m_session.store(), stored))
            m_main.showStoreFailure();
    });
    dialog->open();
}
