// The sanitizers' options and suppressions, compiled into every program of the sanitized build, so
// ctest, the Python-driven tests (which start diehost themselves) and a developer's own runs all use
// them. An ASAN_OPTIONS, LSAN_OPTIONS or UBSAN_OPTIONS in the environment still adds to them.
#define DIEKIT_SUPPRESSIONS(file) "suppressions=" DIEKIT_SANITIZE_DIR "/" file

extern "C" {

__attribute__((visibility("default"), used)) const char *__asan_default_options() {
    return "detect_leaks=1:abort_on_error=0:halt_on_error=1:exitcode=99";
}

__attribute__((visibility("default"), used)) const char *__lsan_default_options() {
    return DIEKIT_SUPPRESSIONS("lsan.supp") ":print_suppressions=0";
}

__attribute__((visibility("default"), used)) const char *__ubsan_default_options() {
    return DIEKIT_SUPPRESSIONS("ubsan.supp") ":print_stacktrace=1:halt_on_error=1:exitcode=99";
}

}
