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
    <name>VTSourceStatusTextBuilder</name>
    <message>
        <source>Out of space</source>
        <translation>Kein Speicherplatz</translation>
    </message>
</context>
</TS>
