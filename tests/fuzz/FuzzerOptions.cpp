// Linked into the fuzzers only (not the replays of the corpora). The sanitizer records no stack
// for each allocation: walking the stack on every one of the thousands of allocations an import
// makes took a fifth of each run. A report still shows the faulting access; to see where the
// memory was allocated and freed, run the fuzzer on the saved input with
// ASAN_OPTIONS=malloc_context_size=30, which overrides this default.

extern "C" const char* __asan_default_options() {
    return "malloc_context_size=0";
}
