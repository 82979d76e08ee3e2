package com.nativio;

/** A library could not be opened; the message names the path and the loader's reason. */
public class LibraryNotFoundException extends RuntimeException {
    private static final long serialVersionUID = 1L;

    public LibraryNotFoundException(String message) {
        super(message);
    }
}
