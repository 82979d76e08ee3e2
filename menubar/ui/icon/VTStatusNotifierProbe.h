#pragma once

#include <QElapsedTimer>
#include <QSystemTrayIcon>
#include <optional>

// Whether the tray icon went to the desktop as a StatusNotifierItem over the session bus, the
// host drawing what it reads there, rather than as a window embedded in an XEmbed tray. Qt
// chooses when it makes the tray icon and, on the bus, registers the item with the host's
// watcher as the icon is shown, without waiting for the answer; so the watcher is asked once
// the icon is visible, and a "no" is final only after the item had a moment to register.
class VTStatusNotifierProbe {
  public:
    // False until the answer is known, which is then kept for the rest of the run.
    bool overBus(const QSystemTrayIcon* item);

  private:
    static bool registeredWithWatcher();

    static constexpr qint64 kRegistrationGraceMs = 2000;
    static constexpr int kWatcherTimeoutMs = 500;

    std::optional<bool> answer_;
    QElapsedTimer shownFor_;
};
