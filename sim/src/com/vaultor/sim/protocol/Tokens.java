package com.vaultor.sim.protocol;

import java.util.List;
import java.util.regex.Pattern;

/** Token payloads: texts joined by "|", with no escaping (a "|" inside a token splits it). */
public final class Tokens {
    private static final Pattern BAR = Pattern.compile("\\|");

    private Tokens() {}

    public static String join(List<String> tokens) {
        return String.join("|", tokens);
    }

    /** Splits at every "|", keeping empty pieces, also trailing ones; an empty text gives no tokens. */
    public static List<String> split(String text) {
        if (text.isEmpty()) {
            return List.of();
        }
        return List.of(BAR.split(text, -1));
    }
}
