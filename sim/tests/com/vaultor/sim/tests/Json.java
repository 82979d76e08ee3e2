package com.vaultor.sim.tests;

import java.math.BigDecimal;
import java.util.ArrayList;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * A small strict JSON reader for checking the simulator's documents. Numbers come back as
 * BigDecimal, so 64-bit GUIDs and decimal ratios are compared exactly.
 */
final class Json {
    private final String text;
    private int position;

    private Json(String text) {
        this.text = text;
    }

    static Object parse(String text) {
        Json reader = new Json(text);
        Object value = reader.value();
        reader.skipBlanks();
        if (reader.position != text.length()) {
            throw reader.error("text after the document");
        }
        return value;
    }

    @SuppressWarnings("unchecked")
    static Map<String, Object> object(Object value, String what) {
        if (!(value instanceof Map)) {
            throw new AssertionError(what + " is not an object: " + value);
        }
        return (Map<String, Object>) value;
    }

    static Map<String, Object> object(Map<String, Object> parent, String key) {
        return object(parent.get(key), "\"" + key + "\"");
    }

    static long integer(Map<String, Object> parent, String key) {
        Object value = parent.get(key);
        if (!(value instanceof BigDecimal number)) {
            throw new AssertionError("\"" + key + "\" is not a number: " + value);
        }
        return number.longValueExact();
    }

    private Object value() {
        skipBlanks();
        if (position >= text.length()) {
            throw error("unexpected end");
        }
        char c = text.charAt(position);
        return switch (c) {
            case '{' -> objectValue();
            case '[' -> arrayValue();
            case '"' -> stringValue();
            case 't' -> literal("true", Boolean.TRUE);
            case 'f' -> literal("false", Boolean.FALSE);
            case 'n' -> literal("null", null);
            default -> numberValue();
        };
    }

    private Map<String, Object> objectValue() {
        Map<String, Object> map = new LinkedHashMap<>();
        position++;
        skipBlanks();
        if (peek() == '}') {
            position++;
            return map;
        }
        while (true) {
            skipBlanks();
            String key = stringValue();
            skipBlanks();
            expect(':');
            if (map.put(key, value()) != null) {
                throw error("duplicate key " + key);
            }
            skipBlanks();
            if (peek() == '}') {
                position++;
                return map;
            }
            expect(',');
        }
    }

    private List<Object> arrayValue() {
        List<Object> list = new ArrayList<>();
        position++;
        skipBlanks();
        if (peek() == ']') {
            position++;
            return list;
        }
        while (true) {
            list.add(value());
            skipBlanks();
            if (peek() == ']') {
                position++;
                return list;
            }
            expect(',');
        }
    }

    private String stringValue() {
        expect('"');
        StringBuilder out = new StringBuilder();
        while (true) {
            char c = text.charAt(position++);
            if (c == '"') {
                return out.toString();
            }
            if (c < 0x20) {
                throw error("raw control character in a string");
            }
            if (c != '\\') {
                out.append(c);
                continue;
            }
            char escaped = text.charAt(position++);
            switch (escaped) {
                case '"', '\\', '/' -> out.append(escaped);
                case 'n' -> out.append('\n');
                case 'r' -> out.append('\r');
                case 't' -> out.append('\t');
                case 'b' -> out.append('\b');
                case 'f' -> out.append('\f');
                case 'u' -> {
                    out.append((char) Integer.parseInt(text.substring(position, position + 4), 16));
                    position += 4;
                }
                default -> throw error("bad escape \\" + escaped);
            }
        }
    }

    private BigDecimal numberValue() {
        int start = position;
        while (position < text.length() && "+-0123456789.eE".indexOf(text.charAt(position)) >= 0) {
            position++;
        }
        try {
            return new BigDecimal(text.substring(start, position));
        } catch (NumberFormatException bad) {
            throw error("bad number");
        }
    }

    private Object literal(String word, Object value) {
        if (!text.startsWith(word, position)) {
            throw error("expected " + word);
        }
        position += word.length();
        return value;
    }

    private char peek() {
        if (position >= text.length()) {
            throw error("unexpected end");
        }
        return text.charAt(position);
    }

    private void expect(char c) {
        if (peek() != c) {
            throw error("expected '" + c + "'");
        }
        position++;
    }

    private void skipBlanks() {
        while (position < text.length() && Character.isWhitespace(text.charAt(position))) {
            position++;
        }
    }

    private AssertionError error(String problem) {
        return new AssertionError("JSON " + problem + " at " + position + " in " + text);
    }
}
