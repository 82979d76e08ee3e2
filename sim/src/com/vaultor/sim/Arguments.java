package com.vaultor.sim;

import java.util.List;

/** Walks a command line, reading option values with range checks. */
final class Arguments {
    private final List<String> args;
    private int position;

    Arguments(List<String> args) {
        this.args = List.copyOf(args);
    }

    boolean hasNext() {
        return position < args.size();
    }

    String next() {
        return args.get(position++);
    }

    String value(String option) throws OptionsException {
        if (!hasNext()) {
            throw new OptionsException(option + " needs a value");
        }
        return next();
    }

    long integer(String option, long min, long max) throws OptionsException {
        String text = value(option);
        long number;
        try {
            number = Long.parseLong(text);
        } catch (NumberFormatException notNumber) {
            throw new OptionsException(option + " needs a whole number, not '" + text + "'");
        }
        if (number < min || number > max) {
            throw new OptionsException(option + " must lie between " + min + " and " + max + ", not " + number);
        }
        return number;
    }

    long anyInteger(String option) throws OptionsException {
        return integer(option, Long.MIN_VALUE, Long.MAX_VALUE);
    }

    long guid(String option) throws OptionsException {
        return anyInteger(option);
    }

    /** A decimal from 0 to max. */
    double decimal(String option, double max) throws OptionsException {
        String text = value(option);
        double number;
        try {
            number = Double.parseDouble(text);
        } catch (NumberFormatException notNumber) {
            throw new OptionsException(option + " needs a number, not '" + text + "'");
        }
        if (!(number >= 0 && number <= max)) {
            throw new OptionsException(option + " must lie between 0 and " + max + ", not " + text);
        }
        return number;
    }

    /** A decimal above 0 and up to max. */
    double positiveDecimal(String option, double max) throws OptionsException {
        double number = decimal(option, max);
        if (number == 0) {
            throw new OptionsException(option + " must be greater than 0");
        }
        return number;
    }
}
