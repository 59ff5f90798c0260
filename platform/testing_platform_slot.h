// The platform a test installed in place of the build's own (SetDefaultPlatformForTesting).
// On Linux it lives in a shared library of its own, so that every copy of the platform code in
// a process sees the same one: the program's and the private copy that librightsmend.so links
// in. A second stand-in machine in one test process is then served by itself, never by the
// machine the library met first.
#ifndef QDW_PLATFORM_TESTING_PLATFORM_SLOT_H_
#define QDW_PLATFORM_TESTING_PLATFORM_SLOT_H_

namespace qdw::platform {

class Platform;

// Null when no test installed one.
Platform* InstalledPlatformForTesting();
void InstallPlatformForTesting(Platform* platform);

}  // namespace qdw::platform

#endif  // QDW_PLATFORM_TESTING_PLATFORM_SLOT_H_
