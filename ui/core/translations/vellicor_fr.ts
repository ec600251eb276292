<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr">
<context>
    <name>vellicor::CommandLine</name>
    <message>
        <source>Only one file can be named.</source>
        <translation>Un seul fichier peut être indiqué.</translation>
    </message>
    <message>
        <source>Usage: %1 [--compress] [FILE]
Compresses and restores files of up to 32767 bytes in the .lzc format.

  FILE          The file to show in the file name box.
  --compress    Compress FILE at once.
  -h, --help    Show this help.
  --version     Show the version.
</source>
        <translation>Usage : %1 [--compress] [FICHIER]
Compresse et restaure des fichiers de 32767 octets au plus au format .lzc.

  FICHIER       Le fichier à afficher dans le champ du nom de fichier.
  --compress    Compresser FICHIER aussitôt.
  -h, --help    Afficher cette aide.
  --version     Afficher la version.
</translation>
    </message>
    <message>
        <source>Unknown option: %1</source>
        <translation>Option inconnue : %1</translation>
    </message>
</context>
<context>
    <name>vellicor::Dialogs</name>
    <message>
        <source>Open</source>
        <translation>Ouvrir</translation>
    </message>
    <message>
        <source>Compressed files (*.lzc)</source>
        <translation>Fichiers compressés (*.lzc)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>Open &amp;Folder</source>
        <translation>Ouvrir le &amp;dossier</translation>
    </message>
    <message>
        <source>%1 already exists. Replace it?</source>
        <translation>%1 existe déjà. Le remplacer ?</translation>
    </message>
</context>
<context>
    <name>vellicor::Explanations</name>
    <message>
        <source>1 byte</source>
        <translation>1 octet</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 octets</translation>
    </message>
    <message>
        <source>Permission denied: the file cannot be read.</source>
        <translation>Permission refusée : le fichier ne peut pas être lu.</translation>
    </message>
    <message>
        <source>Permission denied: the file cannot be written.</source>
        <translation>Permission refusée : le fichier ne peut pas être écrit.</translation>
    </message>
    <message>
        <source>The disk is full.</source>
        <translation>Le disque est plein.</translation>
    </message>
    <message>
        <source>The file cannot be read: %1.</source>
        <translation>Le fichier ne peut pas être lu : %1.</translation>
    </message>
    <message>
        <source>The file cannot be written: %1.</source>
        <translation>Le fichier ne peut pas être écrit : %1.</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>Le fichier n&apos;existe pas.</translation>
    </message>
    <message>
        <source>This is not a regular file.</source>
        <translation>Ce n&apos;est pas un fichier ordinaire.</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>Le fichier est vide.</translation>
    </message>
    <message>
        <source>The file is larger than 32767 bytes.</source>
        <translation>Le fichier dépasse 32767 octets.</translation>
    </message>
    <message>
        <source>This is not a valid .lzc stream.</source>
        <translation>Ce n&apos;est pas un flux .lzc valide.</translation>
    </message>
    <message>
        <source>Wrote %1 to
%2
from the %3 of
%4</source>
        <translation>%1 écrits dans
%2
à partir des %3 de
%4</translation>
    </message>
    <message>
        <source>No file name is left once the last four characters are removed.
%1</source>
        <translation>Il ne reste aucun nom de fichier une fois les quatre derniers caractères retirés.
%1</translation>
    </message>
    <message>
        <source>Type or choose a file name first.</source>
        <translation>Saisissez ou choisissez d&apos;abord un nom de fichier.</translation>
    </message>
    <message>
        <source>This is a folder, not a file.</source>
        <translation>C&apos;est un dossier, pas un fichier.</translation>
    </message>
</context>
<context>
    <name>vellicor::Form</name>
    <message>
        <source>&amp;compress</source>
        <translation>&amp;compresser</translation>
    </message>
    <message>
        <source>&amp;decompress</source>
        <translation>&amp;décompresser</translation>
    </message>
    <message>
        <source>Vellicor v1.0</source>
        <translation>Vellicor v1.0</translation>
    </message>
    <message>
        <source>File name</source>
        <translation>Nom du fichier</translation>
    </message>
    <message>
        <source>The file to compress, or the .lzc file to decompress</source>
        <translation>Le fichier à compresser, ou le fichier .lzc à décompresser</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Parcourir</translation>
    </message>
    <message>
        <source>Choose the file in a file dialog (Alt+B)</source>
        <translation>Choisir le fichier dans une boîte de dialogue (Alt+B)</translation>
    </message>
    <message>
        <source>Compress</source>
        <translation>Compresser</translation>
    </message>
    <message>
        <source>Compress the file into the file name followed by .lzc (%1)</source>
        <translation>Compresser le fichier sous son nom suivi de .lzc (%1)</translation>
    </message>
    <message>
        <source>Decompress</source>
        <translation>Décompresser</translation>
    </message>
    <message>
        <source>Restore the .lzc file under its name without the last four characters (%1)</source>
        <translation>Restaurer le fichier .lzc sous son nom sans les quatre derniers caractères (%1)</translation>
    </message>
    <message>
        <source>Quality</source>
        <translation>Qualité</translation>
    </message>
    <message>
        <source>How far back compression looks for repeats: %1 is smallest, %2 fastest</source>
        <translation>Distance à laquelle la compression cherche des répétitions : %1 est le plus compact, %2 le plus rapide</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Progression</translation>
    </message>
    <message>
        <source>How much of the current operation is done</source>
        <translation>Part de l&apos;opération en cours déjà effectuée</translation>
    </message>
    <message>
        <source>%1 files were dropped; the first one was taken.</source>
        <translation>%1 fichiers ont été déposés ; le premier a été retenu.</translation>
    </message>
</context>
<context>
    <name>vellicor::Messages</name>
    <message>
        <source>An error has occured during compression</source>
        <translation>Une erreur s&apos;est produite pendant la compression</translation>
    </message>
    <message>
        <source>Compressed Size:%1%</source>
        <translation>Taille compressée :%1 %</translation>
    </message>
    <message>
        <source>An error has occured during (de)compression</source>
        <translation>Une erreur s&apos;est produite pendant la décompression</translation>
    </message>
    <message>
        <source>Successfully decompressed</source>
        <translation>Décompression réussie</translation>
    </message>
</context>
<context>
    <name>vellicor::Quality</name>
    <message>
        <source>Optimal</source>
        <translation>Optimale</translation>
    </message>
    <message>
        <source>Good</source>
        <translation>Bonne</translation>
    </message>
    <message>
        <source>Moderate</source>
        <translation>Moyenne</translation>
    </message>
    <message>
        <source>Below average</source>
        <translation>Sous la moyenne</translation>
    </message>
    <message>
        <source>Poor</source>
        <translation>Faible</translation>
    </message>
    <message>
        <source>Very Poor!</source>
        <translation>Très faible !</translation>
    </message>
</context>
</TS>
