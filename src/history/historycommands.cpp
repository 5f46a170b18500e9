#include "history/historycommands.h"

#include "main/mainwindow.h"

#include <QAction>
#include <QLineEdit>

HistoryCommands::HistoryCommands(MainWindow &main)
    : QObject(&main)
    , m_main(main) {
    connect(main.actions().historyWindow, &QAction::triggered, this, &HistoryCommands::showHistory);
    connect(main.actions().trayHistory, &QAction::triggered, this, &HistoryCommands::showHistory);
}

void HistoryCommands::showHistory() {
    if (!m_window)
        m_window = new HistoryWindow(m_main);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    m_window->filterField()->setFocus();
}
