#pragma once

#include <QString>

class Desktop;
class QWidget;

// The open/save dialog as the file commands use it: they set Filter, Flags and DialogTitle,
// show it, and read FileName and FileTitle. A cancel leaves FileName as it was, so commands of a
// shared dialog set FileName back to empty when they end and read an empty name as a cancel.
class FileDialog {
public:
    enum Flag { OverwritePrompt = 2, HideReadOnly = 4 };

    FileDialog(Desktop &desktop, QWidget *owner)
        : m_desktop(desktop)
        , m_owner(owner) {}

    // "Name (*.txt)|*.txt|All Files (*.*)|*.*", as the commands give it.
    QString Filter;
    int Flags = 0;
    QString DialogTitle;
    // Full path of the chosen file, and its name without the folder.
    QString FileName;
    QString FileTitle;

    // Sets the filter, the flags and the title of the next showing.
    void prepare(const QString &filter, int flags, const QString &title) {
        Filter = filter;
        Flags = flags;
        DialogTitle = title;
    }

    // True when a file was chosen, false for a cancel.
    bool ShowOpen();
    bool ShowSave();

    // "A (*.a)|*.a|B (*.b)|*.b" becomes "A (*.a);;B (*.b)".
    static QString qtFilter(const QString &filter);

private:
    bool show(bool save);

    Desktop &m_desktop;
    QWidget *m_owner;
};

// Sets the dialog's FileName back to empty when a command ends, whichever way it ends, so that
// the next command of a shared dialog reads an empty name as a cancel.
class FileNameReset {
public:
    explicit FileNameReset(FileDialog &dialog)
        : m_dialog(dialog) {}
    ~FileNameReset() { m_dialog.FileName.clear(); }
    FileNameReset(const FileNameReset &) = delete;
    FileNameReset &operator=(const FileNameReset &) = delete;

private:
    FileDialog &m_dialog;
};
