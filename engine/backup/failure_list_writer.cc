#include "engine/backup/failure_list_writer.h"

#include <memory>

#include "engine/common/engine_errors.h"
#include "system/tool_data_folder.h"

namespace qdw::backup {

std::string FailureListText(const engine::EngineState& state) {
  std::string text;
  if (state.locked_documents.size() != state.original_files.size()) return text;
  for (size_t i = 0; i < state.locked_documents.size(); ++i) {
    text += "PDF File Name:  " + state.locked_documents[i] + "\r\n";
    text += "Original File Name:  " + state.original_files[i] + "\r\n";
    text += "\r\n";
  }
  return text;
}

void WriteFailureList(platform::Platform& platform, const engine::EngineState& state,
                      journal::JournaledMoves& moves, journal::RunJournal& journal) {
  std::string folder;
  if (!system::ToolDataFolder(platform.shell(), &folder)) {
    throw engine::FrameworkError("the tool's data folder is unknown");
  }
  const std::string path = folder + kFailureListName;
  // The list of the last backup that finished stays until this one is kept.
  if (!moves.SetAside(path, kEarlierListSuffix) ||
      !journal.Record(journal::CreatedRecord(path))) {
    throw engine::FrameworkError("cannot keep the earlier " + path);
  }
  std::unique_ptr<platform::File> file;
  platform::WinError error =
      platform.files().Open(path, platform::kGenericWrite, platform::kShareNone,
                            platform::Disposition::kCreateAlways, platform::kAttrNormal, &file);
  if (error != platform::kSuccess) {
    throw engine::FrameworkError("cannot create " + path + " (error " + std::to_string(error) +
                                 ")");
  }
  const std::string text = FailureListText(state);
  uint32_t written = 0;
  if (!text.empty() && (file->Write(text.data(), static_cast<uint32_t>(text.size()), &written) !=
                            platform::kSuccess ||
                        written != text.size())) {
    throw engine::FrameworkError("cannot write " + path);
  }
}

}  // namespace qdw::backup
