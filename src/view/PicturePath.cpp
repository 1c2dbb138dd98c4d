#include "view/PicturePath.h"

#include "common/Cp1252.h"

#include <filesystem>
#include <system_error>

namespace sapidoro {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPictureExtension = ".jpg";
// The longest file name the file systems we run on accept, in bytes.
constexpr std::size_t kMaxFileNameBytes = 255;

bool IsControl(unsigned char byte) {
    if (byte < 0x20 || byte == 0x7F) return true;
    // The bytes that Windows-1252 leaves undefined decode to control characters.
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

// True when `path` lies inside `folder`, both already resolved.
bool IsInside(const fs::path &path, const fs::path &folder) {
    auto p = path.begin();
    for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
        if (p == path.end() || *p != *f) return false;
    }
    return p != path.end();
}

}  // namespace

bool IsSafePictureName(std::string_view name) {
    // A UTF-8 name is never shorter than its Windows-1252 bytes: a long name is refused unread.
    if (name.empty() || name.size() + kPictureExtension.size() > kMaxFileNameBytes) return false;
    if (name.find('/') != std::string_view::npos || name.find('\\') != std::string_view::npos)
        return false;
    for (char c : name) {
        if (IsControl(static_cast<unsigned char>(c))) return false;
    }
    return Cp1252ToUtf8(name).size() + kPictureExtension.size() <= kMaxFileNameBytes;
}

std::string PictureFileFor(const std::string &dataFolder, std::string_view nameCp1252) {
    const std::string folder = dataFolder + std::string(kPictureFolder);
    const std::string fallback = folder + std::string(kNoImageFile);
    if (!IsSafePictureName(nameCp1252)) return fallback;
    const std::string candidate =
        folder + Cp1252ToUtf8(nameCp1252) + std::string(kPictureExtension);
    std::error_code error;
    if (!fs::is_regular_file(candidate, error)) return fallback;
    // A link inside the folder must not lead the picture out of it.
    const fs::path resolved = fs::canonical(candidate, error);
    if (error) return fallback;
    const fs::path resolvedFolder = fs::canonical(folder, error);
    if (error || !IsInside(resolved, resolvedFolder)) return fallback;
    return candidate;
}

}  // namespace sapidoro
