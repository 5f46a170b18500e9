#pragma once

class FrmSnapvale;

// Gives the main window every command of the feature folders. The main window owns them.
void installCommands(FrmSnapvale &main);
