package com.vaultor.sim.nativeside;

/** Where the changes of a watched folder go. */
public interface FolderEvents {
    void fileChanged(String path, long bytes);

    void fileDeleted(String path);
}
