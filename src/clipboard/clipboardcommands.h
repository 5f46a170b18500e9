#pragma once

#include "main/mainwindow.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

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
    // Stores a text (a history item) in entry n as "Untitled", asking first when it holds text.
    void store(int n, const QString &text);
    void saveClipboard();

private:
    // Stores the clipboard text in entry n as "Untitled". On a clipboard failure the user is told
    // and the entry stays as it was; the result says whether the paste happened.
    bool pasteInto(int n);
    // Opens a replace question for entry n, one of those tracked. `replace` runs on Replace only
    // while the entry holds what it held when asked; otherwise the question asks again.
    ReplaceDialog *ask(int n, bool standalone, const std::function<void(ReplaceDialog *)> &replace);
    ReplaceDialog *openQuestion() const;

    MainWindow &m_main;
    EntrySession &m_session;
    // Every replace question open, whoever opened it.
    QList<QPointer<ReplaceDialog>> m_questions;
    // Exit was chosen: a question closing now was not answered.
    bool m_exiting = false;
};
