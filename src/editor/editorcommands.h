#pragma once

#include <QObject>

class EditorWindow;
class MainWindow;

// Opens an entry in the editor, from a click on its text or from the entry menu.
class EditorCommands : public QObject {
    Q_OBJECT
public:
    explicit EditorCommands(MainWindow &main);

    EditorWindow *openEditor(int n);

private:
    MainWindow &m_main;
};
