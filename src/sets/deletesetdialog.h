#pragma once

#include <QDialog>

class MainWindow;

// Confirms the deletion of an entry set: "&Delete" removes the set's section and then its file,
// "&Cancel" and the close box delete nothing. The window deletes itself when it closes.
class DeleteSetDialog : public QDialog {
    Q_OBJECT
public:
    // `path` names both the set file and its section.
    DeleteSetDialog(MainWindow &main, const QString &caption, const QString &path);

    QString setPath() const { return m_path; }
    void deleteSet();

private:
    MainWindow &m_main;
    const QString m_path;
};
