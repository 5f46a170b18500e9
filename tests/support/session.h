#pragma once

#include "core/settingsstore.h"
#include "main/entrytext.h"
#include "main/frmsnapvale.h"
#include "platform/scripteddesktop.h"

#include <QAction>
#include <QApplication>
#include <QTest>

// One run of the program over a store that outlives it, so that a test can start it again, and
// the scripted desktop in place of the real one.
struct Session {
    explicit Session(const QString &path)
        : store(path)
        , window(store, desktop) {}

    // Loads the window and shows it, as the program does at start.
    void start() {
        window.Form_Load();
        window.show();
    }

    QAction *item(const char *name) { return window.action(QLatin1String(name)); }
    QString stored(const QString &section, const QString &key) {
        return store.get(AppName, section, key);
    }
    void setEntry(int n, const QString &text, const QString &name = QStringLiteral("Untitled")) {
        window.entries().setEntry(n, text, name);
    }
    QString text(int n) { return window.entries().text(n); }
    QString name(int n) { return window.entries().name(n); }

    SettingsStore store;
    ScriptedDesktop desktop;
    FrmSnapvale window;
};

// The dialog of that class and name that is open now, after closed ones were deleted.
template <typename Dialog> Dialog *openDialog(const QWidget &parent, const char *name) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Dialog *d = parent.findChild<Dialog *>(QLatin1String(name));
    return d && d->isVisible() ? d : nullptr;
}
