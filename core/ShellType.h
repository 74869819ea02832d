// The desktop's description of a file-name extension ("PNG image" for
// ".png"), from the shared MIME database.
#pragma once

#include <string>
#include <string_view>

namespace quiddity {

// The key text of a file name: from its last "." to its end, empty when the
// name has no dot or its only dot is the first character.
std::string_view ShellTypeKey(std::string_view fileName);

// Description of a key text such as ".png"; false (out empty) when the
// database knows the extension not at all or only as generic data.
bool LookUpShellType(std::string_view keyText, std::string& out);

}  // namespace quiddity
