// FluidSynth loads soundfont samples on OpenMP worker threads; libgomp is not instrumented, so
// ThreadSanitizer cannot see its synchronisation and reports its own allocations as races.
extern "C" const char* __tsan_default_suppressions() { return "called_from_lib:libgomp.so.1\n"; }
