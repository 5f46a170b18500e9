#include "platform/qtdesktop.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QUrl>

namespace {
// ShellExecute's conventions, which callers rely on: above 32 is success, 2 is "not found".
constexpr int openSucceeded = 42;
constexpr int openFailed = 2;
} // namespace

bool QtDesktop::clearClipboard() {
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->clear(QClipboard::Clipboard);
    return true;
}

bool QtDesktop::clipboardText(QString &text) {
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    text = clipboard->text(QClipboard::Clipboard);
    return true;
}

bool QtDesktop::clipboardHoldsText() {
    const QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *data = clipboard ? clipboard->mimeData(QClipboard::Clipboard) : nullptr;
    return data && data->hasText();
}

bool QtDesktop::setClipboardText(const QString &text) {
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(text, QClipboard::Clipboard);
    return true;
}

QString QtDesktop::chooseFile(QWidget *parent, const FileDialogRequest &request) {
    QFileDialog dialog(parent, request.title);
    dialog.setNameFilter(request.filter);
    dialog.setAcceptMode(request.kind == FileDialogRequest::Save ? QFileDialog::AcceptSave
                                                                 : QFileDialog::AcceptOpen);
    // An open dialog also takes a name that does not exist; the command decides what that means.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (!request.initialPath.isEmpty())
        dialog.selectFile(request.initialPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void QtDesktop::message(QWidget *parent, const QString &text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Snapvale"), text, QMessageBox::Ok, parent);
    box.exec();
}

int QtDesktop::ask(QWidget *parent, const QString &text, const QStringList &buttons,
                   int defaultButton, int escapeButton) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Snapvale"), text, QMessageBox::NoButton,
                    parent);
    QList<QAbstractButton *> added;
    for (const QString &caption : buttons)
        added << box.addButton(caption, QMessageBox::ActionRole);
    box.setDefaultButton(qobject_cast<QPushButton *>(added.value(defaultButton)));
    box.setEscapeButton(added.value(escapeButton));
    box.exec();
    const int pressed = int(added.indexOf(box.clickedButton()));
    return pressed < 0 ? escapeButton : pressed;
}

void QtDesktop::beep() {
    QApplication::beep();
}

int QtDesktop::openTarget(const QString &target) {
    if (target.isEmpty())
        return openFailed;
    // The text goes to the opener as one URL: no shell ever sees it.
    QUrl url(target, QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty() || url.scheme().size() == 1)
        url = QFileInfo::exists(target) ? QUrl::fromLocalFile(target) : QUrl::fromUserInput(target);
    if (!url.isValid())
        return openFailed;
    return QDesktopServices::openUrl(url) ? openSucceeded : openFailed;
}

void QtDesktop::setStackOrder(QWidget *window, bool topmost) {
    applyStaysOnTop(window, topmost);
}

void QtDesktop::popupMenu(QMenu *menu, QAction *defaultAction, const QPoint &at) {
    menu->setDefaultAction(defaultAction);
    menu->popup(at);
}

bool QtDesktop::trayAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}
