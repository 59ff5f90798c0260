// Creation times set through the port, kept on the host file itself (an extended attribute)
// so that stamping a file costs no sidecar. Hosts whose file system cannot keep one fall back
// to the sidecar; a sidecar's creation time always wins over the attribute.
#ifndef QDW_PLATFORM_SIM_HOST_CREATION_TIME_H_
#define QDW_PLATFORM_SIM_HOST_CREATION_TIME_H_

#include <cstdint>
#include <string>

#include "platform/file_time.h"
#include "platform/sim/sim_host.h"

namespace qdw::sim {

// Keeps `ticks` on the open host file. False when its file system cannot.
bool StoreHostCreation(int fd, uint64_t ticks);
// Drops a kept creation time (a file replaced in place starts afresh).
void ForgetHostCreation(int fd);
// The kept creation time of the file, else the host's own (`info.birth`).
platform::FileTime HostCreation(int fd, const HostInfo& info);
platform::FileTime HostCreation(const std::string& host, const HostInfo& info);
// As above for `name` in the open folder `folder_fd` (whose host path is `folder_host`),
// without walking the whole path again where the kernel can: a listing asks for each file.
platform::FileTime HostCreationAt(int folder_fd, const std::string& folder_host,
                                  const std::string& name, const HostInfo& info);

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_HOST_CREATION_TIME_H_
