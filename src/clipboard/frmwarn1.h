#pragma once

#include <QDialog>

#include <array>

class FrmSnapvale;
class QPushButton;

// Asks before the clipboard text replaces entry n. Thirty "&Replace" buttons share one place and
// exactly one, entry n's, is shown: the visible button is the entry replaced. The window deletes
// itself when it closes.
class FrmWarn1 : public QDialog {
    Q_OBJECT
public:
    FrmWarn1(FrmSnapvale &main, int n);

    QPushButton *CmdYes(int n) const { return m_cmdYes[n]; }
    // Stores the clipboard text in entry n and closes; on a clipboard failure, says so and stays.
    void CmdYes_Click(int n);
    void CmdAbort_Click() { reject(); }

private:
    FrmSnapvale &m_main;
    std::array<QPushButton *, 31> m_cmdYes{};
};
