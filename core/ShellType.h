// The desktop's description of a file-name extension ("PNG image" for
// ".png"), from the shared MIME database.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quiddity {

// The key text of a file name: from its last "." to its end, empty when the
// name has no dot or its only dot is the first character.
std::string_view ShellTypeKey(std::string_view fileName);

// Description of a key text such as ".png"; false (out empty) when the
// database knows the extension not at all or only as generic data.
bool LookUpShellType(std::string_view keyText, std::string& out);

// The desktop's MIME type of an item ("image/png"), as file managers show
// it: guessed from the name and the first bytes together.  An empty name
// leaves the guess to the bytes; no bytes at all mean an empty file.
std::string GuessMimeType(std::string_view fileName, std::span<const std::uint8_t> head);

// The bytes GuessMimeType needs at most: the database's rules look no
// further than this into a file.
inline constexpr std::size_t kMimeHeadSize = 4096;

}  // namespace quiddity
