package com.nativio;

import java.lang.ref.Cleaner;

/**
 * A Java function that C code can call through a native function pointer ({@link #address}).
 * Subclasses give the C signature and implement {@link #invoke}; the meta record and the
 * parameter slots are laid out here. Close it once no C code can call it any more.
 *
 * <pre>
 *   CallbackFunction add = new CallbackFunction(
 *           new CallbackSignature(ReturnType.INT32).addInt().addInt()) {
 *       protected void invoke(CallbackInvocation call) {
 *           call.returnInt(call.intAt(0) + call.intAt(1));
 *       }
 *   };
 * </pre>
 *
 * The slots' buffer has room for the whole result after them, so every result, in registers or
 * in memory, is written there: calls on several threads at once never share it.
 */
public abstract class CallbackFunction implements AutoCloseable {
    private static final Cleaner CLEANER = Cleaner.create();

    private final CallbackSignature signature;
    private final Cleaner.Cleanable metaRelease;
    private volatile long meta;
    private long address;
    private boolean closed;

    protected CallbackFunction(CallbackSignature signature) {
        this.signature = signature;
        long[] words = signature.metaWords();
        long record = MemoryManager.alloc(8L * words.length);
        for (int i = 0; i < words.length; i++) {
            NativeMemory.putLong(record + 8L * i, words[i]);
        }
        meta = record;
        metaRelease = CLEANER.register(this, new Release(record));
    }

    /** Called on the C caller's thread for every call. */
    protected abstract void invoke(CallbackInvocation call);

    public final CallbackSignature signature() {
        return signature;
    }

    /** The native function pointer, created on first use. */
    public final synchronized long address() {
        if (closed) {
            throw new IllegalStateException("callback closed");
        }
        if (address == 0) {
            address = Callback.createNativeFunctionInstance(this);
        }
        return address;
    }

    /** Releases the function pointer and the meta record; C code must no longer call it. */
    @Override
    public final synchronized void close() {
        if (closed) {
            return;
        }
        closed = true;
        if (address != 0) {
            Callback.releaseNativeFunctionInstance(address);
            address = 0;
        }
        meta = 0;
        metaRelease.clean();
    }

    public final int getParametersLength() {
        return signature.slotBytes();
    }

    public final long getCallbackMetaInfo() {
        return meta;
    }

    public final long enterPoint(long buffer, int length) {
        long result = buffer + length;
        invoke(new CallbackInvocation(signature, buffer, result));
        return result;
    }

    private static final class Release implements Runnable {
        private final long record;

        Release(long record) {
            this.record = record;
        }

        @Override
        public void run() {
            MemoryManager.free(record);
        }
    }
}
