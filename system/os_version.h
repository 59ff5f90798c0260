// Classification of the running Windows version for the parts that treat families
// differently.
#ifndef QDW_SYSTEM_OS_VERSION_H_
#define QDW_SYSTEM_OS_VERSION_H_

#include "platform/system_info.h"

namespace qdw::system {

// Operating-system classes.
inline constexpr int kOsClass9x = 1;     // Win32s or the 9x family
inline constexpr int kOsClassNt4 = 2;    // NT 3 or 4
inline constexpr int kOsClassNt5 = 3;    // NT 5 and every version not otherwise listed
inline constexpr int kOsClassVista = 6;  // NT 6

int ClassifyOperatingSystem(platform::SystemInfo& system);

// The NT 5 and NT 6 classes have the indexing service the run stops.
inline bool HasIndexingService(int os_class) {
  return os_class == kOsClassNt5 || os_class == kOsClassVista;
}

// The NT 6 family, where shares go through the product's share service.
inline bool IsWindowsSixFamily(platform::SystemInfo& system) {
  return ClassifyOperatingSystem(system) == kOsClassVista;
}

// 7 when the system reports version 6.1, otherwise 6.
int WindowsSevenTest(platform::SystemInfo& system);

}  // namespace qdw::system

#endif  // QDW_SYSTEM_OS_VERSION_H_
