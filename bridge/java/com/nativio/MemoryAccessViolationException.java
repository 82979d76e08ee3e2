package com.nativio;

/** Reading native memory faulted; the message is the signal number in hex. */
public class MemoryAccessViolationException extends RuntimeException {
    private static final long serialVersionUID = 1L;

    public MemoryAccessViolationException(String message) {
        super(message);
    }
}
