#include "exchange/ImportSave.h"

#include "common/CheckedOpen.h"
#include "common/Cp1252.h"
#include "view/PicturePath.h"
#include "writer/CollectionWriter.h"
#include "writer/SaveSteps.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sapidoro {

namespace {

constexpr std::uint64_t kMaxPictureBytes = 64u << 20;

bool WriteAll(int fd, const char *data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string Reason(const std::string &name, const char *why) {
    return "Immagine di \xC2\xAB" + Cp1252ToUtf8(name) + "\xC2\xBB non copiata: " + why + ".";
}

}  // namespace

RecipeFields FieldsForWriter(RecipeRecord &&record) {
    RecipeFields fields;
    fields.name = std::move(record.name);
    fields.dish = std::move(record.dish);
    fields.mainIngredient = std::move(record.mainIngredient);
    fields.persons =
        record.persons.empty() || record.persons.size() > 6
            ? 1
            : std::stoi(record.persons.find_first_not_of("0123456789") == std::string::npos
                            ? record.persons
                            : std::string("1"));
    fields.notes = std::move(record.notes);
    fields.ingredients = std::move(record.ingredients);
    fields.preparation = std::move(record.preparation);
    return fields;
}

std::string CopyPicture(const std::string &folder, const std::string &source,
                        const std::string &recipeName) {
    if (!IsSafePictureName(recipeName))
        return Reason(recipeName, "il nome non pu\xC3\xB2 nominare un file");
    const std::string pictures = folder + std::string(kPictureFolder);
    if (::mkdir(pictures.c_str(), 0777) != 0 && errno != EEXIST)
        return Reason(recipeName, ReasonText(errno).c_str());
    const std::string target = pictures + Cp1252ToUtf8(recipeName) + ".jpg";
    struct stat existing;
    if (::lstat(target.c_str(), &existing) == 0)
        return Reason(recipeName, "ne esiste gi\xC3\xA0 una");

    std::uint64_t size = 0;
    const int in = OpenRegularFileInside(source, FolderOf(source), size);
    if (in < 0) return Reason(recipeName, ReasonText(errno).c_str());
    if (size > kMaxPictureBytes) {
        ::close(in);
        return Reason(recipeName, "il file \xC3\xA8 troppo grande");
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(in, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(in);
    bytes.resize(got);
    // Caught here, in Italian, rather than by the picture control's English on first view.
    if (!bytes.starts_with("\xFF\xD8"))
        return Reason(recipeName,
                      ("il file \"" + source + "\" non \xC3\xA8 un'immagine JPEG").c_str());

    const std::string temp = pictures + ".import-" + std::to_string(::getpid()) + ".tmp";
    const int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (out < 0) return Reason(recipeName, ReasonText(errno).c_str());
    const bool written = WriteAll(out, bytes.data(), bytes.size()) && ::fsync(out) == 0;
    const int error = errno;
    ::close(out);
    // A hard link puts the picture in place only while no file of that name exists.
    if (!written || ::link(temp.c_str(), target.c_str()) != 0) {
        const int linkError = written ? errno : error;
        ::unlink(temp.c_str());
        return Reason(recipeName, linkError == EEXIST ? "ne esiste gi\xC3\xA0 una"
                                                      : ReasonText(linkError).c_str());
    }
    ::unlink(temp.c_str());
    return {};
}

ImportSaved SaveImport(const std::string &folder, ImportPlan &plan, const FileIdentity *expected) {
    const std::vector<std::string> finalNames = plan.finalNames();
    std::vector<std::string_view> names;
    for (const std::string &name : finalNames)
        if (!name.empty()) names.push_back(name);
    ImportSaved saved;
    saved.recipes = names.size();
    if (names.empty()) return saved;
    // The records go from the preview's spool to the writer: no more than a block is held.
    AppendEncodedStream(
        folder, names, [&](const EncodedRecordSink &sink) { plan.handChosen(finalNames, sink); },
        expected);
    for (const auto &[source, name] : plan.chosenPictures()) {
        std::string problem = CopyPicture(folder, source, name);
        if (problem.empty())
            ++saved.pictures;
        else
            saved.pictureProblems.push_back(std::move(problem));
    }
    return saved;
}

}  // namespace sapidoro
