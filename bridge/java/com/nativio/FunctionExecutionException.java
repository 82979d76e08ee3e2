package com.nativio;

/** A native call could not be made or faulted; a fault's message is its signal number in hex. */
public class FunctionExecutionException extends RuntimeException {
    private static final long serialVersionUID = 1L;

    public FunctionExecutionException(String message) {
        super(message);
    }
}
