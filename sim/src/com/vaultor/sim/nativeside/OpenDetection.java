package com.vaultor.sim.nativeside;

import com.nativio.CallbackFunction;
import com.nativio.CallbackInvocation;
import com.nativio.CallbackSignature;
import com.nativio.ReturnType;
import com.vaultor.sim.server.SimLog;
import java.nio.ByteBuffer;
import java.nio.file.Path;
import java.time.Instant;
import java.util.List;

/**
 * libvtnative's file-open detector on the watched folder: every file that one of the named
 * programs opens there is logged, with the program, the user and the time.
 */
public final class OpenDetection implements AutoCloseable {
    private static final int RECORD_BYTES = 32;

    private final NativeHelper helper;
    private final CallbackFunction opened;
    private final CallbackFunction logged;
    private final long detector;

    public OpenDetection(NativeHelper helper, List<String> processNames, Path folder, SimLog log) {
        this.helper = helper;
        opened = new CallbackFunction(new CallbackSignature(ReturnType.VOID).addPointer()) {
            @Override
            protected void invoke(CallbackInvocation call) {
                ByteBuffer record = NativeHelper.buffer(call.pointerAt(0), RECORD_BYTES);
                log.note("detect: " + NativeHelper.string(record.getLong(8)) + " opened "
                        + NativeHelper.string(record.getLong(0)) + " as user \""
                        + NativeHelper.string(record.getLong(16)) + "\" at "
                        + Instant.ofEpochMilli(record.getLong(24)));
            }
        };
        logged = new CallbackFunction(new CallbackSignature(ReturnType.VOID).addPointer().addInt()) {
            @Override
            protected void invoke(CallbackInvocation call) {
                log.note("detector (level " + call.intAt(1) + "): " + NativeHelper.string(call.pointerAt(0)));
            }
        };
        long handle;
        try (NativeHelper.CStrings names = new NativeHelper.CStrings(processNames);
                NativeHelper.CStrings included = new NativeHelper.CStrings(List.of(folder.toString()));
                NativeHelper.CStrings excluded = new NativeHelper.CStrings(List.of())) {
            handle = helper.call("create_detector", ReturnType.POINTER)
                    .pointer(opened.address())
                    .pointer(logged.address())
                    .integer(helper.intConstant("LEVEL_INFO"))
                    .pointer(names.address())
                    .integer(names.count())
                    .pointer(included.address())
                    .integer(included.count())
                    .pointer(excluded.address())
                    .integer(excluded.count())
                    .invoke()
                    .resultLong();
        }
        if (handle == 0) {
            opened.close();
            logged.close();
            throw new IllegalStateException("the native library refused to detect openings in " + folder);
        }
        detector = handle;
        helper.call("start_detection", ReturnType.VOID).pointer(detector).invoke();
        log.note("detecting the files " + String.join(", ", processNames) + " open in " + folder);
    }

    @Override
    public void close() {
        helper.call("invalidate_detector", ReturnType.VOID).pointer(detector).invoke();
        opened.close();
        logged.close();
    }
}
