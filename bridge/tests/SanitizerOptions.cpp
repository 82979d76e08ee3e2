// The fault guard's own handling of SIGSEGV, SIGBUS and SIGFPE is under test; a sanitizer
// build of the tests leaves those signals to it instead of reporting them itself.
extern "C" const char* __asan_default_options() {
    return "handle_segv=0:handle_sigbus=0:handle_sigfpe=0:allow_user_segv_handler=1";
}

extern "C" const char* __tsan_default_options() {
    return "handle_segv=0:handle_sigbus=0:handle_sigfpe=0";
}
