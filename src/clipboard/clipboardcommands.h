#pragma once

#include <QObject>

class FrmSnapvale;
class QPoint;

// Pasting into entries (asking first when an entry holds text), the entry popup menu, copying,
// clearing, and saving the clipboard to a file.
class ClipboardCommands : public QObject {
    Q_OBJECT
public:
    explicit ClipboardCommands(FrmSnapvale &main);

    // Stores the clipboard text in entry n as "Untitled". On a clipboard failure the user is told
    // and the entry stays as it was; the result says whether the paste happened.
    static bool pasteInto(FrmSnapvale &main, int n);

    void Cmd_MouseUp(int n, Qt::MouseButton button, const QPoint &at);
    void paste(int n);
    void CmdCopy_Click(int n);
    void clearEntry(int n);
    void clearTab(int tab);
    void ClearMnu_Click();
    void mnuPaste1_Click();
    void mnuCopy1_Click();
    void mnuClear1_Click();
    void mnuClipboard2_Click();

private:
    FrmSnapvale &m_main;
};
