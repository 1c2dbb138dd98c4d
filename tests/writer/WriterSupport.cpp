#include "WriterSupport.h"

#include <QDir>

namespace sapidoro::test {

RecipeFields SampleRecipe(const std::string &name, const std::string &tag) {
    return {name,
            "Primo" + tag,
            "Farina",
            4,
            "Ricetta di Roma, per bambini " + tag,
            {"200 g ==== Farina", " ==== Sale", "2 ==== Uova" + tag},
            {"Impastare per cinque minuti.", "", "Cuocere \xE8 servire" + tag}};
}

int LeftoverTemps(const std::string &folder) {
    const QDir dir(QString::fromStdString(folder));
    return static_cast<int>(
        dir.entryList({QStringLiteral(".sapidoro-save-*")}, QDir::Files | QDir::Hidden).size());
}

}  // namespace sapidoro::test
