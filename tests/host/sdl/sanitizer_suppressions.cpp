// ThreadSanitizer reads these for the test binary and the children it forks
// (the same text as tsan.supp, which the program run by the tests is given).
#ifdef KAZE_HAVE_SDL
extern "C" const char* __tsan_default_suppressions() { return "race:swrast_dri.so\n"; }

#endif  // KAZE_HAVE_SDL
