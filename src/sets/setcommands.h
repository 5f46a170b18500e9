#pragma once

#include <QObject>

class FrmSnapvale;

// Entry sets (save, load, delete all 30 entries under a file's path) and single-entry text
// files (load an entry from a file, save it to one).
class SetCommands : public QObject {
    Q_OBJECT
public:
    explicit SetCommands(FrmSnapvale &main);

    void SaveSetMnu_Click();
    void LoadMnu_Click();
    void mnuLoad_Click() { LoadMnu_Click(); }
    void mnuLoad2_Click();
    void DeleteMnu_Click();
    void mnuLoad1_Click();
    void mnuSaveEntry_Click();

private:
    bool loadSet();

    FrmSnapvale &m_main;
};
