<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AboutDialog</name>
    <message>
        <source>About Snapvale</source>
        <translation>Über Snapvale</translation>
    </message>
    <message>
        <source>&lt;h3&gt;Snapvale %1&lt;/h3&gt;&lt;p&gt;Thirty clippings of text, one click away.&lt;/p&gt;&lt;p&gt;Free software under the MIT License.&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Snapvale %1&lt;/h3&gt;&lt;p&gt;Dreißig Textschnipsel, einen Klick entfernt.&lt;/p&gt;&lt;p&gt;Freie Software unter der MIT-Lizenz.&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>Autostart</name>
    <message>
        <source>the folder cannot be made</source>
        <translation>der Ordner kann nicht angelegt werden</translation>
    </message>
</context>
<context>
    <name>ClipboardCommands</name>
    <message>
        <source>The clipboard holds no text.</source>
        <translation>Die Zwischenablage enthält keinen Text.</translation>
    </message>
    <message>
        <source>Save Clipboard As...</source>
        <translation>Zwischenablage speichern unter...</translation>
    </message>
    <message>
        <source>Entry %1 could not be changed: the Secret Service did not keep or give its text.<byte value="xd"/>
%2<byte value="xd"/>
Nothing else was changed.</source>
        <translation>Eintrag %1 konnte nicht geändert werden: Der Geheimnisdienst hat seinen Text nicht aufbewahrt oder nicht herausgegeben.<byte value="xd"/>
%2<byte value="xd"/>
Sonst wurde nichts geändert.</translation>
    </message>
</context>
<context>
    <name>ClippingsWindow</name>
    <message>
        <source>Add Frequently Used Clippings</source>
        <translation>Häufig verwendete Schnipsel bearbeiten</translation>
    </message>
    <message>
        <source>Clipping %1</source>
        <translation>Schnipsel %1</translation>
    </message>
</context>
<context>
    <name>CopyAge</name>
    <message>
        <source>now</source>
        <translation>jetzt</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 Min.</translation>
    </message>
    <message>
        <source>%1 h</source>
        <translation>%1 Std.</translation>
    </message>
    <message>
        <source>%1 d</source>
        <translation>%1 T.</translation>
    </message>
    <message>
        <source>Copied just now</source>
        <translation>Gerade eben kopiert</translation>
    </message>
    <message>
        <source>Copied 1 minute ago</source>
        <translation>Vor 1 Minute kopiert</translation>
    </message>
    <message>
        <source>Copied %1 minutes ago</source>
        <translation>Vor %1 Minuten kopiert</translation>
    </message>
    <message>
        <source>Copied 1 hour ago</source>
        <translation>Vor 1 Stunde kopiert</translation>
    </message>
    <message>
        <source>Copied %1 hours ago</source>
        <translation>Vor %1 Stunden kopiert</translation>
    </message>
    <message>
        <source>Copied 1 day ago</source>
        <translation>Vor 1 Tag kopiert</translation>
    </message>
    <message>
        <source>Copied %1 days ago</source>
        <translation>Vor %1 Tagen kopiert</translation>
    </message>
</context>
<context>
    <name>DeleteSetDialog</name>
    <message>
        <source>Are you sure you&apos;d like to delete this set?</source>
        <translation>Soll dieses Set wirklich gelöscht werden?</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
</context>
<context>
    <name>Desktop</name>
    <message>
        <source>Error copying to clipboard. Please retry.</source>
        <translation>Fehler beim Kopieren in die Zwischenablage. Bitte erneut versuchen.</translation>
    </message>
    <message>
        <source>Error accessing clipboard. Please retry.</source>
        <translation>Fehler beim Zugriff auf die Zwischenablage. Bitte erneut versuchen.</translation>
    </message>
    <message>
        <source>The clipboard holds no text.</source>
        <translation>Die Zwischenablage enthält keinen Text.</translation>
    </message>
    <message>
        <source>Snapvale could not write %1<byte value="xd"/>
%2</source>
        <translation>Snapvale konnte %1 nicht schreiben<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>Snapvale could not read %1<byte value="xd"/>
%2</source>
        <translation>Snapvale konnte %1 nicht lesen<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>Text Files (*.txt);;All Files (*.*)</source>
        <translation>Textdateien (*.txt);;Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Entry Sets (*.ent)</source>
        <translation>Eintrags-Sets (*.ent)</translation>
    </message>
    <message>
        <source>Entry %1 is secret, and the Secret Service did not give its text: it may be locked.</source>
        <translation>Eintrag %1 ist geheim, und der Geheimnisdienst hat seinen Text nicht herausgegeben: Er ist vielleicht gesperrt.</translation>
    </message>
    <message>
        <source>The Secret Service did not give the text of entry %1: it may be locked.</source>
        <translation>Der Geheimnisdienst hat den Text von Eintrag %1 nicht herausgegeben: Er ist vielleicht gesperrt.</translation>
    </message>
    <message>
        <source>Entry %1 is secret. Save its text to a file, where anyone who can read the file can read it?</source>
        <translation>Eintrag %1 ist geheim. Seinen Text in eine Datei speichern, wo jeder ihn lesen kann, der die Datei lesen kann?</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>The copied text could not be read from the settings file.</source>
        <translation>Der kopierte Text konnte nicht aus der Einstellungsdatei gelesen werden.</translation>
    </message>
</context>
<context>
    <name>EditorCommands</name>
    <message>
        <source>The Secret Service did not give the text of entry %1: it may be locked.</source>
        <translation>Der Geheimnisdienst hat den Text von Eintrag %1 nicht herausgegeben: Er ist vielleicht gesperrt.</translation>
    </message>
    <message>
        <source>Show the secret text of entry %1?</source>
        <translation>Den geheimen Text von Eintrag %1 anzeigen?</translation>
    </message>
    <message>
        <source>&amp;Show</source>
        <translation>&amp;Anzeigen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>A&amp;bbrechen</translation>
    </message>
</context>
<context>
    <name>EditorWindow</name>
    <message>
        <source>Open File</source>
        <translation>Datei öffnen</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Datei speichern</translation>
    </message>
    <message>
        <source>Close Text Editor</source>
        <translation>Editor schließen</translation>
    </message>
    <message>
        <source>Copy Entry to Clipboard</source>
        <translation>Eintrag in die Zwischenablage kopieren</translation>
    </message>
    <message>
        <source>Copy Entry to Clipboard / Close Text Editor</source>
        <translation>Eintrag in die Zwischenablage kopieren / Editor schließen</translation>
    </message>
    <message>
        <source>Update Existing Entry</source>
        <translation>Bestehenden Eintrag aktualisieren</translation>
    </message>
    <message>
        <source>Add New or Replace Entire Entry</source>
        <translation>Neu hinzufügen oder ganzen Eintrag ersetzen</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>Ö&amp;ffnen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save &amp;As...</source>
        <translation>Speichern &amp;unter...</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>Cu&amp;t</source>
        <translation>&amp;Ausschneiden</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Einfügen</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>&amp;Select All</source>
        <translation>Alles &amp;markieren</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;Enlarge</source>
        <translation>&amp;Vergrößern</translation>
    </message>
    <message>
        <source>&amp;Default</source>
        <translation>&amp;Standardgröße</translation>
    </message>
    <message>
        <source>Discard the changes to this text?</source>
        <translation>Die Änderungen an diesem Text verwerfen?</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>&amp;Verwerfen</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Text Files (*.txt);;Entry Sets (*.ent);;All Files (*.*)</source>
        <translation>Textdateien (*.txt);;Eintrags-Sets (*.ent);;Alle Dateien (*.*)</translation>
    </message>
    <message>
        <source>Entry #1 Updated</source>
        <translation>Eintrag Nr. 1 aktualisiert</translation>
    </message>
    <message>
        <source>Entry #%1 Updated.</source>
        <translation>Eintrag Nr. %1 aktualisiert.</translation>
    </message>
    <message>
        <source>Entry #%1 Added.</source>
        <translation>Eintrag Nr. %1 hinzugefügt.</translation>
    </message>
    <message>
        <source>Entry %1 changed while the editor was open.<byte value="xd"/>
Write this text over the text it holds now?</source>
        <translation>Eintrag %1 hat sich geändert, während der Editor offen war.<byte value="xd"/>
Diesen Text über den schreiben, den er jetzt enthält?</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Ersetzen</translation>
    </message>
</context>
<context>
    <name>EntrySession</name>
    <message>
        <source>Snapvale did not end properly last time. Your entries were recovered as they were then.<byte value="xd"/>
&quot;Restore Startup Entries&quot; brings back the startup entries.</source>
        <translation>Snapvale wurde beim letzten Mal nicht ordnungsgemäß beendet. Ihre Einträge wurden so wiederhergestellt, wie sie damals waren.<byte value="xd"/>
„Start-Einträge wiederherstellen“ holt die Start-Einträge zurück.</translation>
    </message>
    <message>
        <source>Another Snapvale is running with the settings in %1<byte value="xd"/>
This one keeps no recovery copy and saves nothing when it ends; &quot;Update Startup Entries&quot; and &quot;Save Set&quot; still save.</source>
        <translation>Ein anderes Snapvale läuft bereits mit den Einstellungen in %1<byte value="xd"/>
Dieses hier führt keine Sicherungskopie und speichert beim Beenden nichts; „Start-Einträge aktualisieren“ und „Set speichern“ speichern weiterhin.</translation>
    </message>
    <message>
        <source>The settings file could not be read whole. It was moved aside, and what could still be read from it was kept: %1 of the 30 entries.<byte value="xd"/>
The old file is now:<byte value="xd"/>
%2</source>
        <translation>Die Einstellungsdatei konnte nicht vollständig gelesen werden. Sie wurde beiseitegelegt, und was noch aus ihr gelesen werden konnte, wurde behalten: %1 der 30 Einträge.<byte value="xd"/>
Die alte Datei ist jetzt:<byte value="xd"/>
%2</translation>
    </message>
    <message>
        <source>Snapvale cannot keep changes in %1<byte value="xd"/>
%2<byte value="xd"/>
What you change now is lost when Snapvale ends.</source>
        <translation>Snapvale kann keine Änderungen in %1 speichern<byte value="xd"/>
%2<byte value="xd"/>
Was Sie jetzt ändern, geht beim Beenden von Snapvale verloren.</translation>
    </message>
    <message>
        <source>No Secret Service is available.</source>
        <translation>Kein Geheimnisdienst ist verfügbar.</translation>
    </message>
    <message>
        <source>The Secret Service did not give the text of entry %1.</source>
        <translation>Der Geheimnisdienst hat den Text von Eintrag %1 nicht herausgegeben.</translation>
    </message>
    <message>
        <source>Its text could not be read from the settings file.</source>
        <translation>Sein Text konnte nicht aus der Einstellungsdatei gelesen werden.</translation>
    </message>
    <message>
        <source>Entry %1 changed while the Secret Service was asked; it was not made secret.</source>
        <translation>Eintrag %1 hat sich geändert, während der Geheimnisdienst gefragt wurde; er wurde nicht geheim gemacht.</translation>
    </message>
</context>
<context>
    <name>EntryStore</name>
    <message>
        <source>This text is too large for an entry. An entry holds at most %1 bytes of text (UTF-8), and nothing was changed.</source>
        <translation>Dieser Text ist zu groß für einen Eintrag. Ein Eintrag fasst höchstens %1 Byte Text (UTF-8); es wurde nichts geändert.</translation>
    </message>
    <message>
        <source>(locked)</source>
        <translation>(gesperrt)</translation>
    </message>
    <message>
        <source>The text of entry %1 could not be read from the settings file (a damaged part of it, or a read error).</source>
        <translation>Der Text von Eintrag %1 konnte nicht aus der Einstellungsdatei gelesen werden (ein beschädigter Teil davon oder ein Lesefehler).</translation>
    </message>
    <message>
        <source>The texts of entries %1 could not be read from the settings file (a damaged part of it, or a read error).</source>
        <translation>Die Texte der Einträge %1 konnten nicht aus der Einstellungsdatei gelesen werden (ein beschädigter Teil davon oder ein Lesefehler).</translation>
    </message>
    <message>
        <source>Shown as &quot;(unreadable)&quot;, they are copied, saved and written nowhere: what the file holds of them stays as it is.</source>
        <translation>Angezeigt als „(unlesbar)“, werden sie nirgends hin kopiert, gespeichert oder geschrieben: Was die Datei davon enthält, bleibt, wie es ist.</translation>
    </message>
    <message>
        <source>(unreadable)</source>
        <translation>(unlesbar)</translation>
    </message>
</context>
<context>
    <name>EntryText</name>
    <message>
        <source>Entry %1</source>
        <translation>Eintrag %1</translation>
    </message>
    <message>
        <source>Entry %1, secret, %2</source>
        <translation>Eintrag %1, geheim, %2</translation>
    </message>
</context>
<context>
    <name>GlobalShortcut</name>
    <message>
        <source>This desktop lets no program take a key for itself.</source>
        <translation>Dieser Desktop lässt kein Programm eine Taste für sich belegen.</translation>
    </message>
    <message>
        <source>The key %1 is not on this keyboard.</source>
        <translation>Die Taste %1 gibt es auf dieser Tastatur nicht.</translation>
    </message>
    <message>
        <source>Another program already uses %1.</source>
        <translation>Ein anderes Programm verwendet %1 bereits.</translation>
    </message>
</context>
<context>
    <name>HelpPages</name>
    <message>
        <source>Contents</source>
        <translation>Inhalt</translation>
    </message>
    <message>
        <source>Entries</source>
        <translation>Einträge</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Entries&lt;/h2&gt;&lt;p&gt;The window shows six tabs of five entries. Each entry has a numbered button, a line that shows the start of its text, and a copy button.&lt;/p&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;Store the clipboard:&lt;/b&gt; click the numbered button (or focus it and press Space or Enter). An empty entry takes the text at once; an entry that holds text, even just spaces, asks first whether to replace it. A stored entry is named &quot;Untitled&quot;.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Copy back:&lt;/b&gt; click the copy button at the right of the entry. Spaces at the start and end are left out; tabs and line breaks are kept.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Name:&lt;/b&gt; rest the mouse on an entry&apos;s text to see its name.&lt;/li&gt;&lt;li&gt;&lt;b&gt;View or edit:&lt;/b&gt; click the entry&apos;s text (or focus it and press Enter).&lt;/li&gt;&lt;/ul&gt;</source>
        <translation>&lt;h2&gt;Einträge&lt;/h2&gt;&lt;p&gt;Das Fenster zeigt sechs Reiter mit je fünf Einträgen. Jeder Eintrag hat eine nummerierte Schaltfläche, eine Zeile mit dem Anfang seines Texts und eine Kopierschaltfläche.&lt;/p&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;Zwischenablage ablegen:&lt;/b&gt; die nummerierte Schaltfläche anklicken (oder auswählen und Leertaste oder Eingabetaste drücken). Ein leerer Eintrag nimmt den Text sofort; ein Eintrag mit Text, auch nur mit Leerzeichen, fragt zuerst, ob er ersetzt werden soll. Ein abgelegter Eintrag heißt „Untitled“.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Zurückkopieren:&lt;/b&gt; die Kopierschaltfläche rechts neben dem Eintrag anklicken. Leerzeichen am Anfang und Ende fallen weg; Tabulatoren und Zeilenumbrüche bleiben.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Name:&lt;/b&gt; die Maus auf dem Text eines Eintrags ruhen lassen, um seinen Namen zu sehen.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Ansehen oder bearbeiten:&lt;/b&gt; den Text des Eintrags anklicken (oder auswählen und Eingabetaste drücken).&lt;/li&gt;&lt;/ul&gt;</translation>
    </message>
    <message>
        <source>The entry menu</source>
        <translation>Das Eintragsmenü</translation>
    </message>
    <message>
        <source>&lt;h2&gt;The entry menu&lt;/h2&gt;&lt;p&gt;Right-click a numbered button, or focus it and press the context-menu key or Shift+F10.&lt;/p&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;Paste From Clipboard&lt;/b&gt; and &lt;b&gt;Copy To Clipboard&lt;/b&gt; do what the left click and the copy button do.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Load Entry&lt;/b&gt; fills the entry from a text file; &lt;b&gt;Save Entry As...&lt;/b&gt; writes its text to one. Only the text travels, never the name.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Name Entry&lt;/b&gt; gives an entry that holds text a name; an empty name gives &quot;Untitled&quot;.&lt;/li&gt;&lt;li&gt;&lt;b&gt;View/Edit Entry&lt;/b&gt; opens the editor.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Clear Entry&lt;/b&gt; empties the entry; &lt;b&gt;Restore Startup Entry&lt;/b&gt; brings back the entry as it was at start (or at the last Update Startup Entries).&lt;/li&gt;&lt;li&gt;&lt;b&gt;Connect to URL&lt;/b&gt; opens the entry&apos;s text with your desktop&apos;s default program, usually the web browser.&lt;/li&gt;&lt;/ul&gt;</source>
        <translation>&lt;h2&gt;Das Eintragsmenü&lt;/h2&gt;&lt;p&gt;Eine nummerierte Schaltfläche mit der rechten Maustaste anklicken, oder sie auswählen und die Kontextmenütaste oder Umschalt+F10 drücken.&lt;/p&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;Aus Zwischenablage einfügen&lt;/b&gt; und &lt;b&gt;In Zwischenablage kopieren&lt;/b&gt; tun, was der Linksklick und die Kopierschaltfläche tun.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Eintrag laden&lt;/b&gt; füllt den Eintrag aus einer Textdatei; &lt;b&gt;Eintrag speichern unter...&lt;/b&gt; schreibt seinen Text in eine. Nur der Text reist mit, nie der Name.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Eintrag benennen&lt;/b&gt; gibt einem Eintrag mit Text einen Namen; ein leerer Name ergibt „Untitled“.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Eintrag anzeigen/bearbeiten&lt;/b&gt; öffnet den Editor.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Eintrag leeren&lt;/b&gt; leert den Eintrag; &lt;b&gt;Start-Eintrag wiederherstellen&lt;/b&gt; holt den Eintrag zurück, wie er beim Start war (oder beim letzten Start-Einträge aktualisieren).&lt;/li&gt;&lt;li&gt;&lt;b&gt;URL öffnen&lt;/b&gt; öffnet den Text des Eintrags mit dem Standardprogramm Ihres Desktops, meist dem Webbrowser.&lt;/li&gt;&lt;/ul&gt;</translation>
    </message>
    <message>
        <source>The editor</source>
        <translation>Der Editor</translation>
    </message>
    <message>
        <source>Sets and files</source>
        <translation>Sets und Dateien</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Sets and files&lt;/h2&gt;&lt;p&gt;&lt;b&gt;Save Set&lt;/b&gt; (Ctrl+S) keeps all 30 entries under a file name you choose. The small set file only points to the entries, which are kept in Snapvale&apos;s own store under the file&apos;s full path. &lt;b&gt;Load Set&lt;/b&gt; (Ctrl+L) brings them back, &lt;b&gt;Delete Set&lt;/b&gt; (Ctrl+D) removes them and the set file.&lt;/p&gt;&lt;p&gt;A set file that was moved or renamed still loads. If no set is stored for the file you pick, Snapvale says so and changes nothing. Delete Set deletes only set files.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Sets und Dateien&lt;/h2&gt;&lt;p&gt;&lt;b&gt;Set speichern&lt;/b&gt; (Strg+S) sichert alle 30 Einträge unter einem Dateinamen Ihrer Wahl. Die kleine Set-Datei verweist nur auf die Einträge, die in Snapvales eigenem Speicher unter dem vollen Pfad der Datei liegen. &lt;b&gt;Set laden&lt;/b&gt; (Strg+L) holt sie zurück, &lt;b&gt;Set entfernen&lt;/b&gt; (Strg+D) löscht sie und die Set-Datei.&lt;/p&gt;&lt;p&gt;Eine verschobene oder umbenannte Set-Datei lädt weiterhin. Ist zu der gewählten Datei kein Set gespeichert, sagt Snapvale das und ändert nichts. Set entfernen löscht nur Set-Dateien.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>The tray and frequent clippings</source>
        <translation>Infobereich und häufige Schnipsel</translation>
    </message>
    <message>
        <source>&lt;h2&gt;The tray and frequent clippings&lt;/h2&gt;&lt;p&gt;While the window is hidden, left-click the tray icon for a list of all entries (one click copies an entry) and of the frequently used clippings; right-click it for the commands: Show Snapvale, Load Set, Restore Startup Entries, Save Clipboard As and Exit.&lt;/p&gt;&lt;p&gt;The 20 frequently used clippings are short texts you use often. Edit them with &lt;b&gt;Edit List&lt;/b&gt; under &lt;b&gt;Frequently Used&lt;/b&gt;; closing that window keeps what you typed.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Infobereich und häufige Schnipsel&lt;/h2&gt;&lt;p&gt;Solange das Fenster ausgeblendet ist, öffnet ein Linksklick auf das Symbol im Infobereich eine Liste aller Einträge (ein Klick kopiert einen Eintrag) und der häufig verwendeten Schnipsel; ein Rechtsklick öffnet die Befehle: Snapvale anzeigen, Set laden, Start-Einträge wiederherstellen, Zwischenablage speichern unter und Beenden.&lt;/p&gt;&lt;p&gt;Die 20 häufig verwendeten Schnipsel sind kurze Texte, die Sie oft brauchen. Bearbeiten Sie sie mit &lt;b&gt;Liste bearbeiten&lt;/b&gt; unter &lt;b&gt;Häufig verwendet&lt;/b&gt;; beim Schließen dieses Fensters bleibt erhalten, was Sie getippt haben.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Options&lt;/h2&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;Always on Top&lt;/b&gt; keeps Snapvale&apos;s windows above others.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Active on Mouseover&lt;/b&gt; makes the window active when the mouse moves over an entry.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Auto-Save on Exit&lt;/b&gt; writes the entries as the startup entries whenever the program ends or its window is closed. Without it, the startup entries change only with &lt;b&gt;Update Startup Entries&lt;/b&gt;.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Hide in Tray&lt;/b&gt; hides the window; &lt;b&gt;Clear All&lt;/b&gt; and &lt;b&gt;Clear Tab&lt;/b&gt; empty entries; &lt;b&gt;Restore Startup Entries&lt;/b&gt; brings back all startup entries.&lt;/li&gt;&lt;/ul&gt;&lt;p&gt;Options are stored at once.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Optionen&lt;/h2&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;Immer im Vordergrund&lt;/b&gt; hält Snapvales Fenster über anderen.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Bei Mausberührung aktivieren&lt;/b&gt; macht das Fenster aktiv, wenn die Maus über einen Eintrag fährt.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Beim Beenden automatisch speichern&lt;/b&gt; schreibt die Einträge als Start-Einträge, wann immer das Programm endet oder sein Fenster geschlossen wird. Ohne diese Option ändern sich die Start-Einträge nur mit &lt;b&gt;Start-Einträge aktualisieren&lt;/b&gt;.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Im Infobereich ausblenden&lt;/b&gt; blendet das Fenster aus; &lt;b&gt;Alle leeren&lt;/b&gt; und &lt;b&gt;Reiter leeren&lt;/b&gt; leeren Einträge; &lt;b&gt;Start-Einträge wiederherstellen&lt;/b&gt; holt alle Start-Einträge zurück.&lt;/li&gt;&lt;/ul&gt;&lt;p&gt;Optionen werden sofort gespeichert.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Where your data is kept</source>
        <translation>Wo Ihre Daten liegen</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Where your data is kept&lt;/h2&gt;&lt;p&gt;Everything is in one file, readable by you alone: &lt;tt&gt;~/.local/share/Snapvale/settings.sqlite3&lt;/tt&gt; (or under &lt;tt&gt;$XDG_DATA_HOME&lt;/tt&gt;).&lt;/p&gt;&lt;p&gt;Saving the entries is all or nothing: a crash or a power cut leaves the old entries or the new ones, never a mix. If the file cannot be read, Snapvale moves it aside, starts afresh, and tells you where the old file is.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Wo Ihre Daten liegen&lt;/h2&gt;&lt;p&gt;Alles liegt in einer Datei, die nur Sie lesen können: &lt;tt&gt;~/.local/share/Snapvale/settings.sqlite3&lt;/tt&gt; (oder unter &lt;tt&gt;$XDG_DATA_HOME&lt;/tt&gt;).&lt;/p&gt;&lt;p&gt;Das Speichern der Einträge geschieht ganz oder gar nicht: ein Absturz oder Stromausfall hinterlässt die alten Einträge oder die neuen, nie eine Mischung. Kann die Datei nicht gelesen werden, legt Snapvale sie beiseite, beginnt neu und sagt Ihnen, wo die alte Datei liegt.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>Shortcuts from anywhere</source>
        <translation>Tastenkürzel von überall</translation>
    </message>
    <message>
        <source>Wayland, and desktops without a tray</source>
        <translation>Wayland und Desktops ohne Infobereich</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Wayland, and desktops without a tray&lt;/h2&gt;&lt;p&gt;&lt;b&gt;Wayland&lt;/b&gt; gives the clipboard only to the window that has the focus, and lets no ordinary program stay on top. Where XWayland is there, Snapvale runs through it, so Always on Top and the menu at the pointer work as on X11. To reach the clipboard with its window hidden (from the tray or a shortcut), Snapvale uses wl-clipboard (&lt;tt&gt;wl-copy&lt;/tt&gt;, &lt;tt&gt;wl-paste&lt;/tt&gt;, from the package of that name) on sway, KDE Plasma and other desktops that allow it; on GNOME it uses the X11 clipboard, which GNOME shares with Wayland programs.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Without a tray&lt;/b&gt; (no notification area), closing the window or Hide in Tray minimises it instead of hiding it, so it can always be reached again. Exit on the File menu ends the program.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Wayland und Desktops ohne Infobereich&lt;/h2&gt;&lt;p&gt;&lt;b&gt;Wayland&lt;/b&gt; gibt die Zwischenablage nur dem Fenster mit dem Fokus und lässt kein gewöhnliches Programm im Vordergrund bleiben. Wo XWayland vorhanden ist, läuft Snapvale darüber, sodass Immer im Vordergrund und das Menü am Mauszeiger wie unter X11 funktionieren. Um bei ausgeblendetem Fenster (aus dem Infobereich oder per Tastenkürzel) an die Zwischenablage zu kommen, nutzt Snapvale wl-clipboard (&lt;tt&gt;wl-copy&lt;/tt&gt;, &lt;tt&gt;wl-paste&lt;/tt&gt;, aus dem gleichnamigen Paket) unter sway, KDE Plasma und anderen Desktops, die das erlauben; unter GNOME nutzt es die X11-Zwischenablage, die GNOME mit Wayland-Programmen teilt.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Ohne Infobereich&lt;/b&gt; minimiert das Schließen des Fensters oder Im Infobereich ausblenden das Fenster, statt es auszublenden, sodass es immer wieder erreichbar ist. Beenden im Menü Datei beendet das Programm.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Shortcuts from anywhere&lt;/h2&gt;&lt;p&gt;On X11, &lt;b&gt;Ctrl+Alt+V&lt;/b&gt; opens the entry picker from any program: press an entry&apos;s key (1 to 9, 0, a to t; u to z and Shift+A to Shift+N for the clippings) and its text is pasted where you were typing (&lt;b&gt;Paste After Picking&lt;/b&gt; on the Options menu). &lt;b&gt;/&lt;/b&gt; filters by name and text; Esc closes. &lt;b&gt;Keyboard Shortcut...&lt;/b&gt; on the Options menu changes the key.&lt;/p&gt;&lt;p&gt;One Snapvale runs at a time. Launching it again brings its window forward, and these commands act on the running one (starting it first when none runs):&lt;/p&gt;&lt;ul&gt;&lt;li&gt;&lt;tt&gt;snapvale --menu&lt;/tt&gt;: the entry picker&lt;/li&gt;&lt;li&gt;&lt;tt&gt;snapvale --copy 3&lt;/tt&gt;: entry 3 to the clipboard; &lt;tt&gt;--paste 3&lt;/tt&gt;: the clipboard into entry 3&lt;/li&gt;&lt;li&gt;&lt;tt&gt;snapvale --show&lt;/tt&gt;, &lt;tt&gt;--hide&lt;/tt&gt;, &lt;tt&gt;--toggle&lt;/tt&gt;: the window&lt;/li&gt;&lt;li&gt;&lt;tt&gt;snapvale --get 3&lt;/tt&gt; and &lt;tt&gt;snapvale --list&lt;/tt&gt;: for scripts&lt;/li&gt;&lt;/ul&gt;&lt;p&gt;Bind them to keys in your desktop&apos;s own keyboard settings, for example Super+V to &lt;tt&gt;snapvale --menu&lt;/tt&gt; and Super+1 to &lt;tt&gt;snapvale --copy 1&lt;/tt&gt;:&lt;/p&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;GNOME&lt;/b&gt;: Settings, Keyboard, View and Customise Shortcuts, Custom Shortcuts, +; give a name, the command and the keys.&lt;/li&gt;&lt;li&gt;&lt;b&gt;KDE Plasma&lt;/b&gt;: System Settings, Shortcuts, Add New, Command or Script; give the command, then the keys.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Xfce&lt;/b&gt;: Settings, Keyboard, Application Shortcuts, + Add; give the command, then press the keys.&lt;/li&gt;&lt;li&gt;&lt;b&gt;sway&lt;/b&gt;: a line in &lt;tt&gt;~/.config/sway/config&lt;/tt&gt; such as &lt;tt&gt;bindsym $mod+v exec snapvale --menu&lt;/tt&gt;, then &lt;tt&gt;swaymsg reload&lt;/tt&gt;.&lt;/li&gt;&lt;/ul&gt;</source>
        <translation>&lt;h2&gt;Tastenkürzel von überall&lt;/h2&gt;&lt;p&gt;Unter X11 öffnet &lt;b&gt;Strg+Alt+V&lt;/b&gt; die Eintragsauswahl aus jedem Programm: Drücken Sie die Taste eines Eintrags (1 bis 9, 0, a bis t; u bis z und Umschalt+A bis Umschalt+N für die Schnipsel), und sein Text wird dort eingefügt, wo Sie gerade schreiben (&lt;b&gt;Nach der Auswahl einfügen&lt;/b&gt; im Menü Optionen). &lt;b&gt;/&lt;/b&gt; filtert nach Name und Text; Esc schließt. &lt;b&gt;Tastenkürzel...&lt;/b&gt; im Menü Optionen ändert die Taste.&lt;/p&gt;&lt;p&gt;Es läuft immer nur ein Snapvale. Ein erneuter Start holt sein Fenster nach vorn, und diese Befehle wirken auf das laufende (und starten es zuerst, wenn keines läuft):&lt;/p&gt;&lt;ul&gt;&lt;li&gt;&lt;tt&gt;snapvale --menu&lt;/tt&gt;: die Eintragsauswahl&lt;/li&gt;&lt;li&gt;&lt;tt&gt;snapvale --copy 3&lt;/tt&gt;: Eintrag 3 in die Zwischenablage; &lt;tt&gt;--paste 3&lt;/tt&gt;: die Zwischenablage in Eintrag 3&lt;/li&gt;&lt;li&gt;&lt;tt&gt;snapvale --show&lt;/tt&gt;, &lt;tt&gt;--hide&lt;/tt&gt;, &lt;tt&gt;--toggle&lt;/tt&gt;: das Fenster&lt;/li&gt;&lt;li&gt;&lt;tt&gt;snapvale --get 3&lt;/tt&gt; und &lt;tt&gt;snapvale --list&lt;/tt&gt;: für Skripte&lt;/li&gt;&lt;/ul&gt;&lt;p&gt;Legen Sie sie in den Tastatureinstellungen Ihres Desktops auf Tasten, zum Beispiel Super+V auf &lt;tt&gt;snapvale --menu&lt;/tt&gt; und Super+1 auf &lt;tt&gt;snapvale --copy 1&lt;/tt&gt;:&lt;/p&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;GNOME&lt;/b&gt;: Einstellungen, Tastatur, Tastenkürzel anzeigen und anpassen, Eigene Tastenkürzel, +; Name, Befehl und Tasten angeben.&lt;/li&gt;&lt;li&gt;&lt;b&gt;KDE Plasma&lt;/b&gt;: Systemeinstellungen, Kurzbefehle, Neu hinzufügen, Befehl oder Skript; den Befehl angeben, dann die Tasten.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Xfce&lt;/b&gt;: Einstellungen, Tastatur, Tastenkürzel für Anwendungen, + Hinzufügen; den Befehl angeben, dann die Tasten drücken.&lt;/li&gt;&lt;li&gt;&lt;b&gt;sway&lt;/b&gt;: eine Zeile in &lt;tt&gt;~/.config/sway/config&lt;/tt&gt; wie &lt;tt&gt;bindsym $mod+v exec snapvale --menu&lt;/tt&gt;, dann &lt;tt&gt;swaymsg reload&lt;/tt&gt;.&lt;/li&gt;&lt;/ul&gt;</translation>
    </message>
    <message>
        <source>&lt;h2&gt;The editor&lt;/h2&gt;&lt;p&gt;The editor shows one entry&apos;s text. Edit it with the Edit menu, open and save text files with the File menu, and switch between a large and the default size with the Window menu.&lt;/p&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;Update Existing Entry&lt;/b&gt; (Alt+U) writes the text back and keeps the entry&apos;s name.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Add New or Replace Entire Entry&lt;/b&gt; (Alt+A) writes the text back and names the entry &quot;Untitled&quot;.&lt;/li&gt;&lt;li&gt;The copy buttons put the whole text on the clipboard, without spaces at its ends.&lt;/li&gt;&lt;/ul&gt;&lt;p&gt;Entry files are written in UTF-8: the text and one line break of this system (LF). Loading a file keeps its own line breaks and leaves out one at its very end, so an entry saved and loaded again is the same text. Files from Windows that are not UTF-8 are read as Windows-1252. A line you type in the editor ends as the text&apos;s own lines do, and in a new text with this system&apos;s line break (LF); Save Clipboard As ends the text with it too.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Der Editor&lt;/h2&gt;&lt;p&gt;Der Editor zeigt den Text eines Eintrags. Bearbeiten Sie ihn über das Menü Bearbeiten, öffnen und speichern Sie Textdateien über das Menü Datei, und wechseln Sie über das Menü Fenster zwischen großer und Standardgröße.&lt;/p&gt;&lt;ul&gt;&lt;li&gt;&lt;b&gt;Bestehenden Eintrag aktualisieren&lt;/b&gt; (Alt+U) schreibt den Text zurück und behält den Namen des Eintrags.&lt;/li&gt;&lt;li&gt;&lt;b&gt;Neu hinzufügen oder ganzen Eintrag ersetzen&lt;/b&gt; (Alt+A) schreibt den Text zurück und nennt den Eintrag „Untitled“.&lt;/li&gt;&lt;li&gt;Die Kopierschaltflächen legen den ganzen Text in die Zwischenablage, ohne Leerzeichen an seinen Enden.&lt;/li&gt;&lt;/ul&gt;&lt;p&gt;Eintragsdateien werden in UTF-8 geschrieben: der Text und ein Zeilenumbruch dieses Systems (LF). Beim Laden einer Datei bleiben ihre eigenen Zeilenumbrüche erhalten, nur einer ganz am Ende fällt weg; so ist ein gespeicherter und wieder geladener Eintrag derselbe Text. Dateien von Windows, die nicht UTF-8 sind, werden als Windows-1252 gelesen. Eine Zeile, die Sie im Editor tippen, endet wie die eigenen Zeilen des Texts, und in einem neuen Text mit dem Zeilenumbruch dieses Systems (LF); Zwischenablage speichern unter beendet den Text ebenfalls damit.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;h2&gt;Snapvale&lt;/h2&gt;&lt;p&gt;Snapvale keeps 30 numbered clippings of text, each with a short name, one click away.&lt;/p&gt;&lt;ul&gt;&lt;li&gt;&lt;a href=&apos;#entries&apos;&gt;Entries&lt;/a&gt;: storing and copying text&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#menu&apos;&gt;The entry menu&lt;/a&gt;: everything a numbered button can do&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#editor&apos;&gt;The editor&lt;/a&gt;: viewing and changing an entry&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#sets&apos;&gt;Sets and files&lt;/a&gt;: saving all 30 entries, and single entries&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#tray&apos;&gt;The tray and frequent clippings&lt;/a&gt;&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#history&apos;&gt;The clipboard history&lt;/a&gt;: what you copied&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#options&apos;&gt;Options&lt;/a&gt;&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#data&apos;&gt;Where your data is kept&lt;/a&gt;&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#shortcuts&apos;&gt;Shortcuts from anywhere&lt;/a&gt;: the command line&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#desktops&apos;&gt;Wayland, and desktops without a tray&lt;/a&gt;&lt;/li&gt;&lt;/ul&gt;</source>
        <translation>&lt;h2&gt;Snapvale&lt;/h2&gt;&lt;p&gt;Snapvale hält 30 nummerierte Textschnipsel, jeden mit einem kurzen Namen, einen Klick entfernt.&lt;/p&gt;&lt;ul&gt;&lt;li&gt;&lt;a href=&apos;#entries&apos;&gt;Einträge&lt;/a&gt;: Text ablegen und kopieren&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#menu&apos;&gt;Das Eintragsmenü&lt;/a&gt;: alles, was eine nummerierte Schaltfläche kann&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#editor&apos;&gt;Der Editor&lt;/a&gt;: einen Eintrag ansehen und ändern&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#sets&apos;&gt;Sets und Dateien&lt;/a&gt;: alle 30 Einträge sichern, und einzelne Einträge&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#tray&apos;&gt;Infobereich und häufige Schnipsel&lt;/a&gt;&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#history&apos;&gt;Der Zwischenablage-Verlauf&lt;/a&gt;: was Sie kopiert haben&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#options&apos;&gt;Optionen&lt;/a&gt;&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#data&apos;&gt;Wo Ihre Daten liegen&lt;/a&gt;&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#shortcuts&apos;&gt;Tastenkürzel von überall&lt;/a&gt;: die Befehlszeile&lt;/li&gt;&lt;li&gt;&lt;a href=&apos;#desktops&apos;&gt;Wayland und Desktops ohne Infobereich&lt;/a&gt;&lt;/li&gt;&lt;/ul&gt;</translation>
    </message>
    <message>
        <source>The clipboard history</source>
        <translation>Der Zwischenablage-Verlauf</translation>
    </message>
    <message>
        <source>&lt;h2&gt;The clipboard history&lt;/h2&gt;&lt;p&gt;Snapvale keeps the texts other programs copy, newest first, so that a copy overwritten by the next one is not lost. &lt;b&gt;History...&lt;/b&gt; on the File menu (Ctrl+H) or the tray&apos;s menu shows them: type in the filter field to find one, then &lt;b&gt;Copy&lt;/b&gt; (Enter), &lt;b&gt;Store in Entry...&lt;/b&gt;, &lt;b&gt;Delete&lt;/b&gt; (the Delete key) or &lt;b&gt;Clear History&lt;/b&gt;. The tray&apos;s entry list has the newest ten under &lt;b&gt;Recent&lt;/b&gt;; in the entry picker, Tab and then 1 to 9, 0 pick one of them.&lt;/p&gt;&lt;p&gt;On X11 every copy is kept, the window shown or hidden, and so it is on Wayland under sway, KDE Plasma and other desktops that allow it (through wl-clipboard). GNOME tells a program of the clipboard only while one of its windows has the keyboard: there only what you copy while a Snapvale window is active is kept.&lt;/p&gt;&lt;p&gt;Never kept: a password manager&apos;s copy, the text of a secret entry, Snapvale&apos;s own copies, blank text, texts over 16 MiB and the middle-click selection. The history is kept in Snapvale&apos;s store and never in set files. &lt;b&gt;Keep Clipboard History&lt;/b&gt; on the Options menu turns it off, which clears it; &lt;b&gt;History Size...&lt;/b&gt; sets how many texts it keeps (10 to 10,000). What is deleted or cleared is overwritten in the store.&lt;/p&gt;</source>
        <translation>&lt;h2&gt;Der Zwischenablage-Verlauf&lt;/h2&gt;&lt;p&gt;Snapvale behält die Texte, die andere Programme kopieren, die neuesten zuerst, damit eine Kopie, die von der nächsten überschrieben wird, nicht verloren geht. &lt;b&gt;Verlauf...&lt;/b&gt; im Menü Datei (Strg+H) oder im Menü des Tray-Symbols zeigt sie: Tippen Sie ins Filterfeld, um eine zu finden, dann &lt;b&gt;Kopieren&lt;/b&gt; (Eingabetaste), &lt;b&gt;In Eintrag speichern...&lt;/b&gt;, &lt;b&gt;Löschen&lt;/b&gt; (die Entf-Taste) oder &lt;b&gt;Verlauf leeren&lt;/b&gt;. Die Eintragsliste des Tray-Symbols enthält die neuesten zehn unter &lt;b&gt;Zuletzt kopiert&lt;/b&gt;; in der Eintragsauswahl wählen Tab und dann 1 bis 9, 0 eine davon.&lt;/p&gt;&lt;p&gt;Unter X11 wird jede Kopie behalten, ob das Fenster sichtbar ist oder nicht, und ebenso unter Wayland mit sway, KDE Plasma und anderen Desktops, die es erlauben (über wl-clipboard). GNOME teilt einem Programm die Zwischenablage nur mit, solange eines seiner Fenster die Tastatur hat: Dort wird nur behalten, was Sie kopieren, während ein Fenster von Snapvale aktiv ist.&lt;/p&gt;&lt;p&gt;Nie behalten werden: die Kopie eines Passwortmanagers, der Text eines geheimen Eintrags, Snapvales eigene Kopien, leerer Text, Texte über 16 MiB und die Auswahl für die mittlere Maustaste. Der Verlauf liegt in Snapvales Speicher und nie in Set-Dateien. &lt;b&gt;Zwischenablage-Verlauf behalten&lt;/b&gt; im Menü Optionen schaltet ihn aus und leert ihn dabei; &lt;b&gt;Umfang des Verlaufs...&lt;/b&gt; legt fest, wie viele Texte er behält (10 bis 10.000). Was gelöscht oder geleert wird, wird im Speicher überschrieben.&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>Snapvale Help</source>
        <translation>Snapvale-Hilfe</translation>
    </message>
    <message>
        <source>Help topics</source>
        <translation>Hilfethemen</translation>
    </message>
</context>
<context>
    <name>HistoryModel</name>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>HistoryWindow</name>
    <message>
        <source>Clipboard History</source>
        <translation>Zwischenablage-Verlauf</translation>
    </message>
    <message>
        <source>&amp;Filter:</source>
        <translation>&amp;Filter:</translation>
    </message>
    <message>
        <source>Show only the copies that hold this text</source>
        <translation>Nur die Kopien zeigen, die diesen Text enthalten</translation>
    </message>
    <message>
        <source>Copied texts, newest first</source>
        <translation>Kopierte Texte, die neuesten zuerst</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&amp;Store in Entry...</source>
        <translation>In Eintrag &amp;speichern...</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>C&amp;lear History</source>
        <translation>&amp;Verlauf leeren</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Nothing copied yet: what other programs copy appears here.</source>
        <translation>Noch nichts kopiert: Was andere Programme kopieren, erscheint hier.</translation>
    </message>
    <message>
        <source>The clipboard history is off: Options, Keep Clipboard History turns it on.</source>
        <translation>Der Zwischenablage-Verlauf ist aus: Optionen, Zwischenablage-Verlauf behalten schaltet ihn ein.</translation>
    </message>
    <message>
        <source>No copy holds &quot;%1&quot;.</source>
        <translation>Keine Kopie enthält „%1“.</translation>
    </message>
    <message>
        <source>On the clipboard: %1</source>
        <translation>In der Zwischenablage: %1</translation>
    </message>
    <message>
        <source>The copied text is no longer in the history.</source>
        <translation>Der kopierte Text ist nicht mehr im Verlauf.</translation>
    </message>
    <message>
        <source>Clear the clipboard history? All %1 copied texts in it are removed for good.</source>
        <translation>Den Zwischenablage-Verlauf leeren? Alle %1 kopierten Texte darin werden endgültig entfernt.</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>&amp;Leeren</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
</context>
<context>
    <name>Keyring</name>
    <message>
        <source>The Secret Service refused.</source>
        <translation>Der Geheimnisdienst hat abgelehnt.</translation>
    </message>
    <message>
        <source>No Secret Service is running (such as GNOME Keyring or KeePassXC).</source>
        <translation>Es läuft kein Geheimnisdienst (wie GNOME Keyring oder KeePassXC).</translation>
    </message>
    <message>
        <source>This system has no Secret Service.</source>
        <translation>Dieses System hat keinen Geheimnisdienst.</translation>
    </message>
    <message>
        <source>The Secret Service library could not be loaded: %1</source>
        <translation>Die Bibliothek für den Geheimnisdienst konnte nicht geladen werden: %1</translation>
    </message>
    <message>
        <source>Snapvale ended before the Secret Service answered.</source>
        <translation>Snapvale wurde beendet, bevor der Geheimnisdienst geantwortet hat.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>No name</source>
        <translation>Kein Name</translation>
    </message>
    <message>
        <source>Left-click for list / Right-click for menu</source>
        <translation>Linksklick: Liste / Rechtsklick: Menü</translation>
    </message>
    <message>
        <source>Click Text to View</source>
        <translation>Text anklicken zum Ansehen</translation>
    </message>
    <message>
        <source>Left-click to paste / Right-click for menu</source>
        <translation>Linksklick: einfügen / Rechtsklick: Menü</translation>
    </message>
    <message>
        <source>Paste into entry %1</source>
        <translation>In Eintrag %1 einfügen</translation>
    </message>
    <message>
        <source>Copy Entry to Clipboard</source>
        <translation>Eintrag in die Zwischenablage kopieren</translation>
    </message>
    <message>
        <source>Copy entry %1</source>
        <translation>Eintrag %1 kopieren</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Load Set</source>
        <translation>Set &amp;laden</translation>
    </message>
    <message>
        <source>&amp;Save Set</source>
        <translation>Set &amp;speichern</translation>
    </message>
    <message>
        <source>&amp;Delete Set</source>
        <translation>Set &amp;entfernen</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>&amp;Options</source>
        <translation>&amp;Optionen</translation>
    </message>
    <message>
        <source>&amp;Hide in Tray</source>
        <translation>Im Infobereich &amp;ausblenden</translation>
    </message>
    <message>
        <source>Always on &amp;Top</source>
        <translation>Immer im &amp;Vordergrund</translation>
    </message>
    <message>
        <source>Active on &amp;Mouseover</source>
        <translation>Bei &amp;Mausberührung aktivieren</translation>
    </message>
    <message>
        <source>&amp;Update Startup Entries</source>
        <translation>Start-Einträge a&amp;ktualisieren</translation>
    </message>
    <message>
        <source>Auto-Save on &amp;Exit</source>
        <translation>Beim Beenden automatisch &amp;speichern</translation>
    </message>
    <message>
        <source>Start at &amp;Login</source>
        <translation>Bei der A&amp;nmeldung starten</translation>
    </message>
    <message>
        <source>&amp;Clear All</source>
        <translation>Alle &amp;leeren</translation>
    </message>
    <message>
        <source>Clear Tab</source>
        <translation>Reiter leeren</translation>
    </message>
    <message>
        <source>&amp;Restore Startup Entries</source>
        <translation>Start-Einträge &amp;wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>&amp;About Snapvale</source>
        <translation>Ü&amp;ber Snapvale</translation>
    </message>
    <message>
        <source>List &amp;1  (Tabs 1 - 3)</source>
        <translation>Liste &amp;1  (Reiter 1 - 3)</translation>
    </message>
    <message>
        <source>List &amp;2  (Tabs 4 - 6)</source>
        <translation>Liste &amp;2  (Reiter 4 - 6)</translation>
    </message>
    <message>
        <source>&amp;Frequently Used</source>
        <translation>&amp;Häufig verwendet</translation>
    </message>
    <message>
        <source>&amp;Edit List</source>
        <translation>Liste &amp;bearbeiten</translation>
    </message>
    <message>
        <source>Show &amp;Snapvale</source>
        <translation>&amp;Snapvale anzeigen</translation>
    </message>
    <message>
        <source>Load Set / &amp;Show Snapvale</source>
        <translation>Set laden / Snapvale &amp;anzeigen</translation>
    </message>
    <message>
        <source>Save Clipboard &amp;As...</source>
        <translation>Zwischenablage speichern &amp;unter...</translation>
    </message>
    <message>
        <source>&amp;Paste From Clipboard</source>
        <translation>Aus Zwischenablage &amp;einfügen</translation>
    </message>
    <message>
        <source>&amp;Copy To Clipboard</source>
        <translation>In Zwischenablage &amp;kopieren</translation>
    </message>
    <message>
        <source>&amp;Load Entry</source>
        <translation>Eintrag &amp;laden</translation>
    </message>
    <message>
        <source>&amp;Save Entry As...</source>
        <translation>Eintrag speichern u&amp;nter...</translation>
    </message>
    <message>
        <source>&amp;Name Entry</source>
        <translation>Eintrag &amp;benennen</translation>
    </message>
    <message>
        <source>&amp;View/Edit Entry</source>
        <translation>Eintrag an&amp;zeigen/bearbeiten</translation>
    </message>
    <message>
        <source>Clear &amp;Entry</source>
        <translation>Eintrag lee&amp;ren</translation>
    </message>
    <message>
        <source>&amp;Restore Startup Entry</source>
        <translation>Start-Eintrag &amp;wiederherstellen</translation>
    </message>
    <message>
        <source>Connect to &amp;URL</source>
        <translation>&amp;URL öffnen</translation>
    </message>
    <message>
        <source>The settings file is damaged. It was moved aside, and the entries as Snapvale holds them now, with all else that could still be read from it, were saved in a fresh one.<byte value="xd"/>
The old file is now:<byte value="xd"/>
%1</source>
        <translation>Die Einstellungsdatei ist beschädigt. Sie wurde beiseitegelegt, und die Einträge, wie Snapvale sie jetzt hält, wurden mit allem, was sich noch aus ihr lesen ließ, in einer neuen gespeichert.<byte value="xd"/>
Die alte Datei ist jetzt:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>&amp;Try Again</source>
        <translation>&amp;Erneut versuchen</translation>
    </message>
    <message>
        <source>&amp;Hide Anyway</source>
        <translation>Trotzdem &amp;ausblenden</translation>
    </message>
    <message>
        <source>&amp;Exit Anyway</source>
        <translation>Trotzdem &amp;beenden</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Paste After Picking</source>
        <translation>Nach der Auswahl &amp;einfügen</translation>
    </message>
    <message>
        <source>&amp;Keyboard Shortcut...</source>
        <translation>&amp;Tastenkürzel...</translation>
    </message>
    <message>
        <source>Restore Clip&amp;board After Pasting</source>
        <translation>&amp;Zwischenablage danach wiederherstellen</translation>
    </message>
    <message>
        <source>Secre&amp;t Entry</source>
        <translation>&amp;Geheimer Eintrag</translation>
    </message>
    <message>
        <source>%1 (secret)</source>
        <translation>%1 (geheim)</translation>
    </message>
    <message>
        <source>Clear &amp;Secrets After...</source>
        <translation>&amp;Geheimnisse leeren nach...</translation>
    </message>
    <message>
        <source>Seconds a copied secret entry stays on the clipboard (10 to 300):</source>
        <translation>Sekunden, die ein kopierter geheimer Eintrag in der Zwischenablage bleibt (10 bis 300):</translation>
    </message>
    <message>
        <source>The Secret Service has not yet answered for entry %1; it may be asking you to unlock your keyring.<byte value="xd"/>
Exit anyway? The entry then keeps what it held before.</source>
        <translation>Der Geheimnisdienst hat für Eintrag %1 noch nicht geantwortet; vielleicht bittet er Sie, Ihren Schlüsselbund zu entsperren.<byte value="xd"/>
Trotzdem beenden? Der Eintrag behält dann, was er vorher enthielt.</translation>
    </message>
    <message>
        <source>&amp;Wait</source>
        <translation>&amp;Warten</translation>
    </message>
    <message>
        <source>Snapvale waits for its open window: %1</source>
        <translation>Snapvale wartet auf sein offenes Fenster: %1</translation>
    </message>
    <message>
        <source>Keep Clipboard &amp;History</source>
        <translation>Zwischenablage-Verlauf &amp;behalten</translation>
    </message>
    <message>
        <source>History Si&amp;ze...</source>
        <translation>&amp;Umfang des Verlaufs...</translation>
    </message>
    <message>
        <source>&amp;Clear</source>
        <translation>&amp;Leeren</translation>
    </message>
    <message>
        <source>How many copied texts the clipboard history keeps (10 to 10,000):</source>
        <translation>Wie viele kopierte Texte der Zwischenablage-Verlauf behält (10 bis 10.000):</translation>
    </message>
    <message>
        <source>Stop keeping the clipboard history, and clear all it holds?</source>
        <translation>Den Zwischenablage-Verlauf nicht mehr führen und alles darin löschen?</translation>
    </message>
    <message>
        <source>The clipboard history could not keep a copy: %1</source>
        <translation>Der Zwischenablage-Verlauf konnte eine Kopie nicht behalten: %1</translation>
    </message>
    <message>
        <source>&amp;History...</source>
        <translation>&amp;Verlauf...</translation>
    </message>
    <message>
        <source>&amp;Recent</source>
        <translation>&amp;Zuletzt kopiert</translation>
    </message>
</context>
<context>
    <name>NameDialog</name>
    <message>
        <source>Snapvale - Entry %1</source>
        <translation>Snapvale - Eintrag %1</translation>
    </message>
    <message>
        <source>Enter a name to identify your entry.</source>
        <translation>Geben Sie einen Namen für Ihren Eintrag ein.</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
</context>
<context>
    <name>PickerCommands</name>
    <message>
        <source>Entry %1 copied: press %2</source>
        <translation>Eintrag %1 kopiert: %2 drücken</translation>
    </message>
    <message>
        <source>Clipping %1 copied: press %2</source>
        <translation>Schnipsel %1 kopiert: %2 drücken</translation>
    </message>
    <message>
        <source>History item %1 copied: press %2</source>
        <translation>Verlaufseintrag %1 kopiert: %2 drücken</translation>
    </message>
</context>
<context>
    <name>PickerWindow</name>
    <message>
        <source>Snapvale: pick an entry</source>
        <translation>Snapvale: Eintrag auswählen</translation>
    </message>
    <message>
        <source>Filter by name or text</source>
        <translation>Nach Name oder Text filtern</translation>
    </message>
    <message>
        <source>Filter</source>
        <translation>Filter</translation>
    </message>
    <message>
        <source>Entries and clippings</source>
        <translation>Einträge und Schnipsel</translation>
    </message>
    <message>
        <source>Entry %1, %2: %3</source>
        <translation>Eintrag %1, %2: %3</translation>
    </message>
    <message>
        <source>Clipping %1: %2</source>
        <translation>Schnipsel %1: %2</translation>
    </message>
    <message>
        <source>No entry holds text yet.</source>
        <translation>Noch hält kein Eintrag Text.</translation>
    </message>
    <message>
        <source>Entry %1, secret, %2</source>
        <translation>Eintrag %1, geheim, %2</translation>
    </message>
    <message>
        <source>%1 (secret)</source>
        <translation>%1 (geheim)</translation>
    </message>
    <message>
        <source>Entry %1: %2</source>
        <translation>Eintrag %1: %2</translation>
    </message>
    <message>
        <source>Clipping %1</source>
        <translation>Schnipsel %1</translation>
    </message>
    <message>
        <source>History: 1-9, 0 pick the newest ten; Tab: the entries again; / filter; Esc close</source>
        <translation>Verlauf: 1-9, 0 wählen die neuesten zehn; Tab: wieder die Einträge; / filtern; Esc schließen</translation>
    </message>
    <message>
        <source>1-9, 0, a-t: entries; u-z, Shift+A-N: clippings; Tab, then 1-9, 0: history; / filter; Esc close</source>
        <translation>1-9, 0, a-t: Einträge; u-z, Umschalt+A-N: Schnipsel; Tab, dann 1-9, 0: Verlauf; / filtern; Esc schließen</translation>
    </message>
    <message>
        <source>1-9, 0, a-t: entries; u-z, Shift+A-N: clippings; / filter; Esc close</source>
        <translation>1-9, 0, a-t: Einträge; u-z, Umschalt+A-N: Schnipsel; / filtern; Esc schließen</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>PortalShortcut</name>
    <message>
        <source>Open the Snapvale entry picker</source>
        <translation>Die Eintragsauswahl von Snapvale öffnen</translation>
    </message>
</context>
<context>
    <name>QuickCommands</name>
    <message>
        <source>The selected entry does not exist.</source>
        <translation>Der gewählte Eintrag existiert nicht.</translation>
    </message>
    <message>
        <source>Please be sure the entry is a proper URL.<byte value="xd"/>
(example: https://www.example.com)</source>
        <translation>Bitte prüfen Sie, ob der Eintrag eine gültige Adresse ist.<byte value="xd"/>
(Beispiel: https://www.example.com)</translation>
    </message>
    <message>
        <source>Error executing command.<byte value="xd"/>
Please sign on and retry.</source>
        <translation>Fehler beim Ausführen des Befehls.<byte value="xd"/>
Bitte anmelden und erneut versuchen.</translation>
    </message>
</context>
<context>
    <name>ReplaceDialog</name>
    <message>
        <source>Snapvale - Entry %1</source>
        <translation>Snapvale - Eintrag %1</translation>
    </message>
    <message>
        <source>Replace Existing Text?</source>
        <translation>Vorhandenen Text ersetzen?</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Ersetzen</translation>
    </message>
    <message>
        <source>Entry %1 changed while this question was open.<byte value="xd"/>
Replace the text it holds now?</source>
        <translation>Eintrag %1 hat sich geändert, während diese Frage offen war.<byte value="xd"/>
Den Text ersetzen, den er jetzt enthält?</translation>
    </message>
</context>
<context>
    <name>SetCommands</name>
    <message>
        <source>Save Entry Set</source>
        <translation>Eintrags-Set speichern</translation>
    </message>
    <message>
        <source>Load Entry Set</source>
        <translation>Eintrags-Set laden</translation>
    </message>
    <message>
        <source>This file is not an entry set.</source>
        <translation>Diese Datei ist kein Eintrags-Set.</translation>
    </message>
    <message>
        <source>No entry set is stored for this file.</source>
        <translation>Zu dieser Datei ist kein Eintrags-Set gespeichert.</translation>
    </message>
    <message>
        <source>Delete Entry Set</source>
        <translation>Eintrags-Set löschen</translation>
    </message>
    <message>
        <source>Load Entry</source>
        <translation>Eintrag laden</translation>
    </message>
    <message>
        <source>Save Entry As...</source>
        <translation>Eintrag speichern unter...</translation>
    </message>
    <message>
        <source>The set was saved without the text of the secret entries (%1): secrets stay in the Secret Service.</source>
        <translation>Das Set wurde ohne den Text der geheimen Einträge (%1) gespeichert: Geheimnisse bleiben im Geheimnisdienst.</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; does not exist.</source>
        <translation>Die Datei „%1“ gibt es nicht.</translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>%1 is a link, not the store itself</source>
        <translation>%1 ist eine Verknüpfung, nicht der Speicher selbst</translation>
    </message>
    <message>
        <source>the store cannot be opened</source>
        <translation>der Speicher kann nicht geöffnet werden</translation>
    </message>
    <message>
        <source>the store is open for reading only</source>
        <translation>der Speicher ist nur zum Lesen geöffnet</translation>
    </message>
    <message>
        <source>the folder %1 cannot be made</source>
        <translation>der Ordner %1 kann nicht angelegt werden</translation>
    </message>
    <message>
        <source>%1 is not a folder</source>
        <translation>%1 ist kein Ordner</translation>
    </message>
    <message>
        <source>the folder %1 belongs to another user</source>
        <translation>der Ordner %1 gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>others may write to the folder %1: %2</source>
        <translation>andere dürfen in den Ordner %1 schreiben: %2</translation>
    </message>
    <message>
        <source>%1 is not an ordinary file</source>
        <translation>%1 ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>%1 belongs to another user</source>
        <translation>%1 gehört einem anderen Benutzer</translation>
    </message>
    <message>
        <source>the settings store could not be opened</source>
        <translation>der Einstellungsspeicher konnte nicht geöffnet werden</translation>
    </message>
</context>
<context>
    <name>ShortcutDialog</name>
    <message>
        <source>Keyboard Shortcut</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <source>Press the key that opens the entry picker from any program:</source>
        <translation>Drücken Sie die Taste, die die Eintragsauswahl aus jedem Programm öffnet:</translation>
    </message>
    <message>
        <source>Key for the entry picker</source>
        <translation>Taste für die Eintragsauswahl</translation>
    </message>
    <message>
        <source>&amp;No Key</source>
        <translation>&amp;Keine Taste</translation>
    </message>
    <message>
        <source>This desktop lets no program take a key for itself. Bind this command to a key in the desktop&apos;s keyboard settings:</source>
        <translation>Dieser Desktop lässt kein Programm eine Taste für sich belegen. Legen Sie diesen Befehl in den Tastatureinstellungen des Desktops auf eine Taste:</translation>
    </message>
    <message>
        <source>Command</source>
        <translation>Befehl</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>&lt;ul&gt;&lt;li&gt;&lt;b&gt;GNOME&lt;/b&gt;: Settings, Keyboard, View and Customise Shortcuts, Custom Shortcuts, +&lt;/li&gt;&lt;li&gt;&lt;b&gt;KDE Plasma&lt;/b&gt;: System Settings, Shortcuts, Add New, Command or Script&lt;/li&gt;&lt;li&gt;&lt;b&gt;Xfce&lt;/b&gt;: Settings, Keyboard, Application Shortcuts, + Add&lt;/li&gt;&lt;li&gt;&lt;b&gt;sway&lt;/b&gt;: &lt;tt&gt;bindsym $mod+v exec snapvale --menu&lt;/tt&gt; in &lt;tt&gt;~/.config/sway/config&lt;/tt&gt;, then &lt;tt&gt;swaymsg reload&lt;/tt&gt;&lt;/li&gt;&lt;/ul&gt;</source>
        <translation>&lt;ul&gt;&lt;li&gt;&lt;b&gt;GNOME&lt;/b&gt;: Einstellungen, Tastatur, Tastenkürzel anzeigen und anpassen, Eigene Tastenkürzel, +&lt;/li&gt;&lt;li&gt;&lt;b&gt;KDE Plasma&lt;/b&gt;: Systemeinstellungen, Kurzbefehle, Neu hinzufügen, Befehl oder Skript&lt;/li&gt;&lt;li&gt;&lt;b&gt;Xfce&lt;/b&gt;: Einstellungen, Tastatur, Tastenkürzel für Anwendungen, + Hinzufügen&lt;/li&gt;&lt;li&gt;&lt;b&gt;sway&lt;/b&gt;: &lt;tt&gt;bindsym $mod+v exec snapvale --menu&lt;/tt&gt; in &lt;tt&gt;~/.config/sway/config&lt;/tt&gt;, dann &lt;tt&gt;swaymsg reload&lt;/tt&gt;&lt;/li&gt;&lt;/ul&gt;</translation>
    </message>
    <message>
        <source>&amp;Ask the Desktop for a Key</source>
        <translation>Den Desktop nach einer Taste &amp;fragen</translation>
    </message>
    <message>
        <source>The desktop keeps a key for the entry picker: choose it in the desktop&apos;s keyboard settings.</source>
        <translation>Der Desktop verwaltet eine Taste für die Eintragsauswahl: Wählen Sie sie in den Tastatureinstellungen des Desktops.</translation>
    </message>
    <message>
        <source>The desktop opens the entry picker with %1. Change the key in the desktop&apos;s keyboard settings.</source>
        <translation>Der Desktop öffnet die Eintragsauswahl mit %1. Ändern Sie die Taste in den Tastatureinstellungen des Desktops.</translation>
    </message>
    <message>
        <source>The entry picker has no key.</source>
        <translation>Die Eintragsauswahl hat keine Taste.</translation>
    </message>
    <message>
        <source>Waiting for the desktop&apos;s answer...</source>
        <translation>Warten auf die Antwort des Desktops...</translation>
    </message>
    <message>
        <source>The desktop gave the entry picker no key.</source>
        <translation>Der Desktop hat der Eintragsauswahl keine Taste gegeben.</translation>
    </message>
    <message>
        <source>This desktop keeps no keys for programs.</source>
        <translation>Dieser Desktop verwaltet keine Tasten für Programme.</translation>
    </message>
</context>
<context>
    <name>StoreInDialog</name>
    <message>
        <source>Store in Entry</source>
        <translation>In Eintrag speichern</translation>
    </message>
    <message>
        <source>Store the copied text in &amp;entry:</source>
        <translation>Den kopierten Text in &amp;Eintrag speichern:</translation>
    </message>
    <message>
        <source>%1  (empty)</source>
        <translation>%1  (leer)</translation>
    </message>
    <message>
        <source>%1  %2 (secret)</source>
        <translation>%1  %2 (geheim)</translation>
    </message>
    <message>
        <source>%1  %2: %3</source>
        <translation>%1  %2: %3</translation>
    </message>
    <message>
        <source>&amp;Store</source>
        <translation>&amp;Speichern</translation>
    </message>
</context>
<context>
    <name>Text</name>
    <message>
        <source>This is not an ordinary file.</source>
        <translation>Dies ist keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>This is Snapvale&apos;s own settings store.</source>
        <translation>Dies ist Snapvales eigener Einstellungsspeicher.</translation>
    </message>
</context>
</TS>
