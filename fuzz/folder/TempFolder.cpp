#include "TempFolder.h"

#include "Checks.h"
#include "PlainReference.h"

#include "view/PicturePath.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace fuzz {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    // The files are rewritten for every input: a folder in memory keeps the disk out of it.
    std::error_code error;
    const fs::path base = fs::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0
                              ? fs::path("/dev/shm")
                              : fs::temp_directory_path();
    std::string pattern = (base / "sapidoro-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) Fail("cannot make a temporary folder");
    m_path = pattern + "/";
    fs::create_directory(m_path + "immagini");
    write("immagini/noimage.jpg", "no picture");
    write("immagini/Pasta.jpg", "a picture");
    fs::create_directory(m_path + "immagini/Cartella.jpg");
    fs::create_symlink("../ricette.txt", m_path + "immagini/Fuori.jpg");
}

TempFolder::~TempFolder() {
    std::error_code error;
    fs::remove_all(m_path, error);
}

void TempFolder::write(std::string_view name, std::string_view bytes) const {
    std::ofstream out(file(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) Fail("cannot write a data file");
}

void TempFolder::backdate(std::string_view name) const {
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    const struct timespec times[2] = {now, {now.tv_sec - 3600, now.tv_nsec}};
    if (::utimensat(AT_FDCWD, file(name).c_str(), times, 0) != 0) Fail("cannot backdate a file");
}

namespace {

// A name made of letters, digits and blanks only: nothing can make its picture unsafe.
bool PlainName(std::string_view name) {
    if (name.empty() || name.size() > 100) return false;
    for (char c : name) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == ' '))
            return false;
    }
    return true;
}

bool InsideFolder(const fs::path &file, const fs::path &folder) {
    std::error_code error;
    const fs::path resolved = fs::canonical(file, error);
    if (error) return false;
    const fs::path base = fs::canonical(folder, error);
    if (error) return false;
    const std::string a = resolved.string(), b = base.string() + "/";
    return a.compare(0, b.size(), b) == 0;
}

}  // namespace

void CheckPicture(const TempFolder &folder, const std::string &name, bool givePicture) {
    const std::string pictures = folder.file("immagini/");
    const std::string fallback = pictures + "noimage.jpg";
    const std::string own = pictures + plain::Utf8Of(name) + ".jpg";
    // A file is made only for a name that cannot step out of the folder.
    const bool make =
        givePicture && PlainName(name) && name != "Pasta" && name != "Cartella" && name != "Fuori";
    if (make) folder.write("immagini/" + name + ".jpg", "a picture");
    const std::string got = sapidoro::PictureFileFor(folder.path(), name);
    std::error_code error;
    const bool ownIsPicture = name.find('\0') == std::string::npos &&
                              fs::is_regular_file(own, error) && InsideFolder(own, pictures);
    if (got != fallback) {
        Check(got == own && name.find('/') == std::string::npos && ownIsPicture,
              "picture file of a recipe");
    } else {
        Check(!(ownIsPicture && PlainName(name)), "picture of a plain name refused");
    }
    if (make) fs::remove(own, error);
}

}  // namespace fuzz
