#pragma once

#include <QObject>
#include <QPointer>

class FrmConfigure;
class FrmSnapvale;

// Naming an entry, opening an entry's text as a web address, and the frequently used clippings.
class QuickCommands : public QObject {
    Q_OBJECT
public:
    explicit QuickCommands(FrmSnapvale &main);

    void mnuNameEntry_Click();
    void mnuConnect_Click();
    void mnuConfigure_Click();
    // Puts clipping k, without its leading and trailing spaces, on the clipboard.
    void mnuClipping_Click(int k);
    // The frequent clippings' editor, created hidden when it does not exist yet.
    FrmConfigure *configure();

private:
    void reportIfEmpty(int n);

    FrmSnapvale &m_main;
    QPointer<FrmConfigure> m_configure;
};
