#pragma once

#include <QObject>

class FrmSnapvale;

// Naming an entry and opening an entry's text as a web address.
class QuickCommands : public QObject {
    Q_OBJECT
public:
    explicit QuickCommands(FrmSnapvale &main);

    void mnuNameEntry_Click();
    void mnuConnect_Click();

private:
    void reportIfEmpty(int n);

    FrmSnapvale &m_main;
};
