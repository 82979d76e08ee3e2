package com.vaultor.sim.nativeside;

import com.nativio.MemoryManager;
import com.nativio.ReturnType;
import java.util.ArrayList;
import java.util.List;

/** What the service learns about this computer at start: volumes, power, Wi-Fi and proxy. */
public final class SystemFacts {
    private static final int MAX_NETWORKS = 100;

    private final NativeHelper helper;

    public SystemFacts(NativeHelper helper) {
        this.helper = helper;
    }

    /** One line per fact, ready to be logged. */
    public List<String> lines() {
        List<String> lines = new ArrayList<>(volumes());
        int onBattery = helper.call("isRunningOnBattery", ReturnType.INT32).invoke().resultInt();
        int charge = helper.call("batteryCharge", ReturnType.INT32).invoke().resultInt();
        lines.add("power: " + (onBattery == 1 ? "on battery" : "on mains") + ", charge " + charge + "%");
        List<String> wifi = strings("currentSSIDAndMAC", 2);
        lines.add(wifi.isEmpty() ? "wifi: not on a network" : "wifi: " + String.join(" ", wifi));
        lines.add("known networks in sight: " + strings("networkSSIDs", MAX_NETWORKS).size());
        List<String> proxy = strings("getProxyAutoconfigURLs", 1);
        lines.add(proxy.isEmpty() ? "proxy: no auto-configuration" : "proxy: auto-configuration " + proxy.get(0));
        return lines;
    }

    private List<String> volumes() {
        long cells = MemoryManager.alloc(16);
        try {
            NativeHelper.buffer(cells, 16).putLong(0).putLong(0);
            int count = helper.call("zed_fetch_volumes", ReturnType.INT32)
                    .pointer(cells)
                    .pointer(cells + 8)
                    .invoke()
                    .resultInt();
            long paths = NativeHelper.pointerAt(cells, 0);
            long names = NativeHelper.pointerAt(cells, 1);
            List<String> lines = new ArrayList<>();
            if (count < 0) {
                lines.add("volumes: cannot be listed");
            }
            for (int i = 0; i < count; i++) {
                lines.add("volume " + NativeHelper.string(NativeHelper.pointerAt(paths, i)) + " \""
                        + NativeHelper.string(NativeHelper.pointerAt(names, i)) + "\"");
            }
            free(paths, count);
            free(names, count);
            return lines;
        } finally {
            MemoryManager.free(cells);
        }
    }

    private void free(long array, int count) {
        if (array != 0) {
            helper.call("zed_free_cstring_array", ReturnType.VOID).pointer(array).integer(count).invoke();
        }
    }

    /** The library keeps these arrays itself: they are read, never freed. */
    private List<String> strings(String function, int limit) {
        return NativeHelper.strings(helper.call(function, ReturnType.POINTER).invoke().resultLong(), limit);
    }
}
