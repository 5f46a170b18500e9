#include "clipboard/clipboardcommands.h"

#include "clipboard/replacedialog.h"
#include "core/text.h"
#include "main/mainwindow.h"
#include "platform/desktop.h"

#include <QAction>

#include <memory>

ClipboardCommands::ClipboardCommands(MainWindow &main, EntrySession &session)
    : QObject(&main)
    , m_main(main)
    , m_session(session) {
    connect(&main, &MainWindow::numberedButtonReleased, this, &ClipboardCommands::onNumberedButton);
    connect(&main, &MainWindow::copyRequested, this, &ClipboardCommands::copy);
    connect(&main, &MainWindow::pasteRequested, this, &ClipboardCommands::pasteForCommand);
    connect(&main, &MainWindow::storeRequested, this, &ClipboardCommands::store);
    // Exit answers every open question as not answered: nothing is replaced after the save.
    connect(&main, &MainWindow::exiting, this, [this] {
        m_exiting = true;
        const auto questions = m_questions;
        for (const QPointer<ReplaceDialog> &question : questions) {
            if (question)
                question->reject();
        }
        m_exiting = false;
    });

    const MainActions &a = main.actions();
    // The entry menu acts on the entry it was opened for.
    const auto onCurrent = [this, &main](QAction *item, auto command) {
        connect(item, &QAction::triggered, this, [&main, command] {
            if (const int n = main.currentEntry())
                command(n);
        });
    };
    onCurrent(a.paste, [this](int n) { paste(n); });
    onCurrent(a.copy, [this](int n) { copy(n); });
    onCurrent(a.clearEntry, [&session](int n) { session.clearEntry(n); });
    onCurrent(a.secret, [&session](int n) { session.setSecret(n, !session.isSecret(n)); });
    // Shown after the signal's other receivers (a command line's launch waits for its answer).
    connect(
        &session, &EntrySession::secretFailed, this,
        [this](int n, const QString &why) {
            m_main.desktop().message(&m_main,
                                     tr("Entry %1 could not be changed: the Secret Service "
                                        "did not keep or give its text.\r\n%2\r\nNothing "
                                        "else was changed.")
                                         .arg(n)
                                         .arg(why));
        },
        Qt::QueuedConnection);
    connect(a.clearAll, &QAction::triggered, &session, &EntrySession::clearAll);
    connect(a.saveClipboard, &QAction::triggered, this, &ClipboardCommands::saveClipboard);
    for (int tab = 1; tab <= int(a.clearTab.size()); ++tab)
        connect(a.clearTab[tab - 1], &QAction::triggered, this,
                [&session, tab] { session.clearTab(tab); });
}

bool ClipboardCommands::pasteInto(int n) {
    Desktop::ClipboardText read;
    // An image or files on the clipboard would empty the entry: nothing changes instead.
    if (!clipboardHoldsText(m_main.desktop(), &m_main) ||
        !readClipboard(m_main.desktop(), &m_main, &read))
        return false;
    // A password manager's copy becomes a secret entry at once, never passing the store.
    const QString &text = read.text;
    if (!(read.secret ? m_session.setSecretText(n, text) : m_session.setEntryText(n, text))) {
        m_main.desktop().message(&m_main, EntryStore::tooLargeMessage());
        return false;
    }
    return true;
}

void ClipboardCommands::onNumberedButton(int n, Qt::MouseButton button, const QPoint &at) {
    if (button == Qt::LeftButton) {
        paste(n);
    } else if (button == Qt::RightButton) {
        m_main.setCurrentEntry(n);
        m_main.desktop().popupMenu(m_main.menus().entry, nullptr, at);
    }
}

void ClipboardCommands::paste(int n) {
    // Nothing to ask about when there is nothing to paste.
    if (!clipboardHoldsText(m_main.desktop(), &m_main))
        return;
    // Only the empty text counts as empty: spaces are someone's text.
    if (m_session.entries().isEmpty(n)) {
        pasteInto(n);
        return;
    }
    // A paste that fails leaves the question open for another try.
    ask(n, false, [this](ReplaceDialog *question) {
        if (pasteInto(question->entry()))
            question->accept();
    });
}

ReplaceDialog *ClipboardCommands::ask(int n, bool standalone,
                                      const std::function<void(ReplaceDialog *)> &replace) {
    auto *question = new ReplaceDialog(m_main, n, standalone);
    m_questions.removeAll(nullptr);
    m_questions << question;
    auto asked = std::make_shared<quint64>(m_session.entries().textVersion(n));
    connect(question, &ReplaceDialog::replaceChosen, this, [this, question, asked, replace](int) {
        const int entry = question->entry();
        const quint64 now = m_session.entries().textVersion(entry);
        if (now != *asked) {
            *asked = now;
            question->askAgain();
            return;
        }
        replace(question);
    });
    question->open();
    return question;
}

ReplaceDialog *ClipboardCommands::openQuestion() const {
    for (const QPointer<ReplaceDialog> &question : m_questions) {
        if (question && question->isVisible())
            return question;
    }
    return nullptr;
}

void ClipboardCommands::pasteForCommand(int n, const MainWindow::PasteDone &done) {
    // One question at a time: stacked ones would each ask for the keyboard.
    if (ReplaceDialog *open = openQuestion()) {
        open->raise();
        open->activateWindow();
        done(MainWindow::QuestionOpen,
             QStringLiteral("the question about entry %1 is still open").arg(open->entry()));
        return;
    }
    // What is pasted is what the clipboard held when the command came, whatever happens to it
    // while the question waits. The launch says what went wrong; no window needs to.
    Desktop &desktop = m_main.desktop();
    if (!desktop.clipboardHoldsText()) {
        done(MainWindow::NothingToPaste, QStringLiteral("the clipboard holds no text"));
        return;
    }
    Desktop::ClipboardText read;
    if (!desktop.readClipboard(&read)) {
        done(MainWindow::NothingToPaste, QStringLiteral("the clipboard cannot be read"));
        return;
    }
    const QString text = read.text;
    const bool secret = read.secret;
    if (!EntryStore::fits(text)) {
        done(MainWindow::NothingToPaste, QStringLiteral("the text is too large for an entry"));
        return;
    }
    // A password manager's copy is pasted once the Secret Service has kept it: a refusal
    // (the entry as it was) ends with its reason.
    const auto store = [this, text, secret, done](int entry) {
        if (!secret) {
            m_session.setEntryText(entry, text);
            done(0, QString());
            return;
        }
        // Its size was checked above.
        m_session.setSecretText(entry, text, [done](bool kept, const QString &why) {
            done(kept ? 0 : MainWindow::SecretRefused, why);
        });
    };
    if (m_session.entries().isEmpty(n)) {
        store(n);
        return;
    }
    // Asked from a shortcut, mostly while the window is away: the question is a window of its
    // own, so that every compositor shows it. (Under Wayland a minimised window cannot even be
    // told from a shown one.)
    auto replaced = std::make_shared<bool>(false);
    ReplaceDialog *question = ask(n, true, [replaced](ReplaceDialog *question) {
        *replaced = true;
        question->accept();
    });
    connect(question, &QDialog::finished, this, [this, done, replaced, store, n] {
        if (*replaced)
            store(n);
        else if (m_exiting)
            done(MainWindow::Kept,
                 QStringLiteral("Snapvale was exited before the question about entry %1 was "
                                "answered; the entry kept its text")
                     .arg(n));
        else
            done(MainWindow::Kept, QStringLiteral("entry %1 kept its text").arg(n));
    });
}

void ClipboardCommands::store(int n, const QString &text) {
    const auto put = [this, text](int entry) {
        if (!m_session.setEntryText(entry, text))
            m_main.desktop().message(&m_main, EntryStore::tooLargeMessage());
    };
    if (m_session.entries().isEmpty(n)) {
        put(n);
        return;
    }
    // Asked from the history window, perhaps with the main window hidden: a window of its own.
    ask(n, !m_main.isVisible(), [put](ReplaceDialog *question) {
        put(question->entry());
        question->accept();
    });
}

void ClipboardCommands::copy(int n) {
    copyEntry(m_main.desktop(), &m_main, m_session, n);
}

void ClipboardCommands::saveClipboard() {
    Desktop &desktop = m_main.desktop();
    // Said before the dialog: choosing a file for nothing and then ending in silence helps nobody.
    QString text;
    if (!desktop.clipboardText(text) || text.isEmpty()) {
        desktop.message(&m_main, tr("The clipboard holds no text."));
        return;
    }
    const QString path =
        desktop.chooseFile(&m_main, {FileDialogRequest::Save, tr("Save Clipboard As..."),
                                     FileFilter::text(), QString(), true});
    if (path.isEmpty())
        return;
    QString error;
    if (!Text::writeFileAtomically(path, text + Text::lineBreak(), &error))
        showWriteFailure(desktop, &m_main, path, error);
}
