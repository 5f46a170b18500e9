#include "app/commands.h"

#include "clipboard/clipboardcommands.h"
#include "editor/editorcommands.h"
#include "help/helpwindows.h"
#include "history/historycommands.h"
#include "picker/pickercommands.h"
#include "quick/quickcommands.h"
#include "sets/setcommands.h"

void installCommands(MainWindow &main, EntrySession &session) {
    new ClipboardCommands(main, session);
    new EditorCommands(main);
    new HelpCommands(main);
    new HistoryCommands(main);
    new QuickCommands(main);
    new SetCommands(main, session);
    new PickerCommands(main, session);
}
