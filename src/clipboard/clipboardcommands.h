#pragma once

#include "main/mainwindow.h"

#include <QObject>
#include <QPointer>

class EntrySession;
class QPoint;
class ReplaceDialog;

// Pasting into entries (asking first when an entry holds text), the entry menu, copying,
// clearing, and saving the clipboard to a file.
class ClipboardCommands : public QObject {
    Q_OBJECT
public:
    ClipboardCommands(MainWindow &main, EntrySession &session);

    // A numbered button released: the left button pastes, the right one opens the entry menu.
    void onNumberedButton(int n, Qt::MouseButton button, const QPoint &at);
    // Pastes into entry n, asking first when it holds text.
    void paste(int n);
    // The same for the command line: the clipboard is read now, a question already open comes
    // forward instead of another, and `done` learns whether the text was pasted.
    void pasteForCommand(int n, const MainWindow::PasteDone &done);
    void copy(int n);
    void saveClipboard();

private:
    // Stores the clipboard text in entry n as "Untitled". On a clipboard failure the user is told
    // and the entry stays as it was; the result says whether the paste happened.
    bool pasteInto(int n);

    MainWindow &m_main;
    EntrySession &m_session;
    QPointer<ReplaceDialog> m_question;
};
