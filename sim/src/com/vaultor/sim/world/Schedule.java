package com.vaultor.sim.world;

/**
 * A repeating window in simulated seconds: open for openSeconds, then closed for closedSeconds,
 * starting open at simulated time 0 shifted by offsetSeconds. The text is what the service shows
 * as the schedule; the window itself is compressed so that a demo shows it opening and closing.
 */
public record Schedule(String text, double openSeconds, double closedSeconds, double offsetSeconds) {
    public static final Schedule ALWAYS = new Schedule("", 1, 0, 0);

    public boolean isWithin(double simSeconds) {
        if (closedSeconds <= 0) {
            return true;
        }
        double period = openSeconds + closedSeconds;
        double position = ((simSeconds + offsetSeconds) % period + period) % period;
        return position < openSeconds;
    }
}
