// Sanitizer defaults of every test executable, also for runs outside CTest (a test started by
// hand or under a debugger).
extern "C" {
// The toolkit keeps process-wide objects until exit; their memory is not a fault of ours.
const char *__asan_default_options()
{
    return "detect_leaks=0:abort_on_error=0";
}

const char *__ubsan_default_options()
{
    return "print_stacktrace=1:halt_on_error=1";
}
}
