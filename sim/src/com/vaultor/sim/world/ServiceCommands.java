package com.vaultor.sim.world;

import java.time.Instant;
import java.util.ArrayList;
import java.util.List;
import java.util.Optional;

/**
 * Carries out what the tray asks of the service: pausing and resuming the whole service, and
 * the text commands of CommandTrayRequestMessage, of which the tray uses
 * "pause.target GUID MINUTES [SETID]". Minutes that land in the past resume instead of pause.
 */
public final class ServiceCommands {
    private static final String PAUSE_TARGET = "pause.target";
    private static final String PAUSE_TARGET_USAGE = "usage: pause.target GUID MINUTES [SETID]";

    private final World world;

    public ServiceCommands(World world) {
        this.world = world;
    }

    public CommandResult pauseSystem(String minutesText, long nowMillis) {
        Optional<Long> minutes = number(minutesText);
        if (minutes.isEmpty()) {
            return CommandResult.failed("minutes must be a whole number: " + minutesText);
        }
        long until = world.pauseSystem(minutes.get(), nowMillis);
        return CommandResult.ok(List.of(
                until == 0 ? "backups resumed" : "backups paused until " + Instant.ofEpochMilli(until)));
    }

    public CommandResult resumeSystem() {
        world.resumeSystem();
        return CommandResult.ok(List.of("backups resumed"));
    }

    public CommandResult run(String command, long nowMillis) {
        String[] words = command.trim().split("\\s+");
        if (!words[0].equals(PAUSE_TARGET)) {
            return CommandResult.failed("unknown command: " + command);
        }
        if (words.length < 3 || words.length > 4) {
            return CommandResult.failed(PAUSE_TARGET_USAGE);
        }
        Optional<Long> guid = number(words[1]);
        Optional<Long> minutes = number(words[2]);
        Optional<Long> setId = words.length == 4 ? number(words[3]) : Optional.empty();
        if (guid.isEmpty() || minutes.isEmpty() || (words.length == 4 && setId.isEmpty())) {
            return CommandResult.failed(PAUSE_TARGET_USAGE);
        }
        return pauseTarget(guid.get(), minutes.get(), setId, nowMillis);
    }

    private CommandResult pauseTarget(long guid, long minutes, Optional<Long> setId, long nowMillis) {
        synchronized (world) {
            Optional<Destination> destination = world.destination(guid);
            if (destination.isEmpty()) {
                return CommandResult.failed("no destination with GUID " + guid);
            }
            List<SetProgress> chosen = new ArrayList<>();
            if (setId.isPresent()) {
                Optional<SetProgress> progress = destination.get().set(setId.get());
                if (progress.isEmpty()) {
                    return CommandResult.failed("destination " + guid + " has no set " + setId.get());
                }
                chosen.add(progress.get());
            } else {
                chosen.addAll(destination.get().sets());
            }
            List<String> results = new ArrayList<>();
            for (SetProgress progress : chosen) {
                world.pauseSet(progress, minutes, nowMillis);
                String what = "set " + progress.set().id() + " on destination " + guid;
                results.add(progress.isPaused(nowMillis)
                        ? what + " paused until " + Instant.ofEpochMilli(progress.resumeTime(nowMillis))
                        : what + " resumed");
            }
            return CommandResult.ok(results);
        }
    }

    private static Optional<Long> number(String text) {
        try {
            return Optional.of(Long.parseLong(text.trim()));
        } catch (NumberFormatException notNumber) {
            return Optional.empty();
        }
    }
}
