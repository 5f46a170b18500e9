#include "app/commands.h"

#include "clipboard/clipboardcommands.h"
#include "quick/quickcommands.h"

void installCommands(FrmSnapvale &main)
{
    new ClipboardCommands(main);
    new QuickCommands(main);
}
