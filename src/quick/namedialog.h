#pragma once

#include <QDialog>

class MainWindow;
class QLineEdit;
class QPushButton;

// Names one entry. One name field and one OK button carry the entry's number in their names
// (TxtEntryName for entry 1, TxtEntryName7 and CmdOKName7 for entry 7); OK stores the typed
// name, an empty one as "Untitled". The window deletes itself when it closes.
class NameDialog : public QDialog {
    Q_OBJECT
public:
    NameDialog(MainWindow &main, int n);

    QLineEdit *nameField() const { return m_name; }
    QPushButton *okButton() const { return m_ok; }
    void acceptName();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    MainWindow &m_main;
    int m_n;
    QLineEdit *m_name;
    QPushButton *m_ok;
};
