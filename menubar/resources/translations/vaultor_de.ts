<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en">
<context>
    <name>MasterControlProgram</name>
    <message>
        <source>Connecting to backup service...</source>
        <translation>Verbindung zum Sicherungsdienst wird hergestellt...</translation>
    </message>
    <message>
        <source>Unable to connect to backup service.</source>
        <translation>Keine Verbindung zum Sicherungsdienst möglich.</translation>
    </message>
    <message>
        <source>No destinations configured.</source>
        <translation>Keine Ziele eingerichtet.</translation>
    </message>
</context>
<context>
    <name>VTCollectionViewComputerItem</name>
    <message>
        <source>Pause this backup for a day</source>
        <translation>Diese Sicherung für einen Tag anhalten</translation>
    </message>
    <message>
        <source>Back up now</source>
        <translation>Jetzt sichern</translation>
    </message>
</context>
<context>
    <name>VTComputerStatusTextBuilder</name>
    <message>
        <source>Maintaining backup files</source>
        <translation>Sicherungsdateien werden gewartet</translation>
    </message>
    <message>
        <source>No files selected for backup</source>
        <translation>Keine Dateien zur Sicherung ausgewählt</translation>
    </message>
    <message>
        <source>Destination unavailable — %@</source>
        <translation>Ziel nicht verfügbar — %@</translation>
    </message>
    <message>
        <source>Backup engine paused — resuming in %@</source>
        <translation>Sicherungsdienst angehalten — Fortsetzung in %@</translation>
    </message>
    <message>
        <source>Backup complete!</source>
        <translation>Sicherung abgeschlossen!</translation>
    </message>
    <message>
        <source>%@ — last backup %@ ago</source>
        <translation>%1$@ — letzte Sicherung vor %2$@</translation>
    </message>
    <message>
        <source>Scanning files...</source>
        <translation>Dateien werden durchsucht...</translation>
    </message>
    <message>
        <source>Waiting for backup</source>
        <translation>Warten auf Sicherung</translation>
    </message>
    <message>
        <source>Waiting for connection</source>
        <translation>Warten auf Verbindung</translation>
    </message>
    <message>
        <source>%@ kbps</source>
        <translation>%@ kbit/s</translation>
    </message>
    <message>
        <source>%@ mbps</source>
        <translation>%@ Mbit/s</translation>
    </message>
    <message>
        <source>Backup running...</source>
        <translation>Sicherung läuft...</translation>
    </message>
    <message>
        <source>Backup running @ %@</source>
        <translation>Sicherung läuft mit %@</translation>
    </message>
    <message>
        <source>not scheduled to run</source>
        <translation>nicht zur Ausführung geplant</translation>
    </message>
    <message>
        <source>allotted capacity has been reduced</source>
        <translation>zugeteilte Kapazität wurde verringert</translation>
    </message>
    <message>
        <source>unknown problem</source>
        <translation>unbekanntes Problem</translation>
    </message>
    <message>
        <source>backup files are being maintained</source>
        <translation>Sicherungsdateien werden gewartet</translation>
    </message>
    <message>
        <source>backup files are being migrated</source>
        <translation>Sicherungsdateien werden migriert</translation>
    </message>
    <message>
        <source>backup location is being moved</source>
        <translation>Sicherungsort wird verschoben</translation>
    </message>
    <message>
        <source>backup location is not accessible</source>
        <translation>Sicherungsort ist nicht erreichbar</translation>
    </message>
    <message>
        <source>not available</source>
        <translation>nicht verfügbar</translation>
    </message>
    <message>
        <source>paused</source>
        <translation>angehalten</translation>
    </message>
    <message>
        <source>%@ GB</source>
        <translation>%@ GB</translation>
    </message>
    <message>
        <source>%@ MB</source>
        <translation>%@ MB</translation>
    </message>
    <message>
        <source>%@ KB</source>
        <translation>%@ KB</translation>
    </message>
    <message>
        <source>%@ bytes</source>
        <translation>%@ Byte</translation>
    </message>
    <message>
        <source>1 day</source>
        <comment>a time span standing alone, as in &quot;About %@ left&quot;</comment>
        <translation>1 Tag</translation>
    </message>
    <message numerus="yes">
        <source>%@ days</source>
        <comment>a time span standing alone, as in &quot;About %@ left&quot;</comment>
        <translation>
            <numerusform>%@ Tag</numerusform>
            <numerusform>%@ Tage</numerusform>
        </translation>
    </message>
    <message>
        <source>%@ days</source>
        <comment>a time span standing alone, with one decimal: &quot;About 1.5 days left&quot;</comment>
        <translation>%@ Tage</translation>
    </message>
    <message>
        <source>1 hour</source>
        <comment>a time span standing alone, as in &quot;About %@ left&quot;</comment>
        <translation>1 Stunde</translation>
    </message>
    <message numerus="yes">
        <source>%@ hours</source>
        <comment>a time span standing alone, as in &quot;About %@ left&quot;</comment>
        <translation>
            <numerusform>%@ Stunde</numerusform>
            <numerusform>%@ Stunden</numerusform>
        </translation>
    </message>
    <message>
        <source>%@ hours</source>
        <comment>a time span standing alone, with one decimal: &quot;About 1.5 hours left&quot;</comment>
        <translation>%@ Stunden</translation>
    </message>
    <message>
        <source>1 minute</source>
        <comment>a time span standing alone, as in &quot;About %@ left&quot;</comment>
        <translation>1 Minute</translation>
    </message>
    <message numerus="yes">
        <source>%@ minutes</source>
        <comment>a time span standing alone, as in &quot;About %@ left&quot;</comment>
        <translation>
            <numerusform>%@ Minute</numerusform>
            <numerusform>%@ Minuten</numerusform>
        </translation>
    </message>
    <message>
        <source> &lt; 1 minute</source>
        <comment>a time span standing alone, as in &quot;About %@ left&quot;</comment>
        <translation> &lt; 1 Minute</translation>
    </message>
    <message>
        <source>1 day</source>
        <comment>a time span after in, ago or for: &quot;Next backup in %@&quot;</comment>
        <translation>1 Tag</translation>
    </message>
    <message numerus="yes">
        <source>%@ days</source>
        <comment>a time span after in, ago or for: &quot;Next backup in %@&quot;</comment>
        <translation>
            <numerusform>%@ Tag</numerusform>
            <numerusform>%@ Tagen</numerusform>
        </translation>
    </message>
    <message>
        <source>%@ days</source>
        <comment>a time span after in, ago or for, with one decimal: &quot;in 1.5 days&quot;</comment>
        <translation>%@ Tagen</translation>
    </message>
    <message>
        <source>1 hour</source>
        <comment>a time span after in, ago or for: &quot;Next backup in %@&quot;</comment>
        <translation>1 Stunde</translation>
    </message>
    <message numerus="yes">
        <source>%@ hours</source>
        <comment>a time span after in, ago or for: &quot;Next backup in %@&quot;</comment>
        <translation>
            <numerusform>%@ Stunde</numerusform>
            <numerusform>%@ Stunden</numerusform>
        </translation>
    </message>
    <message>
        <source>%@ hours</source>
        <comment>a time span after in, ago or for, with one decimal: &quot;in 1.5 hours&quot;</comment>
        <translation>%@ Stunden</translation>
    </message>
    <message>
        <source>1 minute</source>
        <comment>a time span after in, ago or for: &quot;Next backup in %@&quot;</comment>
        <translation>1 Minute</translation>
    </message>
    <message numerus="yes">
        <source>%@ minutes</source>
        <comment>a time span after in, ago or for: &quot;Next backup in %@&quot;</comment>
        <translation>
            <numerusform>%@ Minute</numerusform>
            <numerusform>%@ Minuten</numerusform>
        </translation>
    </message>
    <message>
        <source> &lt; 1 minute</source>
        <comment>a time span after in, ago or for: &quot;Next backup in %@&quot;</comment>
        <translation> &lt; 1 Minute</translation>
    </message>
</context>
<context>
    <name>VTComputerView</name>
    <message>
        <source>Lucida Grande</source>
        <translation>Lucida Grande</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Computer</source>
        <translation>Computer</translation>
    </message>
    <message>
        <source>Show or hide details</source>
        <translation>Details ein- oder ausblenden</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Pause or resume this backup</source>
        <translation>Diese Sicherung anhalten oder fortsetzen</translation>
    </message>
    <message>
        <source>Waiting for status...</source>
        <translation>Warten auf Status...</translation>
    </message>
</context>
<context>
    <name>VTDestinationStatusTextBuilder</name>
    <message numerus="yes">
        <source>To do: %@ files (%@)</source>
        <translation>
            <numerusform>Noch zu sichern: %@ Datei (%@)</numerusform>
            <numerusform>Noch zu sichern: %@ Dateien (%@)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>To do: %@ files</source>
        <translation>
            <numerusform>Noch zu sichern: %@ Datei</numerusform>
            <numerusform>Noch zu sichern: %@ Dateien</numerusform>
        </translation>
    </message>
    <message>
        <source>%@: %@ (%@)</source>
        <translation>%@: %@ (%@)</translation>
    </message>
    <message>
        <source>Analyzing</source>
        <translation>Analysieren</translation>
    </message>
    <message>
        <source>Sending</source>
        <translation>Senden</translation>
    </message>
    <message>
        <source>Backup paused — resuming in %@</source>
        <translation>Sicherung angehalten — Fortsetzung in %@</translation>
    </message>
    <message>
        <source>Unable to back up — no connection for %@</source>
        <translation>Sicherung nicht möglich — seit %@ keine Verbindung</translation>
    </message>
    <message>
        <source>Next backup in %@</source>
        <translation>Nächste Sicherung in %@</translation>
    </message>
    <message>
        <source>Out of space at destination%@</source>
        <translation>Kein Speicherplatz am Ziel%@</translation>
    </message>
    <message>
        <source>Backup scheduled to begin at %@</source>
        <translation>Sicherung beginnt planmäßig um %@</translation>
    </message>
    <message>
        <source>Not currently scheduled for backup</source>
        <translation>Derzeit keine Sicherung geplant</translation>
    </message>
    <message>
        <source>Synchronizing</source>
        <translation>Synchronisieren</translation>
    </message>
    <message>
        <source>Please wait</source>
        <translation>Bitte warten</translation>
    </message>
    <message>
        <source>Backing up while scanning</source>
        <translation>Sicherung während der Dateisuche</translation>
    </message>
    <message>
        <source>About %@ left</source>
        <translation>Noch etwa %@</translation>
    </message>
    <message>
        <source>About %@ left @ %@</source>
        <translation>Noch etwa %1$@ mit %2$@</translation>
    </message>
    <message>
        <source>you have an older version</source>
        <translation>Sie haben eine ältere Version</translation>
    </message>
    <message>
        <source>you have a newer version</source>
        <translation>Sie haben eine neuere Version</translation>
    </message>
</context>
<context>
    <name>VTPrefsWindow</name>
    <message>
        <source>Menu bar icon</source>
        <translation>Symbol in der Menüleiste</translation>
    </message>
    <message>
        <source>&amp;Start the menu bar when I log in</source>
        <translation>Menüleiste beim &amp;Anmelden starten</translation>
    </message>
    <message>
        <source>&amp;Notify me when a backup needs attention</source>
        <translation>&amp;Benachrichtigen, wenn eine Sicherung Aufmerksamkeit braucht</translation>
    </message>
</context>
<context>
    <name>VTSourceStatusTextBuilder</name>
    <message>
        <source>Out of space</source>
        <translation>Kein Speicherplatz</translation>
    </message>
</context>
<context>
    <name>VTStatusItemMenuController</name>
    <message>
        <source>&amp;Pause Backups</source>
        <translation>Sicherungen an&amp;halten</translation>
    </message>
</context>
<context>
    <name>VTStatusNotifier</name>
    <message>
        <source>Backup service not reachable</source>
        <translation>Sicherungsdienst nicht erreichbar</translation>
    </message>
    <message>
        <source>The menu bar has not reached the backup service for five minutes; your backups may not be running.</source>
        <translation>Die Menüleiste erreicht den Sicherungsdienst seit fünf Minuten nicht; Ihre Sicherungen laufen möglicherweise nicht.</translation>
    </message>
    <message>
        <source>Backups to %1 need attention</source>
        <translation>Sicherungen auf %1 brauchen Aufmerksamkeit</translation>
    </message>
    <message>
        <source>Open the status panel for details.</source>
        <translation>Details zeigt das Statusfenster.</translation>
    </message>
    <message>
        <source>%1 has been offline for over an hour</source>
        <translation>%1 ist seit über einer Stunde offline</translation>
    </message>
    <message>
        <source>Backups to it go on once it is back online.</source>
        <translation>Sicherungen dorthin gehen weiter, sobald es wieder online ist.</translation>
    </message>
</context>
<context>
    <name>VTStatusPanel</name>
    <message>
        <source>Backing up to</source>
        <translation>Sicherung auf</translation>
    </message>
    <message>
        <source>Backing up to this computer</source>
        <translation>Sicherung auf diesen Computer</translation>
    </message>
    <message>
        <source>Connecting to backup service...</source>
        <translation>Verbindung zum Sicherungsdienst wird hergestellt...</translation>
    </message>
    <message>
        <source>For &amp;15 minutes</source>
        <translation>Für &amp;15 Minuten</translation>
    </message>
    <message>
        <source>For 1 &amp;hour</source>
        <translation>Für 1 &amp;Stunde</translation>
    </message>
    <message>
        <source>For 1 &amp;day</source>
        <translation>Für 1 &amp;Tag</translation>
    </message>
    <message>
        <source>&amp;Resume Backups</source>
        <translation>Sicherungen &amp;fortsetzen</translation>
    </message>
    <message>
        <source>&amp;Open Vaultor</source>
        <translation>Vaultor &amp;öffnen</translation>
    </message>
    <message>
        <source>Manage &amp;Account Online...</source>
        <translation>&amp;Konto online verwalten...</translation>
    </message>
    <message>
        <source>Pr&amp;eferences...</source>
        <translation>&amp;Einstellungen...</translation>
    </message>
    <message>
        <source>&amp;Quit Vaultor Menu Bar</source>
        <translation>Vaultor-Menüleiste &amp;beenden</translation>
    </message>
</context>
<context>
    <name>VTStatusWindow</name>
    <message>
        <source>No system tray is running, so the menu bar shows its status in this window. The window goes away when a tray appears.</source>
        <translation>Es läuft keine Systemleiste, daher zeigt die Menüleiste ihren Status in diesem Fenster. Das Fenster verschwindet, sobald eine Systemleiste erscheint.</translation>
    </message>
    <message>
        <source>Backing up to</source>
        <translation>Sicherung auf</translation>
    </message>
    <message>
        <source>Backing up to this computer</source>
        <translation>Sicherung auf diesen Computer</translation>
    </message>
</context>
<context>
    <name>VTThemeNameTransformer</name>
    <message>
        <source>Dots</source>
        <translation>Punkte</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Farben</translation>
    </message>
    <message>
        <source>Gradient</source>
        <translation>Verlauf</translation>
    </message>
    <message>
        <source>No animation</source>
        <translation>Keine Animation</translation>
    </message>
</context>
<context>
    <name>VTUtils</name>
    <message>
        <source>Shows the state of your backups in the tray</source>
        <translation>Zeigt den Zustand Ihrer Sicherungen in der Systemleiste</translation>
    </message>
</context>
</TS>
