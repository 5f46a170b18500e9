#pragma once

#include <QObject>

class FrmSnapvale;
class FrmText;

// Opens an entry in the editor, from a click on its text or from the entry popup menu.
class EditorCommands : public QObject {
    Q_OBJECT
public:
    explicit EditorCommands(FrmSnapvale &main);

    FrmText *Text_Click(int n);
    void mnuEdit_Click();

private:
    FrmSnapvale &m_main;
};
