#include "help/helppages.h"

#include <QtGlobal>

const HelpPage helpPages[] = {
    {"contents", QT_TRANSLATE_NOOP("HelpPages", "Contents"),
     QT_TRANSLATE_NOOP(
         "HelpPages",
         "<h2>Snapvale</h2>"
         "<p>Snapvale keeps 30 numbered clippings of text, each with a short name, one click "
         "away.</p>"
         "<ul>"
         "<li><a href='#entries'>Entries</a>: storing and copying text</li>"
         "<li><a href='#menu'>The entry menu</a>: everything a numbered button can do</li>"
         "<li><a href='#editor'>The editor</a>: viewing and changing an entry</li>"
         "<li><a href='#sets'>Sets and files</a>: saving all 30 entries, and single entries</li>"
         "<li><a href='#tray'>The tray and frequent clippings</a></li>"
         "<li><a href='#history'>The clipboard history</a>: what you copied</li>"
         "<li><a href='#options'>Options</a></li>"
         "<li><a href='#data'>Where your data is kept</a></li>"
         "<li><a href='#shortcuts'>Shortcuts from anywhere</a>: the command line</li>"
         "<li><a href='#desktops'>Wayland, and desktops without a tray</a></li>"
         "</ul>")},
    {"entries", QT_TRANSLATE_NOOP("HelpPages", "Entries"),
     QT_TRANSLATE_NOOP(
         "HelpPages",
         "<h2>Entries</h2>"
         "<p>The window shows six tabs of five entries. Each entry has a numbered button, a line "
         "that shows the start of its text, and a copy button.</p>"
         "<ul>"
         "<li><b>Store the clipboard:</b> click the numbered button (or focus it and press Space "
         "or Enter). An empty entry takes the text at once; an entry that holds text, even just "
         "spaces, asks first whether to replace it. A stored entry is named \"Untitled\".</li>"
         "<li><b>Copy back:</b> click the copy button at the right of the entry. Spaces at the "
         "start and end are left out; tabs and line breaks are kept.</li>"
         "<li><b>Name:</b> rest the mouse on an entry's text to see its name.</li>"
         "<li><b>View or edit:</b> click the entry's text (or focus it and press Enter).</li>"
         "</ul>")},
    {"menu", QT_TRANSLATE_NOOP("HelpPages", "The entry menu"),
     QT_TRANSLATE_NOOP(
         "HelpPages",
         "<h2>The entry menu</h2>"
         "<p>Right-click a numbered button, or focus it and press the context-menu key or "
         "Shift+F10.</p>"
         "<ul>"
         "<li><b>Paste From Clipboard</b> and <b>Copy To Clipboard</b> do what the left click "
         "and the copy button do.</li>"
         "<li><b>Load Entry</b> fills the entry from a text file; <b>Save Entry As...</b> writes "
         "its text to one. Only the text travels, never the name.</li>"
         "<li><b>Name Entry</b> gives an entry that holds text a name; an empty name gives "
         "\"Untitled\".</li>"
         "<li><b>View/Edit Entry</b> opens the editor.</li>"
         "<li><b>Clear Entry</b> empties the entry; <b>Restore Startup Entry</b> brings back the "
         "entry as it was at start (or at the last Update Startup Entries).</li>"
         "<li><b>Connect to URL</b> opens the entry's text with your desktop's default program, "
         "usually the web browser.</li>"
         "</ul>")},
    {"editor", QT_TRANSLATE_NOOP("HelpPages", "The editor"),
     QT_TRANSLATE_NOOP(
         "HelpPages",
         "<h2>The editor</h2>"
         "<p>The editor shows one entry's text. Edit it with the Edit menu, open and save text "
         "files with the File menu, and switch between a large and the default size with the "
         "Window menu.</p>"
         "<ul>"
         "<li><b>Update Existing Entry</b> (Alt+U) writes the text back and keeps the entry's "
         "name.</li>"
         "<li><b>Add New or Replace Entire Entry</b> (Alt+A) writes the text back and names the "
         "entry \"Untitled\".</li>"
         "<li>The copy buttons put the whole text on the clipboard, without spaces at its "
         "ends.</li>"
         "</ul>"
         "<p>Entry files are written in UTF-8: the text and one line break of this system (LF). "
         "Loading a file keeps its own line breaks and leaves out one at its very end, so an "
         "entry saved and loaded again is the same text. Files from Windows that are not UTF-8 "
         "are read as Windows-1252. A line you type in the editor ends as the text's own lines "
         "do, and in a new text with this system's line break (LF); Save Clipboard As ends the "
         "text with it too.</p>")},
    {"sets", QT_TRANSLATE_NOOP("HelpPages", "Sets and files"),
     QT_TRANSLATE_NOOP(
         "HelpPages",
         "<h2>Sets and files</h2>"
         "<p><b>Save Set</b> (Ctrl+S) keeps all 30 entries under a file name you choose. The "
         "small set file only points to the entries, which are kept in Snapvale's own store "
         "under the file's full path. <b>Load Set</b> (Ctrl+L) brings them back, <b>Delete "
         "Set</b> (Ctrl+D) removes them and the set file.</p>"
         "<p>A set file that was moved or renamed still loads. If no set is stored for the file "
         "you pick, Snapvale says so and changes nothing. Delete Set deletes only set files.</p>")},
    {"tray", QT_TRANSLATE_NOOP("HelpPages", "The tray and frequent clippings"),
     QT_TRANSLATE_NOOP(
         "HelpPages",
         "<h2>The tray and frequent clippings</h2>"
         "<p>While the window is hidden, left-click the tray icon for a list of all entries (one "
         "click copies an entry) and of the frequently used clippings; right-click it for the "
         "commands: Show Snapvale, Load Set, Restore Startup Entries, Save Clipboard As and "
         "Exit.</p>"
         "<p>The 20 frequently used clippings are short texts you use often. Edit them with "
         "<b>Edit List</b> under <b>Frequently Used</b>; closing that window keeps what you "
         "typed.</p>")},
    {"history", QT_TRANSLATE_NOOP("HelpPages", "The clipboard history"),
     QT_TRANSLATE_NOOP(
         "HelpPages",
         "<h2>The clipboard history</h2>"
         "<p>Snapvale keeps the texts other programs copy, newest first, so that a copy "
         "overwritten by the next one is not lost. <b>History...</b> on the File menu (Ctrl+H) "
         "or the tray's menu shows them: type in the filter field to find one, then "
         "<b>Copy</b> (Enter), <b>Store in Entry...</b>, <b>Delete</b> (the Delete key) or "
         "<b>Clear History</b>. The tray's entry list has the newest ten under <b>Recent</b>; in "
         "the entry picker, Tab and then 1 to 9, 0 pick one of them.</p>"
         "<p>On X11 every copy is kept, the window shown or hidden, and so it is on Wayland "
         "under sway, KDE Plasma and other desktops that allow it (through wl-clipboard). GNOME "
         "tells a program of the clipboard only while one of its windows has the keyboard: there "
         "only "
         "what you copy while a Snapvale window is active is kept.</p>"
         "<p>Never kept: a password manager's copy, the text of a secret entry, Snapvale's own "
         "copies, blank text, texts over 16 MiB and the middle-click selection. The history is "
         "kept in Snapvale's store and never in set files. <b>Keep Clipboard History</b> on the "
         "Options menu turns it off, which clears it; <b>History Size...</b> sets how many texts "
         "it keeps (10 to 10,000). What is deleted or cleared is overwritten in the store.</p>")},
    {"options", QT_TRANSLATE_NOOP("HelpPages", "Options"),
     QT_TRANSLATE_NOOP(
         "HelpPages",
         "<h2>Options</h2>"
         "<ul>"
         "<li><b>Always on Top</b> keeps Snapvale's windows above others.</li>"
         "<li><b>Active on Mouseover</b> makes the window active when the mouse moves over an "
         "entry.</li>"
         "<li><b>Auto-Save on Exit</b> writes the entries as the startup entries whenever the "
         "program ends or its window is closed. Without it, the startup entries change only with "
         "<b>Update Startup Entries</b>.</li>"
         "<li><b>Hide in Tray</b> hides the window; <b>Clear All</b> and <b>Clear Tab</b> empty "
         "entries; <b>Restore Startup Entries</b> brings back all startup entries.</li>"
         "</ul>"
         "<p>Options are stored at once.</p>")},
    {"data", QT_TRANSLATE_NOOP("HelpPages", "Where your data is kept"),
     QT_TRANSLATE_NOOP(
         "HelpPages",
         "<h2>Where your data is kept</h2>"
         "<p>Everything is in one file, readable by you alone: "
         "<tt>~/.local/share/Snapvale/settings.sqlite3</tt> (or under <tt>$XDG_DATA_HOME</tt>).</p>"
         "<p>Saving the entries is all or nothing: a crash or a power cut leaves the old entries "
         "or the new ones, never a mix. If the file cannot be read, Snapvale moves it aside, "
         "starts afresh, and tells you where the old file is.</p>")},
    {"shortcuts", QT_TRANSLATE_NOOP("HelpPages", "Shortcuts from anywhere"),
     QT_TRANSLATE_NOOP(
         "HelpPages",
         "<h2>Shortcuts from anywhere</h2>"
         "<p>On X11, <b>Ctrl+Alt+V</b> opens the entry picker from any program: press an "
         "entry's key (1 to 9, 0, a to t; u to z and Shift+A to Shift+N for the clippings) and "
         "its text is pasted where you were typing (<b>Paste After Picking</b> on the Options "
         "menu). <b>/</b> filters by name and text; Esc closes. <b>Keyboard Shortcut...</b> on "
         "the Options menu changes the key.</p>"
         "<p>One Snapvale runs at a time. Launching it again brings its window forward, and "
         "these commands act on the running one (starting it first when none runs):</p>"
         "<ul>"
         "<li><tt>snapvale --menu</tt>: the entry picker</li>"
         "<li><tt>snapvale --copy 3</tt>: entry 3 to the clipboard; <tt>--paste 3</tt>: the "
         "clipboard into entry 3</li>"
         "<li><tt>snapvale --show</tt>, <tt>--hide</tt>, <tt>--toggle</tt>: the window</li>"
         "<li><tt>snapvale --get 3</tt> and <tt>snapvale --list</tt>: for scripts</li>"
         "</ul>"
         "<p>Bind them to keys in your desktop's own keyboard settings, for example Super+V to "
         "<tt>snapvale --menu</tt> and Super+1 to <tt>snapvale --copy 1</tt>:</p>"
         "<ul>"
         "<li><b>GNOME</b>: Settings, Keyboard, View and Customise Shortcuts, Custom Shortcuts, "
         "+; give a name, the command and the keys.</li>"
         "<li><b>KDE Plasma</b>: System Settings, Shortcuts, Add New, Command or Script; give "
         "the command, then the keys.</li>"
         "<li><b>Xfce</b>: Settings, Keyboard, Application Shortcuts, + Add; give the command, "
         "then press the keys.</li>"
         "<li><b>sway</b>: a line in <tt>~/.config/sway/config</tt> such as <tt>bindsym $mod+v "
         "exec snapvale --menu</tt>, then <tt>swaymsg reload</tt>.</li>"
         "</ul>")},
    {"desktops", QT_TRANSLATE_NOOP("HelpPages", "Wayland, and desktops without a tray"),
     QT_TRANSLATE_NOOP(
         "HelpPages",
         "<h2>Wayland, and desktops without a tray</h2>"
         "<p><b>Wayland</b> gives the clipboard only to the window that has the focus, and lets "
         "no ordinary program stay on top. Where XWayland is there, Snapvale runs through it, so "
         "Always on Top and the menu at the pointer work as on X11. To reach the clipboard with "
         "its window hidden (from the tray or a shortcut), Snapvale uses wl-clipboard "
         "(<tt>wl-copy</tt>, <tt>wl-paste</tt>, from the package of that name) on sway, KDE "
         "Plasma and other desktops that allow it; on GNOME it uses the X11 clipboard, which "
         "GNOME shares with Wayland programs.</p>"
         "<p><b>Without a tray</b> (no notification area), closing the window or Hide in Tray "
         "minimises it instead of hiding it, so it can always be reached again. Exit on the File "
         "menu ends the program.</p>")},
};

const int helpPageCount = int(sizeof helpPages / sizeof helpPages[0]);
