#pragma once

#include "history/historywindow.h"

#include <QObject>
#include <QPointer>

class MainWindow;

// Opens the clipboard history's window, from the File menu and the tray's command menu.
class HistoryCommands : public QObject {
    Q_OBJECT
public:
    explicit HistoryCommands(MainWindow &main);

    void showHistory();
    HistoryWindow *historyWindow() const { return m_window; }

private:
    MainWindow &m_main;
    QPointer<HistoryWindow> m_window;
};
