package com.nativio;

/** A library has no function of the requested name; the message is the name. */
public class NoSuchFunctionException extends RuntimeException {
    private static final long serialVersionUID = 1L;

    public NoSuchFunctionException(String message) {
        super(message);
    }
}
