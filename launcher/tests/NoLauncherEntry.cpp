// A loadable library that is not a Java launcher: it lacks JLI_Launch.
extern "C" int vt_not_a_java_launcher() {
    return 0;
}
