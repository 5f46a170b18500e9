#pragma once

#include "core/entrystore.h"

#include <QDialog>

#include <array>

class MainWindow;
class QLabel;
class QPushButton;

// Asks before the clipboard text replaces entry n. Thirty "&Replace" buttons share one place and
// exactly one, entry n's, is shown: the visible button is the entry replaced. The dialog only
// asks: "&Replace" emits replaceChosen() and the command that opened it decides whether it
// closes. The window deletes itself when it closes.
class ReplaceDialog : public QDialog {
    Q_OBJECT
public:
    // `standalone`: a window of its own rather than one that belongs to the main window, which
    // may be hidden or minimised (compositors hide what belongs to such a window).
    ReplaceDialog(MainWindow &main, int n, bool standalone = false);

    int entry() const { return m_n; }
    // The entry changed while the question was open: it asks again, about the text it holds now.
    void askAgain();
    QPushButton *replaceButton(int n) const { return m_cmdYes[EntryStore::index(n)]; }

signals:
    void replaceChosen(int n);

private:
    int m_n;
    QLabel *m_question = nullptr;
    QPushButton *m_cancel = nullptr;
    std::array<QPushButton *, EntryStore::Count> m_cmdYes{};
};
