package com.nativio;

/** A library has no variable of the requested name; the message is the name. */
public class NoSuchVariableException extends RuntimeException {
    private static final long serialVersionUID = 1L;

    public NoSuchVariableException(String message) {
        super(message);
    }
}
