#pragma once

class MainWindow;

// Gives the main window every command of the feature folders. The main window owns them.
void installCommands(MainWindow &main);
