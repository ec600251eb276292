<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>vellicor::CommandLine</name>
    <message>
        <source>Only one file can be named.</source>
        <translation>Es kann nur eine Datei angegeben werden.</translation>
    </message>
    <message>
        <source>Usage: %1 [--compress] [FILE]
Compresses and restores files of up to 32767 bytes in the .lzc format.

  FILE          The file to show in the file name box.
  --compress    Compress FILE at once.
  -h, --help    Show this help.
  --version     Show the version.
</source>
        <translation>Aufruf: %1 [--compress] [DATEI]
Komprimiert Dateien mit bis zu 32767 Bytes im .lzc-Format und stellt sie wieder her.

  DATEI         Die Datei, die im Dateinamenfeld erscheint.
  --compress    DATEI sofort komprimieren.
  -h, --help    Diese Hilfe zeigen.
  --version     Die Version zeigen.
</translation>
    </message>
    <message>
        <source>Unknown option: %1</source>
        <translation>Unbekannte Option: %1</translation>
    </message>
</context>
<context>
    <name>vellicor::Dialogs</name>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Compressed files (*.lzc)</source>
        <translation>Komprimierte Dateien (*.lzc)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Open &amp;Folder</source>
        <translation>&amp;Ordner öffnen</translation>
    </message>
    <message>
        <source>%1 already exists. Replace it?</source>
        <translation>%1 ist bereits vorhanden. Ersetzen?</translation>
    </message>
</context>
<context>
    <name>vellicor::Explanations</name>
    <message>
        <source>1 byte</source>
        <translation>1 Byte</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 Bytes</translation>
    </message>
    <message>
        <source>Permission denied: the file cannot be read.</source>
        <translation>Zugriff verweigert: Die Datei kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Permission denied: the file cannot be written.</source>
        <translation>Zugriff verweigert: Die Datei kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The disk is full.</source>
        <translation>Der Datenträger ist voll.</translation>
    </message>
    <message>
        <source>The file cannot be read: %1.</source>
        <translation>Die Datei kann nicht gelesen werden: %1.</translation>
    </message>
    <message>
        <source>The file cannot be written: %1.</source>
        <translation>Die Datei kann nicht geschrieben werden: %1.</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>Die Datei existiert nicht.</translation>
    </message>
    <message>
        <source>This is not a regular file.</source>
        <translation>Dies ist keine reguläre Datei.</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>Die Datei ist leer.</translation>
    </message>
    <message>
        <source>The file is larger than 32767 bytes.</source>
        <translation>Die Datei ist größer als 32767 Bytes.</translation>
    </message>
    <message>
        <source>This is not a valid .lzc stream.</source>
        <translation>Dies ist kein gültiger .lzc-Datenstrom.</translation>
    </message>
    <message>
        <source>Wrote %1 to
%2
from the %3 of
%4</source>
        <translation>%1 geschrieben nach
%2
aus den %3 von
%4</translation>
    </message>
    <message>
        <source>No file name is left once the last four characters are removed.
%1</source>
        <translation>Ohne die letzten vier Zeichen bleibt kein Dateiname übrig.
%1</translation>
    </message>
    <message>
        <source>Type or choose a file name first.</source>
        <translation>Geben Sie zuerst einen Dateinamen ein oder wählen Sie eine Datei.</translation>
    </message>
    <message>
        <source>This is a folder, not a file.</source>
        <translation>Dies ist ein Ordner, keine Datei.</translation>
    </message>
</context>
<context>
    <name>vellicor::Form</name>
    <message>
        <source>&amp;compress</source>
        <translation>&amp;komprimieren</translation>
    </message>
    <message>
        <source>&amp;decompress</source>
        <translation>&amp;dekomprimieren</translation>
    </message>
    <message>
        <source>Vellicor v1.0</source>
        <translation>Vellicor v1.0</translation>
    </message>
    <message>
        <source>File name</source>
        <translation>Dateiname</translation>
    </message>
    <message>
        <source>The file to compress, or the .lzc file to decompress</source>
        <translation>Die zu komprimierende Datei oder die zu dekomprimierende .lzc-Datei</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Durchsuchen</translation>
    </message>
    <message>
        <source>Choose the file in a file dialog (Alt+B)</source>
        <translation>Die Datei in einem Dateidialog wählen (Alt+B)</translation>
    </message>
    <message>
        <source>Compress</source>
        <translation>Komprimieren</translation>
    </message>
    <message>
        <source>Compress the file into the file name followed by .lzc (%1)</source>
        <translation>Die Datei unter ihrem Namen mit angehängtem .lzc komprimieren (%1)</translation>
    </message>
    <message>
        <source>Decompress</source>
        <translation>Dekomprimieren</translation>
    </message>
    <message>
        <source>Restore the .lzc file under its name without the last four characters (%1)</source>
        <translation>Die .lzc-Datei unter ihrem Namen ohne die letzten vier Zeichen wiederherstellen (%1)</translation>
    </message>
    <message>
        <source>Quality</source>
        <translation>Qualität</translation>
    </message>
    <message>
        <source>How far back compression looks for repeats: %1 is smallest, %2 fastest</source>
        <translation>Wie weit die Kompression nach Wiederholungen zurückblickt: %1 ist am kleinsten, %2 am schnellsten</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>How much of the current operation is done</source>
        <translation>Wie viel des laufenden Vorgangs erledigt ist</translation>
    </message>
    <message>
        <source>%1 files were dropped; the first one was taken.</source>
        <translation>%1 Dateien wurden abgelegt; die erste wurde übernommen.</translation>
    </message>
</context>
<context>
    <name>vellicor::Messages</name>
    <message>
        <source>An error has occured during compression</source>
        <translation>Beim Komprimieren ist ein Fehler aufgetreten</translation>
    </message>
    <message>
        <source>Compressed Size:%1%</source>
        <translation>Komprimierte Größe:%1 %</translation>
    </message>
    <message>
        <source>An error has occured during (de)compression</source>
        <translation>Beim Dekomprimieren ist ein Fehler aufgetreten</translation>
    </message>
    <message>
        <source>Successfully decompressed</source>
        <translation>Erfolgreich dekomprimiert</translation>
    </message>
</context>
<context>
    <name>vellicor::Quality</name>
    <message>
        <source>Optimal</source>
        <translation>Optimal</translation>
    </message>
    <message>
        <source>Good</source>
        <translation>Gut</translation>
    </message>
    <message>
        <source>Moderate</source>
        <translation>Mittel</translation>
    </message>
    <message>
        <source>Below average</source>
        <translation>Unterdurchschnittlich</translation>
    </message>
    <message>
        <source>Poor</source>
        <translation>Schwach</translation>
    </message>
    <message>
        <source>Very Poor!</source>
        <translation>Sehr schwach!</translation>
    </message>
</context>
</TS>
