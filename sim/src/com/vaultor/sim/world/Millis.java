package com.vaultor.sim.world;

/** Points in time a number of minutes away, without overflowing on absurd minute counts. */
final class Millis {
    private Millis() {}

    static long plusMinutes(long nowMillis, long minutes) {
        long delta;
        try {
            delta = Math.multiplyExact(minutes, 60_000L);
        } catch (ArithmeticException overflow) {
            delta = minutes < 0 ? Long.MIN_VALUE : Long.MAX_VALUE;
        }
        try {
            return Math.addExact(nowMillis, delta);
        } catch (ArithmeticException overflow) {
            return delta < 0 ? Long.MIN_VALUE : Long.MAX_VALUE;
        }
    }
}
