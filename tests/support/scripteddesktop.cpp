#include "support/scripteddesktop.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

bool ScriptedDesktop::clearClipboard() {
    if (failingWrites > 0) {
        --failingWrites;
        return false;
    }
    clipboard.clear();
    return true;
}

bool ScriptedDesktop::clipboardText(QString &text) {
    ++clipboardReads;
    if (failingReads > 0) {
        --failingReads;
        return false;
    }
    text = clipboard;
    if (afterTextRead)
        afterTextRead();
    return true;
}

Desktop::Contents ScriptedDesktop::clipboardContents() {
    if (!holdsText)
        return {};
    Contents contents{{QStringLiteral("text/plain"), clipboard.toUtf8()}};
    if (clipboardSecret)
        contents.append({QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret")});
    return contents;
}

bool ScriptedDesktop::setClipboardContents(const Contents &contents) {
    if (failingWrites > 0) {
        --failingWrites;
        return false;
    }
    clipboard.clear();
    clipboardSecret = false;
    for (const auto &[format, bytes] : contents) {
        if (format == QLatin1String("text/plain"))
            clipboard = QString::fromUtf8(bytes);
        else if (format == QLatin1String("x-kde-passwordManagerHint"))
            clipboardSecret = bytes == "secret";
    }
    return true;
}

bool ScriptedDesktop::setClipboardText(const QString &text) {
    if (failingWrites > 0) {
        --failingWrites;
        return false;
    }
    clipboard = text;
    clipboardSecret = false;
    return true;
}

bool ScriptedDesktop::setClipboardSecret(const QByteArray &utf8) {
    if (!setClipboardUtf8(utf8))
        return false;
    clipboardSecret = true;
    return true;
}

QString ScriptedDesktop::chooseFile(QWidget *, const FileDialogRequest &request) {
    fileDialogs.append(request);
    if (duringFileDialog)
        duringFileDialog();
    return nextFiles.isEmpty() ? QString() : nextFiles.takeFirst();
}

void ScriptedDesktop::message(QWidget *, const QString &text) {
    messages.append(text);
    if (onMessage)
        onMessage(text);
}

int ScriptedDesktop::ask(QWidget *, const QString &text, const QStringList &, int,
                         int escapeButton) {
    questions.append(text);
    return nextAnswers.isEmpty() ? escapeButton : nextAnswers.takeFirst();
}

bool ScriptedDesktop::openTarget(const QString &target) {
    openedTargets.append(target);
    return openSucceeds;
}

void ScriptedDesktop::setStackOrder(QWidget *window, bool topmost) {
    stackCalls.append({window, topmost});
    applyStaysOnTop(window, topmost);
}

void ScriptedDesktop::popupMenu(QMenu *menu, QAction *defaultAction, const QPoint &at) {
    popups.append({menu, defaultAction, at});
}

bool ScriptedDesktop::pasteInto(const PasteTarget &t) {
    if (t.method == PasteTarget::Method::None)
        return false;
    pastes << t;
    return true;
}
