package com.vaultor.sim.server;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.StandardCopyOption;
import java.nio.file.attribute.PosixFilePermissions;

/**
 * The ".ui_info" file through which tray clients find the service: "port,token,127.0.0.1". The
 * token is a secret, so the file is readable by its owner only; it appears in one step, so a
 * client never reads half of it; and on exit it is removed only if it still holds what this
 * simulator wrote (another instance may have taken over).
 */
public final class EndpointFile {
    private final Path path;
    private final String content;

    public EndpointFile(Path path, int port, String token) {
        this.path = path;
        this.content = port + "," + token + ",127.0.0.1";
    }

    public Path path() {
        return path;
    }

    public void write() throws IOException {
        Path folder = path.getParent();
        Files.createDirectories(folder);
        Path temporary = Files.createTempFile(folder, ".ui_info", ".tmp",
                PosixFilePermissions.asFileAttribute(PosixFilePermissions.fromString("rw-------")));
        try {
            Files.writeString(temporary, content, StandardCharsets.UTF_8);
            Files.move(temporary, path, StandardCopyOption.REPLACE_EXISTING, StandardCopyOption.ATOMIC_MOVE);
        } finally {
            Files.deleteIfExists(temporary);
        }
    }

    /** Removes the file if it is still ours; returns whether it did. */
    public boolean remove() throws IOException {
        if (!Files.isRegularFile(path)) {
            return false;
        }
        if (!Files.readString(path, StandardCharsets.UTF_8).equals(content)) {
            return false;
        }
        Files.delete(path);
        return true;
    }
}
