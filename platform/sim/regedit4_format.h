// The REGEDIT4 text form of a stand-in hive, as regedit exports it and a person edits it:
//
//   REGEDIT4
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\VARNOLD\Quillon Deskora]
//   "Display_Version"="2.5"          REG_SZ ("\\" and "\"" escaped)
//   @="text"                         the key's default value
//   "Count"=dword:0000000a           REG_DWORD
//   "Blob"=hex:01,02,ff              REG_BINARY (long lists wrap with "\" at the line end)
//   "Odd"=hex(1):41,00,00            any other type, or a REG_SZ that is not exactly one
//                                    zero-terminated text, as its raw bytes
//   [-HKEY_LOCAL_MACHINE\SOFTWARE\X] removes that key; "name"=- removes a value
//
// Lines starting with ";" are comments; CRLF and LF line ends are both read.
#ifndef QDW_PLATFORM_SIM_REGEDIT4_FORMAT_H_
#define QDW_PLATFORM_SIM_REGEDIT4_FORMAT_H_

#include <string>

#include "platform/sim/registry_node.h"

namespace qdw::sim {

// Reads `text` into `root` (the hive's root key, named `root_name`, e.g.
// "HKEY_LOCAL_MACHINE"; the short form "HKLM" is accepted in sections). Empty text is an empty
// hive. False with `*error` naming the line when the text is not a REGEDIT4 file of that hive.
bool ParseRegedit4(const std::string& text, const std::string& root_name, RegistryNode* root,
                   std::string* error);

// The text of the whole hive: every key in enumeration order, each with its values.
std::string FormatRegedit4(const RegistryNode& root, const std::string& root_name);

}  // namespace qdw::sim

#endif  // QDW_PLATFORM_SIM_REGEDIT4_FORMAT_H_
