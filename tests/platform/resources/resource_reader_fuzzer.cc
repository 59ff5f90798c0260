// libFuzzer entry: arbitrary bytes as a module file, and as the resources inside one.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/library.h"
#include "platform/resources/dialog_template.h"
#include "platform/resources/icon_group.h"
#include "platform/resources/pe_resource_image.h"
#include "platform/resources/string_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qdw::resources;
  const std::vector<uint8_t> bytes(data, data + size);

  if (auto image = PeResourceImage::FromBytes(bytes)) {
    std::vector<uint8_t> found;
    for (uint16_t type : {qdw::platform::kResourceString, qdw::platform::kResourceDialog,
                          qdw::platform::kResourceGroupIcon, qdw::platform::kResourceIcon}) {
      for (uint16_t id : image->ResourceIds(type)) image->Resource(type, id, &found);
    }
    image->NamedTypeResource("AVI", 136, &found);
  }

  std::u16string text;
  for (int i = 0; i < kStringsPerBlock; ++i) DecodeStringBlockEntry(bytes, i, &text);
  DialogTemplate dialog;
  ParseDialogTemplate(bytes, kCodePageWestern, &dialog);
  std::vector<IconGroupEntry> entries;
  ParseIconGroup(bytes, &entries);
  return 0;
}
