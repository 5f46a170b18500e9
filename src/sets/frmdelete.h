#pragma once

#include "core/registry.h"

#include <QDialog>

class FrmSnapvale;
class QLabel;

// Confirms the deletion of an entry set: "&Delete" removes the set's section and then its file,
// "&Cancel" and the close box delete nothing. The window deletes itself when it closes.
class FrmDelete : public QDialog {
    Q_OBJECT
public:
    // `target` names both the section and the file to delete.
    FrmDelete(FrmSnapvale &main, const QString &caption, const QString &target);

    QLabel *LblKill() const { return m_lblKill; }
    void CmdDelete_Click();
    void CmdCancel_Click() { reject(); }

private:
    Registry m_reg;
    QLabel *m_lblKill;
};
