#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>

class MainWindow;
class QListWidget;
class QTextBrowser;

// The help window: a contents page and one page per area of the program. Not modal; it stays
// open on its own, also after Exit, until it is closed.
class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(MainWindow &main);

    int pageCount() const;
    QString pageTitle(int page) const;
    void showPage(int page);
    int currentPage() const;
    QTextBrowser *browser() const { return m_browser; }

private:
    QListWidget *m_contents;
    QTextBrowser *m_browser;
};

// The About box: name, version, what it is for, and the licence.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(MainWindow &main);
};

// "&Contents" and "&About Snapvale" on the Help menu.
class HelpCommands : public QObject {
    Q_OBJECT
public:
    explicit HelpCommands(MainWindow &main);

    HelpWindow *showHelp();
    AboutDialog *showAbout();

private:
    MainWindow &m_main;
    QPointer<HelpWindow> m_help;
};
