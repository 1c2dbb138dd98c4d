#pragma once

#include "menu/MenuPlan.h"

#include <QString>

#include <cstddef>
#include <string>
#include <string_view>

namespace sapidoro {

// The saved plan cannot be read; the message (UTF-8, Italian) says why.
class EMenuPlanDamaged : public Exception {
public:
    using Exception::Exception;
};

// The largest plan file and the longest line the reader accepts.
inline constexpr std::size_t kMaxMenuPlanBytes = 32u << 20;
inline constexpr std::size_t kMaxMenuPlanLineBytes = 64u << 10;

// Where the plan of the collection in `collectionFolder` (as the main window holds it, with
// its separator) is kept: "menu/<folder name>-<hash of the path>.txt" under the user's data
// folder, never in the collection's folder.
QString MenuPlanPath(const std::string &collectionFolder);

// The saved form, UTF-8 with LF line ends: a title line, a line "Raccolta: <folder>", then
// one line per entry, "<YYYY-MM-DD>\t<meal>\t<persons>\t<recipe>", by date, meal, then the
// cell's order.
std::string WriteMenuPlan(const MenuPlan &plan, const std::string &collectionFolder);

// Reads the saved form; throws EMenuPlanDamaged for anything else. `collectionFolder`, when
// given, receives the folder recorded in it.
MenuPlan ReadMenuPlan(std::string_view bytes, std::string *collectionFolder = nullptr);

// The plan as read from `path`; a missing file is an empty plan. Anything but a regular file
// (a link, a FIFO, a device, a folder), a file too large or not in the saved form gives an
// empty plan and `damage`; the file is opened without blocking and read only up to the cap.
struct LoadedMenuPlan {
    MenuPlan plan;
    QString damage;  // why the file cannot be read; empty when it could
};
LoadedMenuPlan LoadMenuPlan(const QString &path);

// Moves a damaged plan file aside, beside it, under a name not yet taken ("<file>.danneggiato",
// "-2", ...); returns that name. Throws when it cannot.
QString KeepDamagedMenuPlan(const QString &path);

// Writes the plan in full through the writer's atomic save (temporary file, flush, rename,
// folder flush), creating the file and its folder when missing; nothing is written when the
// bytes would not change. Throws with a message naming the file.
void SaveMenuPlan(const QString &path, const MenuPlan &plan, const std::string &collectionFolder);

// The message shown once for a damaged plan file, `damage` being LoadedMenuPlan's.
QString MenuPlanDamagedMessage(const QString &damage);

}  // namespace sapidoro
