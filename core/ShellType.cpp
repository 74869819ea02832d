#include "core/ShellType.h"

#include <gio/gio.h>

#include <algorithm>

namespace quiddity {

std::string_view ShellTypeKey(std::string_view fileName) {
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || dot == 0) return {};
    return fileName.substr(dot);
}

bool LookUpShellType(std::string_view keyText, std::string& out) {
    out.clear();
    if (keyText.size() < 2 || keyText.front() != '.') return false;
    // Only the name is given, so the guess comes from the extension alone.
    // GIO calls a guess uncertain whenever content could refine it (.html,
    // .json, .ogg ...); the extension's type is what is asked for, so the
    // guess is taken all the same.
    const std::string probeName = "x" + std::string(keyText);
    gchar* type = g_content_type_guess(probeName.c_str(), nullptr, 0, nullptr);
    if (type == nullptr) return false;
    bool found = false;
    if (!g_content_type_is_unknown(type)) {
        if (gchar* description = g_content_type_get_description(type)) {
            out = description;
            found = !out.empty();
            g_free(description);
        }
    }
    g_free(type);
    return found;
}

std::string GuessMimeType(std::string_view fileName, std::span<const std::uint8_t> head) {
    const std::string name(fileName);
    // GIO wants a pointer even for no bytes: that is how it tells an empty
    // file from one whose bytes were not given.
    static constexpr std::uint8_t kNoByte = 0;
    const std::uint8_t* data = head.empty() ? &kNoByte : head.data();
    gchar* type = g_content_type_guess(name.empty() ? nullptr : name.c_str(), data,
                                       std::min(head.size(), kMimeHeadSize), nullptr);
    if (type == nullptr) return "application/octet-stream";
    gchar* mime = g_content_type_get_mime_type(type);
    std::string out = mime != nullptr ? mime : type;
    g_free(mime);
    g_free(type);
    return out;
}

}  // namespace quiddity
