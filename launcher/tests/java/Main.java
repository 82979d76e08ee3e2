// The stand-in service: reports what reached it, then ends the way its system properties ask.
public class Main {
    private static native String probe();

    public static void main(String[] args) {
        System.out.println("command=" + ProcessHandle.current().info().command().orElse(""));
        System.out.println("probe=" + System.getProperty("vaultor.probe", ""));
        System.out.println("argc=" + args.length);
        for (String arg : args) {
            System.out.println("arg=[" + arg + "]");
        }
        String library = System.getProperty("vaultor.loadLibrary");
        if (library != null) {
            System.loadLibrary(library);
            System.out.println("native=" + probe());
        }
        String exit = System.getProperty("vaultor.exit");
        if (exit != null) {
            System.exit(Integer.parseInt(exit));
        }
        if (System.getProperty("vaultor.throw") != null) {
            throw new IllegalStateException("thrown by the stand-in service");
        }
    }
}
