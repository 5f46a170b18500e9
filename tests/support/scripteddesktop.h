#pragma once

#include "platform/desktop.h"

#include <QList>
#include <QPointer>
#include <QStringList>

#include <algorithm>
#include <functional>

// A desktop that tests script: what the clipboard holds and whether it fails, what the next
// file dialogs answer, and a record of every message, beep, opened target, stacking change and
// popup menu.
class ScriptedDesktop : public Desktop {
public:
    // The clipboard's plain text; the empty string when it holds none.
    QString clipboard;
    // False for a clipboard that holds an image or files but no text.
    bool holdsText = true;
    // The text carries the password managers' mark; any other copy takes it away.
    bool clipboardSecret = false;
    // How many of the next clipboard reads, or writes (clear or set), fail.
    int failingReads = 0;
    int failingWrites = 0;
    // How many times the clipboard's text was read.
    int clipboardReads = 0;

    // Answers of the next file dialogs, in order: a path, or the empty string for a cancel.
    // With none left, a dialog is cancelled.
    QStringList nextFiles;
    QList<FileDialogRequest> fileDialogs;
    // Runs while a file dialog is open: what the program does meanwhile.
    std::function<void()> duringFileDialog;

    QStringList messages;
    // Answers of the next questions, as button indexes; with none left, a question gets its
    // escape answer. Each question asked is also kept in `questions`.
    QList<int> nextAnswers;
    QStringList questions;
    // Runs while a message is "shown", as the user would see it: with the caller still waiting.
    std::function<void(const QString &)> onMessage;
    int beeps = 0;

    QStringList openedTargets;
    bool openSucceeds = true;

    struct StackCall {
        QPointer<QWidget> window;
        bool topmost;
    };
    QList<StackCall> stackCalls;

    struct Popup {
        QPointer<QMenu> menu;
        QPointer<QAction> defaultAction;
        QPoint at;
    };
    QList<Popup> popups;

    bool trayIsAvailable = true;

    // The window that has the keyboard, and each paste sent there; a target whose method is None
    // cannot be pasted into.
    PasteTarget target;
    QList<PasteTarget> pastes;
    QStringList notices;

    bool clearClipboard() override;
    bool clipboardText(QString &text) override;
    bool clipboardHoldsText() override { return holdsText; }
    bool setClipboardText(const QString &text) override;
    bool setClipboardSecret(const QByteArray &utf8) override;
    bool clipboardIsSecret() override { return clipboardSecret; }
    // Runs right after the clipboard's text was read: another program changing it meanwhile.
    std::function<void()> afterTextRead;
    // The text and the mark, as the formats a real clipboard holds.
    Contents clipboardContents() override;
    bool setClipboardContents(const Contents &contents) override;
    void watchClipboard(std::function<bool()> wanted,
                        std::function<void(const ClipboardText &)> onCopy) override {
        m_wanted = std::move(wanted);
        m_onCopy = std::move(onCopy);
    }
    // Another program copies `text` (marked by a password manager when `secret`): the clipboard
    // holds it, and the program hears of it as from a real clipboard.
    void copyByAnotherProgram(const QString &text, bool secret = false) {
        clipboard = text;
        clipboardSecret = secret;
        if (m_onCopy && m_wanted())
            m_onCopy({text, secret, {}, {}});
    }
    QString chooseFile(QWidget *parent, const FileDialogRequest &request) override;
    void message(QWidget *parent, const QString &text) override;
    int ask(QWidget *parent, const QString &text, const QStringList &buttons, int defaultButton,
            int escapeButton) override;
    void beep() override { ++beeps; }
    // Answers of the next number prompts; with none left, a prompt is cancelled.
    QList<int> nextNumbers;
    bool askNumber(QWidget *, const QString &, int minimum, int maximum, int *value) override {
        if (nextNumbers.isEmpty())
            return false;
        *value = std::clamp(nextNumbers.takeFirst(), minimum, maximum);
        return true;
    }
    bool openTarget(const QString &target) override;
    void setStackOrder(QWidget *window, bool topmost) override;
    void popupMenu(QMenu *menu, QAction *defaultAction, const QPoint &at) override;
    bool trayAvailable() const override { return trayIsAvailable; }
    PasteTarget keyboardTarget() override { return target; }
    bool pasteInto(const PasteTarget &t) override;
    void notice(const QString &text) override { notices << text; }

private:
    std::function<bool()> m_wanted;
    std::function<void(const ClipboardText &)> m_onCopy;
};
