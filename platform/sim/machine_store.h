// The stand-in machine's state on disk. A machine is a host folder (named by QDW_MACHINE)
// holding JSON documents such as "machine.json", "services.json" or "faults.json". Several
// processes use one machine at once (the program, the NET stand-in, the product's outside
// program), so every read-modify-write holds an exclusive lock on the machine and replaces the
// document atomically (write a temporary file, then rename).
#ifndef QDW_PLATFORM_SIM_MACHINE_STORE_H_
#define QDW_PLATFORM_SIM_MACHINE_STORE_H_

#include <functional>
#include <nlohmann/json.hpp>
#include <string>

namespace qdw::sim {

using Json = nlohmann::json;

class MachineStore {
 public:
  // `root` is the machine's host folder (it must exist).
  explicit MachineStore(std::string root);

  const std::string& root() const { return root_; }
  // Host path of a file or folder inside the machine folder.
  std::string HostPath(const std::string& relative) const;

  // Reads a document; an empty object when it does not exist. Throws std::runtime_error when
  // it exists but is not valid JSON (a damaged machine must not be mistaken for an empty one).
  Json Read(const std::string& document) const;
  // Writes a document atomically under the machine lock.
  void Write(const std::string& document, const Json& value) const;
  // Runs `change` on the document under the machine lock and writes the result back when it
  // returns true.
  void Update(const std::string& document, const std::function<bool(Json&)>& change) const;
  // Runs `body` while holding the machine lock (for updates that span several documents or
  // host files). Calls of Read, Write and Update inside `body` are allowed.
  void WithLock(const std::function<void()>& body) const;

 private:
  Json ReadUnlocked(const std::string& document) const;
  void WriteUnlocked(const std::string& document, const Json& value) const;

  std::string root_;
};

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_MACHINE_STORE_H_
