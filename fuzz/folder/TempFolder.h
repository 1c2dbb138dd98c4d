#pragma once

#include <string>
#include <string_view>

namespace fuzz {

// A data folder in a temporary directory for the whole fuzzing run, removed at its end. Its
// picture folder holds "noimage.jpg", a picture "Pasta.jpg", a folder "Cartella.jpg" and a
// link "Fuori.jpg" that leads out of the picture folder.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    // The folder, ending with "/".
    const std::string &path() const { return m_path; }
    std::string file(std::string_view name) const { return m_path + std::string(name); }
    // Replaces a file with exactly these bytes.
    void write(std::string_view name, std::string_view bytes) const;
    // Sets a file's modification time an hour back, as for a file written long before.
    void backdate(std::string_view name) const;

private:
    std::string m_path;
};

// The picture file chosen for a recipe name: its own picture only when that is a regular file
// inside the picture folder; never "noimage.jpg" instead of a plain name's own picture. With
// `givePicture` the name gets a picture file for the check, when it can name one.
void CheckPicture(const TempFolder &folder, const std::string &name, bool givePicture);

}  // namespace fuzz
