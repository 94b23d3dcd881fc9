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
</TS>
