// A shared object for the library suite to load by name ("SimProbe.dll" -> libSimProbe.so).
extern "C" __attribute__((visibility("default"))) int SimProbeAnswer() { return 42; }
