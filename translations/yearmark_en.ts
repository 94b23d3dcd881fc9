<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>CommandLine</name>
    <message>
        <source>Zeigt diese Hilfe und endet.</source>
        <translation>Shows this help and ends.</translation>
    </message>
    <message>
        <source>Zeigt die Version und endet.</source>
        <translation>Shows the version and ends.</translation>
    </message>
    <message>
        <source>Probelauf: alles wie in der Nacht (Vorlage, Bilder, Video), aber das Ziel kommt SEKUNDEN nach dem Start (ohne Wert 10). Die Uhr des Rechners bleibt, wie sie ist, das gespeicherte Ziel wird weder benutzt noch geändert.</source>
        <translation>Rehearsal: everything as on the night (template, pictures, video), but the target comes SECONDS after the start (10 without a value). The computer&apos;s clock stays as it is; the stored target is neither used nor changed.</translation>
    </message>
    <message>
        <source>SEKUNDEN</source>
        <translation>SECONDS</translation>
    </message>
    <message>
        <source>Prüft vor der Vorstellung, ohne ein Fenster zu öffnen: Ziel und Restzeit, welche Bilder und welches Video woher benutzt werden und ob sie sich abspielen und dekodieren lassen, Hilfe, Einstellungsdatei, Bildschirme, Uhrzeitabgleich und Bildschirmschoner. Eine Zeile je Punkt mit ok, Warnung oder Fehler; endet mit 0 ohne Fehler, sonst mit 1.</source>
        <translation>Checks before the show, without opening a window: target and time left, which pictures and which video will be used from where and whether they play and decode, help, settings file, screens, clock synchronisation and screen saver. One line per item with ok, warning or error; ends with 0 without an error, else with 1.</translation>
    </message>
    <message>
        <source>Zählt auf diesem Bildschirm: sein Anschluss (etwa HDMI-1) oder seine Nummer, 1 für den ersten. Ohne die Option der Hauptbildschirm.</source>
        <translation>Counts on this screen: its connector (for example HDMI-1) or its number, 1 for the first. Without the option the primary screen.</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>Aufruf: %1 [Optionen]
Zählt bildschirmfüllend die Sekunden bis Neujahr oder bis zu dem in den Einstellungen gewählten Zeitpunkt.

Optionen:
</source>
        <translation>Usage: %1 [options]
Counts, filling the screen, the seconds to the New Year or to the moment chosen in the settings.

Options:
</translation>
    </message>
    <message>
        <source>
Tasten: F1 Hilfe, F2 Einstellungen, F3 Information, F9 Video abspielen, Alt+F4 Beenden.
</source>
        <translation>
Keys: F1 help, F2 settings, F3 information, F9 play the video, Alt+F4 quit.
</translation>
    </message>
    <message>
        <source>fehlerhafte Befehlszeile (%1)</source>
        <translation>faulty command line (%1)</translation>
    </message>
    <message>
        <source>unbekannte Option »%1%2«</source>
        <translation>unknown option “%1%2”</translation>
    </message>
    <message>
        <source>%1: %2 (--help zeigt die Optionen)
</source>
        <translation>%1: %2 (--help shows the options)
</translation>
    </message>
    <message>
        <source>%1: unbekanntes Argument »%2« (--help zeigt die Optionen)
</source>
        <translation>%1: unknown argument “%2” (--help shows the options)
</translation>
    </message>
    <message>
        <source>%1: --rehearse braucht eine Zahl von Sekunden von 1 bis %2, nicht »%3«
</source>
        <translation>%1: --rehearse needs a number of seconds from 1 to %2, not “%3”
</translation>
    </message>
    <message>
        <source>yearmark: keine Anzeige erreichbar (%1); der Countdown braucht einen Bildschirm (X11 oder Wayland).
</source>
        <translation>yearmark: no display can be reached (%1); the countdown needs a screen (X11 or Wayland).
</translation>
    </message>
    <message>
        <source>weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt</source>
        <translation>neither DISPLAY nor WAYLAND_DISPLAY is set</translation>
    </message>
</context>
<context>
    <name>PictureTask</name>
    <message>
        <source>Das Bild lässt sich nicht anzeigen.</source>
        <translation>The picture cannot be shown.</translation>
    </message>
    <message>
        <source>Es ließ sich kein Thread starten, um es zu laden.</source>
        <translation>No thread could be started to load it.</translation>
    </message>
</context>
<context>
    <name>PreShowCheck</name>
    <message>
        <source>ok</source>
        <translation>ok</translation>
    </message>
    <message>
        <source>Warnung</source>
        <translation>warning</translation>
    </message>
    <message>
        <source>Fehler</source>
        <translation>error</translation>
    </message>
    <message>
        <source>%1.%2.%3 %4</source>
        <translation>%3-%2-%1 %4</translation>
    </message>
    <message numerus="yes">
        <source>%n Tage %1</source>
        <translation>
            <numerusform>%n day %1</numerusform>
            <numerusform>%n days %1</numerusform>
        </translation>
    </message>
    <message>
        <source>neben dem Programm</source>
        <translation>beside the program</translation>
    </message>
    <message>
        <source>im Datenordner</source>
        <translation>in the data folder</translation>
    </message>
    <message>
        <source>gewählter Zeitpunkt %1</source>
        <translation>chosen moment %1</translation>
    </message>
    <message>
        <source>Neujahr %1 (%2)</source>
        <translation>New Year %1 (%2)</translation>
    </message>
    <message>
        <source> hat eben begonnen; ein Start jetzt zeigt sofort den Nullpunkt</source>
        <translation> has just begun; a start now shows the zero moment at once</translation>
    </message>
    <message>
        <source> ist seit %1 vorbei; Yearmark zählt dann aufwärts</source>
        <translation> has been over for %1; Yearmark then counts up</translation>
    </message>
    <message>
        <source>, noch %1</source>
        <translation>, %1 to go</translation>
    </message>
    <message>
        <source>%1, dekodiert zu %2×%3</source>
        <translation>%1, decoded to %2×%3</translation>
    </message>
    <message>
        <source>keins (%1) und kein Bild; zum Nullpunkt bleibt das Hintergrundbild</source>
        <translation>none (%1) and no picture; at zero the background picture stays</translation>
    </message>
    <message>
        <source>keins (%1); zum Nullpunkt das Bild</source>
        <translation>none (%1); at zero the picture</translation>
    </message>
    <message>
        <source>%1 kann nicht gespielt werden: das Medienmodul fehlt (%2)</source>
        <translation>%1 cannot be played: the media module is missing (%2)</translation>
    </message>
    <message>
        <source>%1: nicht rechtzeitig bereit; ob es spielt, bleibt offen (%2)</source>
        <translation>%1: not ready in time; whether it plays is left open (%2)</translation>
    </message>
    <message>
        <source>%1 lässt sich nicht abspielen: %2</source>
        <translation>%1 does not play: %2</translation>
    </message>
    <message>
        <source>Länge unbekannt</source>
        <translation>length unknown</translation>
    </message>
    <message>
        <source>ohne Ton</source>
        <translation>no sound</translation>
    </message>
    <message>
        <source>Ton: %1</source>
        <translation>sound: %1</translation>
    </message>
    <message>
        <source>der Ton (%1) lässt sich nicht dekodieren, es läuft stumm</source>
        <translation>the sound (%1) does not decode, it plays silent</translation>
    </message>
    <message>
        <source>%1: spielbar, %2</source>
        <translation>%1: plays, %2</translation>
    </message>
    <message>
        <source>%1 fehlt; F1 zeigt keine Hilfe</source>
        <translation>%1 is missing; F1 shows no help</translation>
    </message>
    <message>
        <source>%1 lässt sich nicht lesen; F1 zeigt keine Hilfe</source>
        <translation>%1 cannot be read; F1 shows no help</translation>
    </message>
    <message>
        <source>%1 ist keine Hilfedatei (CHM)</source>
        <translation>%1 is no help file (CHM)</translation>
    </message>
    <message>
        <source>%1 ist da, aber libchm fehlt; F1 zeigt keine Hilfe</source>
        <translation>%1 is there, but libchm is missing; F1 shows no help</translation>
    </message>
    <message>
        <source>: noch keine Datei, es gelten die Voreinstellungen</source>
        <translation>: no file yet, the defaults apply</translation>
    </message>
    <message>
        <source>: gelesen</source>
        <translation>: read</translation>
    </message>
    <message>
        <source>: zu groß, wird nicht gelesen</source>
        <translation>: too large, not read</translation>
    </message>
    <message>
        <source>: lässt sich nicht lesen, es gelten die Voreinstellungen</source>
        <translation>: cannot be read, the defaults apply</translation>
    </message>
    <message>
        <source>; kann nicht gespeichert werden (%1), Änderungen gehen beim Beenden verloren</source>
        <translation>; cannot be saved (%1), changes are lost at the end</translation>
    </message>
    <message>
        <source>; kann gespeichert werden</source>
        <translation>; can be saved</translation>
    </message>
    <message>
        <source>keiner eingeschaltet; Yearmark wartet auf den ersten</source>
        <translation>none switched on; Yearmark waits for the first</translation>
    </message>
    <message>
        <source>»%1« %2×%3 bei %4,%5%6</source>
        <translation>“%1” %2×%3 at %4,%5%6</translation>
    </message>
    <message>
        <source> (Hauptbildschirm)</source>
        <translation> (primary screen)</translation>
    </message>
    <message>
        <source>kein Bildschirm »%1«, benutzt wird der Hauptbildschirm; da sind: %2</source>
        <translation>no screen “%1”, the primary screen is used; there are: %2</translation>
    </message>
    <message>
        <source>benutzt wird »%1«; da sind: %2</source>
        <translation>“%1” is used; there are: %2</translation>
    </message>
    <message>
        <source>laut Kernel synchronisiert (geschätzter Fehler %1 ms)</source>
        <translation>synchronised as the kernel says (estimated error %1 ms)</translation>
    </message>
    <message>
        <source>laut Kernel nicht synchronisiert</source>
        <translation>not synchronised as the kernel says</translation>
    </message>
    <message>
        <source>; kein Zeitdienst zu fragen (systemd-timesyncd, chrony)</source>
        <translation>; no time service to ask (systemd-timesyncd, chrony)</translation>
    </message>
    <message>
        <source>; %1 antwortet nicht</source>
        <translation>; %1 does not answer</translation>
    </message>
    <message>
        <source> mit %1</source>
        <translation> with %1</translation>
    </message>
    <message>
        <source> synchronisiert</source>
        <translation> synchronised</translation>
    </message>
    <message>
        <source> nicht synchronisiert</source>
        <translation> not synchronised</translation>
    </message>
    <message>
        <source>, Abweichung %1 ms</source>
        <translation>, offset %1 ms</translation>
    </message>
    <message>
        <source>Sitzungsbus nicht erreichbar</source>
        <translation>session bus not reachable</translation>
    </message>
    <message>
        <source>Dienst org.freedesktop.ScreenSaver da</source>
        <translation>service org.freedesktop.ScreenSaver there</translation>
    </message>
    <message>
        <source>kein Dienst org.freedesktop.ScreenSaver</source>
        <translation>no service org.freedesktop.ScreenSaver</translation>
    </message>
    <message>
        <source>keine X-Erweiterung MIT-SCREEN-SAVER (ab 1.1)</source>
        <translation>no X extension MIT-SCREEN-SAVER (1.1 or later)</translation>
    </message>
    <message>
        <source>X-Erweiterung MIT-SCREEN-SAVER %1</source>
        <translation>X extension MIT-SCREEN-SAVER %1</translation>
    </message>
    <message>
        <source>Wayland: %1 angeboten</source>
        <translation>Wayland: %1 offered</translation>
    </message>
    <message>
        <source>Wayland: kein %1</source>
        <translation>Wayland: no %1</translation>
    </message>
    <message>
        <source> – Yearmark kann ihn so nicht aufhalten</source>
        <translation> – so Yearmark cannot hold it off</translation>
    </message>
    <message>
        <source>keine Antwort innerhalb von %1 (hängender Speicher oder Dienst?); bitte noch einmal prüfen</source>
        <translation>no answer within %1 (hung storage or service?); please check again</translation>
    </message>
    <message>
        <source>weder DISPLAY noch WAYLAND_DISPLAY ist gesetzt</source>
        <translation>neither DISPLAY nor WAYLAND_DISPLAY is set</translation>
    </message>
    <message>
        <source>%1 antwortet nicht</source>
        <translation>%1 does not answer</translation>
    </message>
    <message>
        <source>Ziel</source>
        <translation>Target</translation>
    </message>
    <message>
        <source>Hintergrundbild</source>
        <translation>Background picture</translation>
    </message>
    <message>
        <source>keins (%1.jpg oder .bmp); es bleibt die Hintergrundfarbe</source>
        <translation>none (%1.jpg or .bmp); the background colour stays</translation>
    </message>
    <message>
        <source>Video zum Nullpunkt</source>
        <translation>Video at zero</translation>
    </message>
    <message>
        <source>Bild zum Nullpunkt</source>
        <translation>Picture at zero</translation>
    </message>
    <message>
        <source>keins (0.jpg oder 0.bmp)</source>
        <translation>none (0.jpg or 0.bmp)</translation>
    </message>
    <message>
        <source>Hilfe</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Einstellungen</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Bildschirme</source>
        <translation>Screens</translation>
    </message>
    <message>
        <source>keine Anzeige (%1); sie lassen sich nicht prüfen</source>
        <translation>no display (%1); they cannot be checked</translation>
    </message>
    <message>
        <source>Uhr</source>
        <translation>Clock</translation>
    </message>
    <message>
        <source>Bildschirmschoner</source>
        <translation>Screen saver</translation>
    </message>
    <message>
        <source>keine Anzeige (%1); nichts zu prüfen</source>
        <translation>no display (%1); nothing to check</translation>
    </message>
</context>
<context>
    <name>ScreenSaverInhibitor</name>
    <message>
        <source>Vollbildanzeige</source>
        <translation>Full-screen display</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>Bis zum Jahr %Y sind es noch:<byte value="xd"/>
%T Tage(n) %H Stunde(n) %M Minute(n) %S Sekunde(n)</source>
        <translation>Time left until the year %Y:<byte value="xd"/>
%T day(s) %H hour(s) %M minute(s) %S second(s)</translation>
    </message>
</context>
<context>
    <name>TCFGDialog</name>
    <message>
        <source>%Y - Nachste Jahr</source>
        <translation>%Y - Next year</translation>
    </message>
    <message>
        <source>%T - Tagen</source>
        <translation>%T - Days</translation>
    </message>
    <message>
        <source>%H - Stunden</source>
        <translation>%H - Hours</translation>
    </message>
    <message>
        <source>%M - Minuten</source>
        <translation>%M - Minutes</translation>
    </message>
    <message>
        <source>%S - Sekunden</source>
        <translation>%S - Seconds</translation>
    </message>
    <message>
        <source>%A - Gesamt Sekunden</source>
        <translation>%A - Total seconds</translation>
    </message>
    <message>
        <source>%C - Aktuelle Uhrzeit</source>
        <translation>%C - Current time</translation>
    </message>
    <message>
        <source>%D - Aktuelle Datum</source>
        <translation>%D - Current date</translation>
    </message>
    <message>
        <source>%U - Berechnete Uhrzeit</source>
        <translation>%U - Target time</translation>
    </message>
    <message>
        <source>%Z - Berechnete Datum</source>
        <translation>%Z - Target date</translation>
    </message>
    <message>
        <source>Oberteil</source>
        <translation>Top</translation>
    </message>
    <message>
        <source>Unterteil</source>
        <translation>Bottom</translation>
    </message>
    <message>
        <source>Links</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>Rechts</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>Voll</source>
        <translation>Full</translation>
    </message>
    <message>
        <source>Einstellungen</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Datum: </source>
        <translation>Date: </translation>
    </message>
    <message>
        <source>Zeit:</source>
        <translation>Time:</translation>
    </message>
    <message>
        <source>Titel:</source>
        <translation>Title:</translation>
    </message>
    <message>
        <source>Beispiele:</source>
        <translation>Examples:</translation>
    </message>
    <message>
        <source> Text </source>
        <translation> Text </translation>
    </message>
    <message>
        <source>Sonst</source>
        <translation>Test</translation>
    </message>
    <message>
        <source>Schrift</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>Schatten</source>
        <translation>Shadow</translation>
    </message>
    <message>
        <source> Grafik align </source>
        <translation> Picture align </translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Farbe</source>
        <translation>Color</translation>
    </message>
    <message>
        <source>Nächste Neue Jahr </source>
        <translation>Next New Year </translation>
    </message>
</context>
<context>
    <name>TFontChooser</name>
    <message>
        <source>Schwarz</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>Kastanienbraun</source>
        <translation>Maroon</translation>
    </message>
    <message>
        <source>Grün</source>
        <translation>Green</translation>
    </message>
    <message>
        <source>Oliv</source>
        <translation>Olive</translation>
    </message>
    <message>
        <source>Marineblau</source>
        <translation>Navy</translation>
    </message>
    <message>
        <source>Lila</source>
        <translation>Purple</translation>
    </message>
    <message>
        <source>Blaugrün</source>
        <translation>Teal</translation>
    </message>
    <message>
        <source>Grau</source>
        <translation>Gray</translation>
    </message>
    <message>
        <source>Silber</source>
        <translation>Silver</translation>
    </message>
    <message>
        <source>Rot</source>
        <translation>Red</translation>
    </message>
    <message>
        <source>Hellgrün</source>
        <translation>Lime</translation>
    </message>
    <message>
        <source>Gelb</source>
        <translation>Yellow</translation>
    </message>
    <message>
        <source>Blau</source>
        <translation>Blue</translation>
    </message>
    <message>
        <source>Fuchsie</source>
        <translation>Fuchsia</translation>
    </message>
    <message>
        <source>Aquamarin</source>
        <translation>Aqua</translation>
    </message>
    <message>
        <source>Weiß</source>
        <translation>White</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Regular</translation>
    </message>
    <message>
        <source>Kursiv</source>
        <translation>Italic</translation>
    </message>
    <message>
        <source>Fett</source>
        <translation>Bold</translation>
    </message>
    <message>
        <source>Fett Kursiv</source>
        <translation>Bold Italic</translation>
    </message>
    <message>
        <source>Westlich</source>
        <translation>Western</translation>
    </message>
    <message>
        <source>Standard</source>
        <comment>character set</comment>
        <translation>Default</translation>
    </message>
    <message>
        <source>Japanisch</source>
        <translation>Japanese</translation>
    </message>
    <message>
        <source>Koreanisch</source>
        <translation>Korean</translation>
    </message>
    <message>
        <source>Chinesisch (vereinfacht)</source>
        <translation>Chinese (Simplified)</translation>
    </message>
    <message>
        <source>Chinesisch (traditionell)</source>
        <translation>Chinese (Traditional)</translation>
    </message>
    <message>
        <source>Griechisch</source>
        <translation>Greek</translation>
    </message>
    <message>
        <source>Türkisch</source>
        <translation>Turkish</translation>
    </message>
    <message>
        <source>Vietnamesisch</source>
        <translation>Vietnamese</translation>
    </message>
    <message>
        <source>Hebräisch</source>
        <translation>Hebrew</translation>
    </message>
    <message>
        <source>Arabisch</source>
        <translation>Arabic</translation>
    </message>
    <message>
        <source>Baltisch</source>
        <translation>Baltic</translation>
    </message>
    <message>
        <source>Kyrillisch</source>
        <translation>Cyrillic</translation>
    </message>
    <message>
        <source>Mitteleuropäisch</source>
        <translation>Central European</translation>
    </message>
    <message>
        <source>Zeichensatz %1</source>
        <translation>Character set %1</translation>
    </message>
    <message>
        <source>Schriftart</source>
        <translation>Font</translation>
    </message>
    <message>
        <source>Effekte</source>
        <translation>Effects</translation>
    </message>
    <message>
        <source>Unterstrichen</source>
        <translation>Underline</translation>
    </message>
    <message>
        <source>Durchgestrichen</source>
        <translation>Strikeout</translation>
    </message>
    <message>
        <source>Benutzerdefiniert</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>Farbe:</source>
        <translation>Color:</translation>
    </message>
    <message>
        <source>Beispiel</source>
        <translation>Sample</translation>
    </message>
    <message>
        <source>Skript:</source>
        <translation>Script:</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Schriftart:</source>
        <translation>Font:</translation>
    </message>
    <message>
        <source>Schriftschnitt:</source>
        <translation>Font style:</translation>
    </message>
    <message>
        <source>Schriftgrad:</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>Farbe</source>
        <translation>Color</translation>
    </message>
</context>
<context>
    <name>TFormInfo</name>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Version 1.1 (19.01.2008)</source>
        <translation>Version 1.1 (19 January 2008)</translation>
    </message>
    <message>
        <source>Lob und Kritik, Verbesserungsvorschläge,
Fragen und Bestellungen bitte schriftlich über</source>
        <translation>Praise, criticism and suggestions,
questions and orders, please in writing via</translation>
    </message>
</context>
<context>
    <name>TFormMain</name>
    <message>
        <source>yearmark: kein Bildschirm »%1« (da sind: %2); der Hauptbildschirm wird benutzt
</source>
        <translation>yearmark: no screen “%1” (there are: %2); the primary screen is used
</translation>
    </message>
</context>
<context>
    <name>THelpWindow</name>
    <message>
        <source>Inhalt</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>Index</translation>
    </message>
</context>
</TS>
