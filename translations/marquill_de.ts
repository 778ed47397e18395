<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Command</name>
    <message>
        <source>New (Ctrl+N)</source>
        <translation>Neu (Strg+N)</translation>
    </message>
    <message>
        <source>Open (Ctrl+O)</source>
        <translation>Öffnen (Strg+O)</translation>
    </message>
    <message>
        <source>Recent Files</source>
        <translation>Zuletzt offen</translation>
    </message>
    <message>
        <source>Save (Ctrl+S)</source>
        <translation>Sichern (Strg+S)</translation>
    </message>
    <message>
        <source>Save As (Ctrl+A)</source>
        <translation>Sichern als (Strg+A)</translation>
    </message>
    <message>
        <source>Save All</source>
        <translation>Alle sichern</translation>
    </message>
    <message>
        <source>Undo (Ctrl+Z)</source>
        <translation>Zurück (Strg+Z)</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederh.</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Find Next</source>
        <translation>Weitersuchen</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Alles wählen</translation>
    </message>
    <message>
        <source>Close (Ctrl+W)</source>
        <translation>Schließen (Strg+W)</translation>
    </message>
    <message>
        <source>Close All</source>
        <translation>Alle schließen</translation>
    </message>
    <message>
        <source>Redo (Ctrl+Y)</source>
        <translation>Wiederherstellen (Strg+Y)</translation>
    </message>
    <message>
        <source>Find Next (F3)</source>
        <translation>Weitersuchen (F3)</translation>
    </message>
</context>
<context>
    <name>DocTabBar</name>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Close Others</source>
        <translation>Andere schließen</translation>
    </message>
    <message>
        <source>Copy Path</source>
        <translation>Pfad kopieren</translation>
    </message>
    <message>
        <source>Open Containing Folder</source>
        <translation>Ordner öffnen</translation>
    </message>
</context>
<context>
    <name>EditorMenu</name>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederherstellen</translation>
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
        <source>Select &amp;All</source>
        <translation>Alles &amp;markieren</translation>
    </message>
    <message>
        <source>Find...</source>
        <translation>Suchen …</translation>
    </message>
    <message>
        <source>Replace...</source>
        <translation>Ersetzen …</translation>
    </message>
    <message>
        <source>Go to Line...</source>
        <translation>Gehe zu Zeile …</translation>
    </message>
    <message>
        <source>Word &amp;Wrap</source>
        <translation>&amp;Zeilenumbruch</translation>
    </message>
    <message>
        <source>Line &amp;Numbers</source>
        <translation>Zeilen&amp;nummern</translation>
    </message>
    <message>
        <source>&amp;Status Line</source>
        <translation>&amp;Statuszeile</translation>
    </message>
</context>
<context>
    <name>Failure</name>
    <message>
        <source>Out of memory</source>
        <translation>Nicht genügend Speicher</translation>
    </message>
    <message>
        <source>Control array element &apos;%1&apos; doesn&apos;t exist</source>
        <translation>Das Steuerelement &apos;%1&apos; des Arrays existiert nicht</translation>
    </message>
    <message>
        <source>Object already loaded</source>
        <translation>Objekt bereits geladen</translation>
    </message>
    <message>
        <source>Can&apos;t unload control array element 0</source>
        <translation>Das Steuerelement 0 des Arrays kann nicht entladen werden</translation>
    </message>
    <message>
        <source>Index out of bounds</source>
        <translation>Index außerhalb des gültigen Bereichs</translation>
    </message>
    <message>
        <source>Subscript out of range</source>
        <translation>Index außerhalb des gültigen Bereichs</translation>
    </message>
    <message>
        <source>File not found</source>
        <translation>Datei nicht gefunden</translation>
    </message>
    <message>
        <source>Path/File access error</source>
        <translation>Fehler beim Zugriff auf Pfad/Datei</translation>
    </message>
    <message>
        <source>Invalid procedure call or argument</source>
        <translation>Ungültiger Prozeduraufruf oder ungültiges Argument</translation>
    </message>
    <message>
        <source>Invalid atom name</source>
        <translation>Ungültiger Atomname</translation>
    </message>
    <message>
        <source>Out of atoms</source>
        <translation>Keine freien Atome mehr</translation>
    </message>
    <message>
        <source>File changed</source>
        <translation>Datei geändert</translation>
    </message>
    <message>
        <source>Path not found</source>
        <translation>Pfad nicht gefunden</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Zugriff verweigert</translation>
    </message>
    <message>
        <source>Disk full</source>
        <translation>Datenträger voll</translation>
    </message>
    <message>
        <source>Bad file name or number</source>
        <translation>Ungültiger Dateiname oder ungültige Dateinummer</translation>
    </message>
    <message>
        <source>Too many files</source>
        <translation>Zu viele Dateien</translation>
    </message>
    <message>
        <source>Device I/O error</source>
        <translation>Ein-/Ausgabefehler des Geräts</translation>
    </message>
    <message>
        <source>; the old content is kept in %1</source>
        <translation>; der alte Inhalt ist in %1 aufbewahrt</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>Keine reguläre Datei</translation>
    </message>
    <message>
        <source>Larger than 16 MB</source>
        <translation>Größer als 16 MB</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>%1<byte value="xd"/>
in Quorvel2021/08/31.Form1.%2 at line %3<byte value="xd"/><byte value="xd"/>Please email screenshot of this message to %4</source>
        <translation>%1<byte value="xd"/>
in Quorvel2021/08/31.Form1.%2 in Zeile %3<byte value="xd"/><byte value="xd"/>Bitte senden Sie ein Bildschirmfoto dieser Meldung per E-Mail an %4</translation>
    </message>
    <message>
        <source>Application Error</source>
        <translation>Anwendungsfehler</translation>
    </message>
    <message>
        <source>%1 was not saved completely. The version before that save was put back.</source>
        <translation>%1 wurde nicht vollständig gespeichert. Der Stand vor diesem Speichern wurde wiederhergestellt.</translation>
    </message>
    <message>
        <source>Exit without saving?</source>
        <translation>Beenden, ohne zu speichern?</translation>
    </message>
    <message>
        <source>Continue Exit</source>
        <translation>Beenden fortsetzen</translation>
    </message>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>the folder %1 cannot be made: %2</source>
        <translation>der Ordner %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>%1 cannot be written</source>
        <translation>%1 kann nicht geschrieben werden</translation>
    </message>
    <message>
        <source>UTF-8 with byte-order mark</source>
        <translation>UTF-8 mit Byte-Order-Mark</translation>
    </message>
    <message>
        <source>UTF-16 little-endian</source>
        <translation>UTF-16 Little-Endian</translation>
    </message>
    <message>
        <source>UTF-16 big-endian</source>
        <translation>UTF-16 Big-Endian</translation>
    </message>
    <message>
        <source>Windows line breaks (CRLF)</source>
        <translation>Windows-Zeilenumbrüche (CRLF)</translation>
    </message>
    <message>
        <source>Unix line breaks (LF)</source>
        <translation>Unix-Zeilenumbrüche (LF)</translation>
    </message>
    <message>
        <source>mixed line breaks, kept as they are</source>
        <translation>gemischte Zeilenumbrüche, unverändert beibehalten</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>Untitled%1.txt</source>
        <translation>Unbenannt%1.txt</translation>
    </message>
    <message>
        <source>Unsaved changes cannot be kept as drafts (%1). Save your documents to keep your changes.</source>
        <translation>Ungespeicherte Änderungen können nicht als Entwürfe aufbewahrt werden (%1). Speichern Sie Ihre Dokumente, um Ihre Änderungen zu behalten.</translation>
    </message>
    <message numerus="yes">
        <source>Marquill did not close normally. Restore %n unsaved documents?</source>
        <translation>
            <numerusform>Marquill wurde nicht normal beendet. %n ungespeichertes Dokument wiederherstellen?</numerusform>
            <numerusform>Marquill wurde nicht normal beendet. %n ungespeicherte Dokumente wiederherstellen?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Delete %n unsaved documents for good?</source>
        <translation>
            <numerusform>%n ungespeichertes Dokument endgültig löschen?</numerusform>
            <numerusform>%n ungespeicherte Dokumente endgültig löschen?</numerusform>
        </translation>
    </message>
    <message>
        <source>The restored documents cannot be kept as drafts (%1). Their old drafts are kept for the next start; save your documents to keep your changes.</source>
        <translation>Die wiederhergestellten Dokumente können nicht als Entwürfe aufbewahrt werden (%1). Ihre alten Entwürfe bleiben für den nächsten Start erhalten; speichern Sie Ihre Dokumente, um Ihre Änderungen zu behalten.</translation>
    </message>
    <message>
        <source>%1 changed on disk after Marquill ended: the unsaved changes cannot be put on its new text. Their draft is kept for the next start.</source>
        <translation>%1 wurde nach dem Ende von Marquill auf dem Datenträger geändert: Die ungespeicherten Änderungen lassen sich nicht auf den neuen Text übertragen. Ihr Entwurf bleibt für den nächsten Start erhalten.</translation>
    </message>
    <message>
        <source>File has been changed. <byte value="xd"/>
Do you want to save changes?</source>
        <translation>Die Datei wurde geändert. <byte value="xd"/>
Möchten Sie die Änderungen speichern?</translation>
    </message>
    <message>
        <source>Save Changes</source>
        <translation>Änderungen speichern</translation>
    </message>
    <message>
        <source>There are some file(s) that has been changed.<byte value="xd"/>
Do you wish to continue closing all files without saving?</source>
        <translation>Einige Dateien wurden geändert.<byte value="xd"/>
Möchten Sie alle Dateien schließen, ohne zu speichern?</translation>
    </message>
    <message>
        <source>Continue Close</source>
        <translation>Schließen fortsetzen</translation>
    </message>
    <message>
        <source>%1 was replaced by something that is not a file. Your text is kept; Save writes it again.</source>
        <translation>%1 wurde durch etwas ersetzt, das keine Datei ist. Ihr Text bleibt erhalten; Sichern schreibt ihn erneut.</translation>
    </message>
    <message>
        <source>%1 was deleted or moved by another program. Your text is kept; Save writes it again.</source>
        <translation>%1 wurde von einem anderen Programm gelöscht oder verschoben. Ihr Text bleibt erhalten; Sichern schreibt ihn erneut.</translation>
    </message>
    <message>
        <source>no such file</source>
        <translation>Datei existiert nicht</translation>
    </message>
    <message>
        <source>a folder, not a file</source>
        <translation>ein Ordner, keine Datei</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Cannot open the file %1.</source>
        <translation>Die Datei %1 kann nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>Cannot open these files:<byte value="xd"/>
%1</source>
        <translation>Diese Dateien können nicht geöffnet werden:<byte value="xd"/>
%1</translation>
    </message>
    <message>
        <source>Text File (*.txt)|*.txt</source>
        <translation>Textdatei (*.txt)|*.txt</translation>
    </message>
    <message>
        <source>Save [%1] As</source>
        <translation>[%1] sichern als</translation>
    </message>
    <message>
        <source>%1 was changed by another program since it was opened. Overwrite it?</source>
        <translation>%1 wurde seit dem Öffnen von einem anderen Programm geändert. Überschreiben?</translation>
    </message>
    <message>
        <source>%1 contains characters that Windows-1252 cannot hold. Save it as UTF-8?</source>
        <translation>%1 enthält Zeichen, die Windows-1252 nicht darstellen kann. Als UTF-8 sichern?</translation>
    </message>
    <message>
        <source>No recent files.</source>
        <translation>Keine zuletzt geöffneten Dateien.</translation>
    </message>
    <message>
        <source>Enter string to search: </source>
        <translation>Suchtext eingeben: </translation>
    </message>
    <message>
        <source>No match is found for the string &apos;%1&apos;</source>
        <translation>Keine Fundstelle für den Text &apos;%1&apos;</translation>
    </message>
    <message>
        <source>No more match found for the string &apos;%1&apos;<byte value="xd"/>
Do you want to start search from the beginning?</source>
        <translation>Keine weitere Fundstelle für den Text &apos;%1&apos;<byte value="xd"/>
Möchten Sie die Suche am Anfang beginnen?</translation>
    </message>
    <message>
        <source>Restart Search</source>
        <translation>Suche neu beginnen</translation>
    </message>
    <message>
        <source>Please use the &apos;Find&apos; feature first and then use this feature.</source>
        <translation>Bitte verwenden Sie zuerst &apos;Suchen&apos; und dann diese Funktion.</translation>
    </message>
    <message>
        <source>Marquill received Ctrl+%1 while another application was active. Marquill&apos;s six shortcuts (Ctrl+N, O, S, A, W, Z) work in every application unless you turn this off. Keep them for every application?</source>
        <translation>Marquill hat Strg+%1 empfangen, während eine andere Anwendung aktiv war. Die sechs Tastenkürzel von Marquill (Strg+N, O, S, A, W, Z) wirken in jeder Anwendung, sofern Sie das nicht abschalten. Sollen sie in jeder Anwendung gelten?</translation>
    </message>
    <message>
        <source>Keep</source>
        <translation>Beibehalten</translation>
    </message>
    <message>
        <source>Only in Marquill</source>
        <translation>Nur in Marquill</translation>
    </message>
    <message>
        <source>Global Shortcuts</source>
        <translation>Globale Tastenkürzel</translation>
    </message>
    <message>
        <source>The settings file %1 cannot be read; it is left as it is</source>
        <translation>Die Einstellungsdatei %1 kann nicht gelesen werden; sie bleibt unverändert</translation>
    </message>
    <message>
        <source>The settings file %1 cannot be written: %2</source>
        <translation>Die Einstellungsdatei %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>%1 was changed by another program. Reload it and lose your changes?</source>
        <translation>%1 wurde von einem anderen Programm geändert. Neu laden und Ihre Änderungen verwerfen?</translation>
    </message>
    <message>
        <source>Mixed</source>
        <translation>Gemischt</translation>
    </message>
    <message>
        <source>Ln %1, Col %2</source>
        <translation>Z %1, Sp %2</translation>
    </message>
    <message>
        <source> | Sel %1</source>
        <translation> | Ausw. %1</translation>
    </message>
    <message>
        <source>Select File</source>
        <translation>Datei auswählen</translation>
    </message>
    <message>
        <source>Text Files (*.txt)|*.txt|All Files (*.*)|*.*</source>
        <translation>Textdateien (*.txt)|*.txt|Alle Dateien (*.*)|*.*</translation>
    </message>
    <message>
        <source>Type the text to find in &quot;Find what:&quot;.</source>
        <translation>Geben Sie den gesuchten Text unter „Suchen nach:“ ein.</translation>
    </message>
    <message>
        <source>No match was found; nothing was replaced.</source>
        <translation>Kein Treffer gefunden; nichts wurde ersetzt.</translation>
    </message>
    <message>
        <source>Replaced 1 match.</source>
        <translation>1 Treffer ersetzt.</translation>
    </message>
    <message>
        <source>Replaced %1 matches.</source>
        <translation>%1 Treffer ersetzt.</translation>
    </message>
</context>
<context>
    <name>LineNumberDialog</name>
    <message>
        <source>Enter a line number.</source>
        <translation>Geben Sie eine Zeilennummer ein.</translation>
    </message>
    <message>
        <source>Enter a whole number from 1 to %1.</source>
        <translation>Geben Sie eine ganze Zahl von 1 bis %1 ein.</translation>
    </message>
    <message>
        <source>Go to Line</source>
        <translation>Gehe zu Zeile</translation>
    </message>
    <message>
        <source>Line number (1–%1):</source>
        <translation>Zeilennummer (1–%1):</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Invalid picture</source>
        <translation>Ungültiges Bild</translation>
    </message>
    <message>
        <source>Skin file cannot be read: %1</source>
        <translation>Die Skin-Datei kann nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>Skin file is not UTF-8 text</source>
        <translation>Die Skin-Datei ist kein UTF-8-Text</translation>
    </message>
    <message>
        <source>Skin file is not a valid style sheet: %1</source>
        <translation>Die Skin-Datei ist kein gültiges Stylesheet: %1</translation>
    </message>
    <message>
        <source>Skin file is not a valid style sheet</source>
        <translation>Die Skin-Datei ist kein gültiges Stylesheet</translation>
    </message>
    <message>
        <source>comment opened on line %1 is not closed</source>
        <translation>der in Zeile %1 begonnene Kommentar wird nicht geschlossen</translation>
    </message>
    <message>
        <source>string on line %1 is not closed</source>
        <translation>die Zeichenkette in Zeile %1 wird nicht geschlossen</translation>
    </message>
    <message>
        <source>&apos;}&apos; on line %1 closes no block</source>
        <translation>&apos;}&apos; in Zeile %1 schließt keinen Block</translation>
    </message>
    <message>
        <source>a block is not closed at the end</source>
        <translation>ein Block ist am Ende nicht geschlossen</translation>
    </message>
    <message>
        <source>the text after the last rule has no block</source>
        <translation>der Text nach der letzten Regel hat keinen Block</translation>
    </message>
</context>
<context>
    <name>QtReplaceDialog</name>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>F&amp;ind what:</source>
        <translation>&amp;Suchen nach:</translation>
    </message>
    <message>
        <source>Re&amp;place with:</source>
        <translation>Ersetzen &amp;durch:</translation>
    </message>
    <message>
        <source>Match &amp;case</source>
        <translation>&amp;Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>&amp;Whole word</source>
        <translation>Nur ganze &amp;Wörter</translation>
    </message>
    <message>
        <source>Regular &amp;expression</source>
        <translation>Regulärer &amp;Ausdruck</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Find Next</source>
        <translation>Weitersuchen</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Ersetzen</translation>
    </message>
    <message>
        <source>Replace &amp;All</source>
        <translation>A&amp;lle ersetzen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
</TS>
