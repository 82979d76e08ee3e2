package com.vaultor.sim;

/** A command line the simulator cannot run with. */
public final class OptionsException extends Exception {
    private static final long serialVersionUID = 1L;

    public OptionsException(String message) {
        super(message);
    }
}
