#pragma once

#include "core/settingsstore.h"
#include "main/entrytext.h"
#include "main/mainwindow.h"
#include "support/scripteddesktop.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A connection that Qt cannot make (a null sender, a signal that does not exist) fails the test
// that made it. Qt's own tray icon asks the offscreen platform for a signal only X11 has; that
// one line is not ours and is dropped.
inline void failOnBadConnections() {
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &text) {
            if (!text.contains(QLatin1String("QPlatformNativeInterface::systemTrayWindowChanged")))
                previous(type, context, text);
        });
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^QObject::connect")));
}

// One run of the program over a store that outlives it, so that a test can start it again, and
// the scripted desktop in place of the real one.
struct Session {
    explicit Session(const QString &path)
        : store(path)
        , session((failOnBadConnections(), store))
        , window(session, desktop) {}

    // Loads the window and shows it, as the program does at start.
    void start() {
        window.loadAtStart();
        window.show();
    }

    // A menu item by its objectName, as automation finds it; a misspelt name fails the test.
    QAction *item(const char *name) {
        QAction *found = window.findChild<QAction *>(QLatin1String(name));
        if (!found)
            qFatal("no menu item %s", name);
        return found;
    }
    QMenu *menu(const char *name) {
        QMenu *found = window.findChild<QMenu *>(QLatin1String(name));
        if (!found)
            qFatal("no menu %s", name);
        return found;
    }
    QString stored(const QString &section, const QString &key) { return store.get(section, key); }
    void setEntry(int n, const QString &text, const QString &name = QStringLiteral("Untitled")) {
        session.entries().setEntry(n, text, name);
    }
    QString text(int n) { return session.entries().text(n); }
    QString name(int n) { return session.entries().name(n); }

    SettingsStore store;
    EntrySession session;
    ScriptedDesktop desktop;
    MainWindow window;
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
