package com.vaultor.sim;

import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.function.LongPredicate;

/** The simulator's command line: the world to build and the scenario to play. */
public final class Options {
    public static final String USAGE = String.join("\n",
            "usage: java -jar vaultor-sim.jar [options]",
            "  --port P               listen on 127.0.0.1:P (default: a free port)",
            "  --data-home DIR        write DIR/Vaultor/.ui_info (default: $XDG_DATA_HOME or ~/.local/share)",
            "  --destinations N       destinations, the first one the cloud (default 2)",
            "  --sources M            computers backing up to this one (default 1)",
            "  --seed S               seed of the simulated world (default 1)",
            "  --speed X              simulated work per wall-clock second (default 1)",
            "  --legacy               speak only the older protocol (status tray version 0)",
            "  --offline GUID         this destination is unreachable (repeatable)",
            "  --out-of-space GUID    this destination has no space left (repeatable)",
            "  --alert                the service has an alert for the user",
            "  --no-answer            accept connections and frames, never answer",
            "  --stall-mid-frame      send the header and half the payload of the first answer, then nothing",
            "  --garbage              send a header with a negative length instead of the first answer",
            "  --misbehave-first N    the three switches above apply to the first N connections only",
            "  --shutdown-after SEC   tell every client the service shuts down, then exit",
            "  --log                  print every frame received and sent, one line each",
            "  --watch DIR            watch DIR through the native library: its changed files become files to do",
            "  --detect NAME,...      as root, also log every file under DIR these programs open",
            "  --help                 print this text");

    private static final int MAX_COMPUTERS = 1000;
    private static final double MAX_SPEED = 100_000;

    private int port;
    private Path dataHome;
    private int destinations = 2;
    private int sources = 1;
    private long seed = 1;
    private double speed = 1;
    private boolean legacy;
    private final List<Long> offline = new ArrayList<>();
    private final List<Long> outOfSpace = new ArrayList<>();
    private boolean alert;
    private boolean noAnswer;
    private boolean stallMidFrame;
    private boolean garbage;
    private int misbehaveFirst = -1;
    private double shutdownAfterSeconds = -1;
    private boolean log;
    private Path watch;
    private final List<String> detect = new ArrayList<>();
    private boolean help;

    private Options() {}

    /** Parses the arguments; the environment supplies XDG_DATA_HOME and HOME for the default data home. */
    public static Options parse(List<String> args, Map<String, String> environment) throws OptionsException {
        Options options = new Options();
        Arguments arguments = new Arguments(args);
        while (arguments.hasNext()) {
            String option = arguments.next();
            switch (option) {
                case "--port" -> options.port = (int) arguments.integer(option, 0, 65535);
                case "--data-home" -> options.dataHome = Path.of(arguments.value(option)).toAbsolutePath();
                case "--destinations" -> options.destinations = (int) arguments.integer(option, 0, MAX_COMPUTERS);
                case "--sources" -> options.sources = (int) arguments.integer(option, 0, MAX_COMPUTERS);
                case "--seed" -> options.seed = arguments.anyInteger(option);
                case "--speed" -> options.speed = arguments.positiveDecimal(option, MAX_SPEED);
                case "--legacy" -> options.legacy = true;
                case "--offline" -> options.offline.add(arguments.guid(option));
                case "--out-of-space" -> options.outOfSpace.add(arguments.guid(option));
                case "--alert" -> options.alert = true;
                case "--no-answer" -> options.noAnswer = true;
                case "--stall-mid-frame" -> options.stallMidFrame = true;
                case "--garbage" -> options.garbage = true;
                case "--misbehave-first" -> options.misbehaveFirst = (int) arguments.integer(option, 0, Integer.MAX_VALUE);
                case "--shutdown-after" -> options.shutdownAfterSeconds = arguments.decimal(option, 1e9);
                case "--log" -> options.log = true;
                case "--watch" -> options.watch = Path.of(arguments.value(option)).toAbsolutePath().normalize();
                case "--detect" -> options.detect.addAll(processNames(arguments.value(option)));
                case "--help", "-h" -> options.help = true;
                default -> throw new OptionsException("unknown option: " + option);
            }
        }
        if (!options.detect.isEmpty() && options.watch == null) {
            throw new OptionsException("--detect needs --watch DIR: it reports openings under the watched folder");
        }
        if (options.dataHome == null) {
            options.dataHome = defaultDataHome(environment);
        }
        return options;
    }

    private static List<String> processNames(String list) throws OptionsException {
        List<String> names = new ArrayList<>();
        for (String name : list.split(",", -1)) {
            if (name.isBlank()) {
                throw new OptionsException("--detect: empty process name in \"" + list + "\"");
            }
            names.add(name.strip());
        }
        return names;
    }

    private static Path defaultDataHome(Map<String, String> environment) throws OptionsException {
        String xdg = environment.get("XDG_DATA_HOME");
        if (xdg != null && Path.of(xdg).isAbsolute()) {
            return Path.of(xdg);
        }
        String home = environment.get("HOME");
        if (home == null || home.isEmpty()) {
            throw new OptionsException("neither XDG_DATA_HOME nor HOME is set; pass --data-home DIR");
        }
        return Path.of(home, ".local", "share");
    }

    /** The GUIDs of both lists that the world does not know, for a clear start-up error. */
    public List<Long> unknownGuids(LongPredicate isDestination) {
        List<Long> unknown = new ArrayList<>();
        for (List<Long> guids : List.of(offline, outOfSpace)) {
            guids.stream().filter(guid -> !isDestination.test(guid)).forEach(unknown::add);
        }
        return unknown;
    }

    public int port() {
        return port;
    }

    public Path dataHome() {
        return dataHome;
    }

    public Path endpointFile() {
        return dataHome.resolve("Vaultor").resolve(".ui_info");
    }

    public int destinations() {
        return destinations;
    }

    public int sources() {
        return sources;
    }

    public long seed() {
        return seed;
    }

    public double speed() {
        return speed;
    }

    public boolean legacy() {
        return legacy;
    }

    public List<Long> offline() {
        return List.copyOf(offline);
    }

    public List<Long> outOfSpace() {
        return List.copyOf(outOfSpace);
    }

    public boolean alert() {
        return alert;
    }

    public boolean noAnswer() {
        return noAnswer;
    }

    public boolean stallMidFrame() {
        return stallMidFrame;
    }

    public boolean garbage() {
        return garbage;
    }

    /** Whether the connection with this number (from 1) is one that misbehaves. */
    public boolean misbehavesOn(int connectionNumber) {
        return misbehaveFirst < 0 || connectionNumber <= misbehaveFirst;
    }

    /** Seconds until the simulated shutdown; negative when there is none. */
    public double shutdownAfterSeconds() {
        return shutdownAfterSeconds;
    }

    public boolean log() {
        return log;
    }

    /** The folder to watch through the native library, or null when the simulator has no native side. */
    public Path watch() {
        return watch;
    }

    /** Process names whose openings under the watched folder are detected (as root). */
    public List<String> detect() {
        return List.copyOf(detect);
    }

    public boolean help() {
        return help;
    }
}
