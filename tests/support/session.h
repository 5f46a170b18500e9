#pragma once

#include "core/settingsstore.h"
#include "main/entrytext.h"
#include "main/frmsnapvale.h"
#include "platform/scripteddesktop.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

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

// A session over a store of its own inside `dir`, each call a new one.
inline std::unique_ptr<Session> newSession(const QTemporaryDir &dir) {
    static int run = 0;
    return std::make_unique<Session>(dir.filePath(QStringLiteral("store%1/s.sqlite3").arg(++run)));
}

inline void writeBytes(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A file's bytes, or "<missing>".
inline QByteArray readBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
