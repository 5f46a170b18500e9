#pragma once

class EntrySession;
class MainWindow;

// Gives the main window every command of the feature folders over the session it shows. The main
// window owns them.
void installCommands(MainWindow &main, EntrySession &session);
