#pragma once

#include <string>
#include <string_view>

namespace sapidoro {

// The folder of the pictures inside the data folder, and the picture of a recipe without one.
inline constexpr std::string_view kPictureFolder = "immagini/";
inline constexpr std::string_view kNoImageFile = "noimage.jpg";

// True when a recipe name (Windows-1252) can name a picture file of its own inside the
// picture folder: not empty, no path separator, no control character, and short enough for
// a file name once decoded. Without a separator, dots ("Torta... della nonna") stay in the
// file name and cannot climb out of the folder.
bool IsSafePictureName(std::string_view nameCp1252);

// The picture file of a recipe as a UTF-8 path: `dataFolder` (UTF-8, ending with "/") +
// "immagini/" + the decoded name + ".jpg" when the name is safe and that file exists inside
// the picture folder (also once links are resolved); otherwise the folder's "noimage.jpg".
std::string PictureFileFor(const std::string &dataFolder, std::string_view nameCp1252);

}  // namespace sapidoro
