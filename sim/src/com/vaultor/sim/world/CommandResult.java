package com.vaultor.sim.world;

import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/** The outcome of a tray command, shaped as the CommandTrayResponseMessage document. */
public record CommandResult(boolean success, String error, List<String> results) {
    public CommandResult {
        results = List.copyOf(results);
    }

    public static CommandResult ok(List<String> results) {
        return new CommandResult(true, null, results);
    }

    public static CommandResult failed(String error) {
        return new CommandResult(false, error, List.of());
    }

    /** {"success":..., "error":... (failures only), "results":[{"success":..., "result":...}]} */
    public Map<String, Object> document() {
        Map<String, Object> document = new LinkedHashMap<>();
        document.put("success", success);
        if (error != null) {
            document.put("error", error);
        }
        document.put("results", results.stream().map(CommandResult::entry).toList());
        return document;
    }

    private static Map<String, Object> entry(String result) {
        Map<String, Object> entry = new LinkedHashMap<>();
        entry.put("success", true);
        entry.put("result", result);
        return entry;
    }
}
