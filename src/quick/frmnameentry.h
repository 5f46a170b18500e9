#pragma once

#include <QDialog>

class FrmSnapvale;
class QLineEdit;
class QPushButton;

// Names one entry. One name field and one OK button carry the entry's number in their names
// (TxtEntryName for entry 1, TxtEntryName7 and CmdOKName7 for entry 7); OK stores the typed
// name, an empty one as "Untitled". The window deletes itself when it closes.
class FrmNameEntry : public QDialog {
    Q_OBJECT
public:
    FrmNameEntry(FrmSnapvale &main, int n);

    QLineEdit *TxtEntryName() const { return m_name; }
    QPushButton *CmdOKName() const { return m_ok; }
    void CmdOKName_Click();
    void CmdCancel_Click() { reject(); }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    FrmSnapvale &m_main;
    int m_n;
    QLineEdit *m_name;
    QPushButton *m_ok;
};
