package com.vaultor.sim.world;

import java.util.List;
import java.util.Random;

/** Believable file paths for the files a set is working on. */
final class FileNames {
    private static final List<String> FOLDERS = List.of(
            "2024", "2025", "2026", "Archive", "Drafts", "Family", "Holiday", "Invoices", "Projects",
            "Scans", "Shared", "Taxes", "Travel", "Work");
    private static final List<String> WORDS = List.of(
            "budget", "notes", "report", "summary", "beach", "garden", "birthday", "concert", "draft",
            "plan", "letter", "receipt", "contract", "sketch", "lecture", "recipe", "interview");
    private static final List<String> EXTENSIONS = List.of(
            ".pdf", ".docx", ".jpg", ".png", ".heic", ".mp3", ".flac", ".txt", ".xlsx", ".mov");

    private final Random random;

    FileNames(Random random) {
        this.random = random;
    }

    String next(String setFolder) {
        return setFolder + "/" + pick(FOLDERS) + "/" + pick(WORDS) + "-" + (1 + random.nextInt(400))
                + pick(EXTENSIONS);
    }

    private String pick(List<String> choices) {
        return choices.get(random.nextInt(choices.size()));
    }
}
