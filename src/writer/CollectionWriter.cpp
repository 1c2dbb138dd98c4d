#include "writer/CollectionWriter.h"

#include "common/Cp1252.h"
#include "common/Exception.h"
#include "data/ByteSource.h"
#include "data/CalorieTable.h"
#include "data/RecipeFile.h"
#include "data/TextFile.h"
#include "writer/CollectionScan.h"
#include "writer/RecordCodec.h"
#include "writer/SaveError.h"
#include "writer/SaveSteps.h"

#include <cerrno>
#include <cstring>
#include <unordered_set>

namespace sapidoro {

namespace {

std::string Quoted(std::string_view cp1252) {
    return "\"" + Cp1252ToUtf8(cp1252) + "\"";
}

// A reader of the bytes a save holds.
std::unique_ptr<TextFile> ReaderOf(const SavedFile &file) {
    if (file.mapping) return TextFile::Over(file.mapping);
    return std::make_unique<TextFile>(MakeMemorySource(std::string(file.bytes)));
}

[[noreturn]] void NotReadBack(const std::string &path) {
    ThrowStepFailure(SaveStep::ReadBack, EIO, FileNameOf(path));
}

// Reads the record at `at` of the written file through the program's readers; it must come
// back as `recipe`, ending at `end`.
void ReadBackRecord(TextFile &file, std::uint64_t at, std::uint64_t end, const RecipeFields &recipe,
                    const std::string &path) {
    file.jumpTo(at);
    bool same = file.readLineView() == kNameMarker;
    std::string name = file.readLine();
    const RecipeRecord record = ReadRecipeBody(file, std::move(name));
    same = same && record.complete && file.offset() == end;
    try {
        same = same && FieldsOf(record) == recipe;
    } catch (const EConvertError &) {
        same = false;
    }
    if (!same) NotReadBack(path);
}

// The whole record the lookup finds under `name`, where the start-up walk lists it too.
RecordPlace LocateRecord(const SavedFile &old, const NameFacts &facts, std::string_view name) {
    if (!facts.lookupHit)
        throw ESaveRefused("La ricetta " + Quoted(name) + " non è più nella raccolta.");
    const bool whole =
        facts.listed && facts.listed->start == *facts.lookupHit && facts.listed->end != 0;
    if (whole) {
        // Its body must read where the walk ends it.
        const std::unique_ptr<TextFile> file = ReaderOf(old);
        file->jumpTo(facts.listed->start);
        file->skipLine();
        std::string readName = file->readLine();
        const RecipeRecord record = ReadRecipeBody(*file, std::move(readName));
        if (record.complete && file->offset() == facts.listed->end) return *facts.listed;
    }
    throw ESaveRefused("La ricetta " + Quoted(name) +
                       " non si può modificare: il suo record in ricette.txt è danneggiato e va "
                       "corretto a mano.");
}

void RefuseTaken(const NameFacts &facts, std::string_view name) {
    if (facts.listedCount > 0 || facts.lookupHit)
        throw ESaveRefused("Nella raccolta c'è già una ricetta di nome " + Quoted(name) + ".");
}

}  // namespace

std::string RecipeFilePath(const std::string &folder) {
    return folder + "ricette.txt";
}

std::string CalorieFilePath(const std::string &folder) {
    return folder + "ing.txt";
}

SaveResult ReplaceRecipe(const std::string &folder, const FileIdentity &expected,
                         std::string_view oldName, const RecipeFields &recipe) {
    const std::string record = VerifiedRecord(recipe);
    const std::string path = RecipeFilePath(folder);
    const std::string target(oldName);
    const bool renamed = recipe.name != target;
    return SaveFile(path, &expected, [&](const SavedFile &old) {
        std::vector<std::string_view> names{target};
        if (renamed) names.push_back(recipe.name);
        const std::unique_ptr<TextFile> reader = ReaderOf(old);
        const CollectionScan scan = ScanCollection(*reader, names);
        const RecordPlace place = LocateRecord(old, scan.names[0], target);
        if (renamed) RefuseTaken(scan.names[1], recipe.name);
        SavePlan plan;
        plan.from = place.start;
        plan.to = place.end;
        plan.insert = record;
        plan.verify = [&, start = place.start](const std::string &tempPath) {
            const auto written = TextFile::MapOrOpen(tempPath);
            ReadBackRecord(*written, start, start + record.size(), recipe, path);
        };
        return plan;
    });
}

SaveResult DeleteRecipe(const std::string &folder, const FileIdentity &expected,
                        std::string_view name) {
    const std::string path = RecipeFilePath(folder);
    const std::string target(name);
    return SaveFile(path, &expected, [&](const SavedFile &old) {
        const std::unique_ptr<TextFile> reader = ReaderOf(old);
        const CollectionScan scan = ScanCollection(*reader, {target});
        const RecordPlace place = LocateRecord(old, scan.names[0], target);
        SavePlan plan;
        plan.from = place.start;
        plan.to = place.end;
        // The record after it, if any, must now begin where the deleted one did.
        plan.verify = [&, place](const std::string &tempPath) {
            const auto written = TextFile::MapOrOpen(tempPath);
            written->jumpTo(place.start);
            const std::string_view rest = old.bytes.substr(place.end);
            const std::string_view line = written->readLineView();
            if (rest.substr(0, line.size()) != line) NotReadBack(path);
        };
        return plan;
    });
}

SaveResult AppendRecipes(const std::string &folder, const std::vector<RecipeFields> &recipes,
                         const FileIdentity *expected) {
    std::vector<std::string> records;
    std::vector<std::string_view> names;
    std::unordered_set<std::string_view> seen;
    for (const RecipeFields &recipe : recipes) {
        try {
            records.push_back(VerifiedRecord(recipe));
        } catch (const ESaveRefused &refusal) {
            throw ESaveRefused("Ricetta " + Quoted(recipe.name) + ": " + refusal.message());
        }
        if (!seen.insert(recipe.name).second)
            throw ESaveRefused("La ricetta " + Quoted(recipe.name) + " compare due volte.");
        names.push_back(recipe.name);
    }
    const std::string path = RecipeFilePath(folder);
    return SaveFile(path, expected, [&](const SavedFile &old) {
        const std::unique_ptr<TextFile> reader = ReaderOf(old);
        const CollectionScan scan = ScanCollection(*reader, names);
        for (std::size_t i = 0; i < names.size(); ++i) RefuseTaken(scan.names[i], names[i]);
        SavePlan plan;
        plan.from = plan.to = scan.appendAt;
        if (scan.firstLineMissing)
            plan.insert = std::string(kRecordSeparator) + "\r\n";
        else if (!StartsLine(old.bytes, scan.appendAt))
            plan.insert = "\r\n";
        const std::uint64_t first = scan.appendAt + plan.insert.size();
        for (const std::string &record : records) plan.insert += record;
        plan.verify = [&, first](const std::string &tempPath) {
            const auto written = TextFile::MapOrOpen(tempPath);
            std::uint64_t at = first;
            for (std::size_t i = 0; i < recipes.size(); ++i) {
                ReadBackRecord(*written, at, at + records[i].size(), recipes[i], path);
                at += records[i].size();
            }
        };
        return plan;
    });
}

SaveResult AddCalorieEntry(const std::string &folder, const FileIdentity &expected,
                           const CalorieEntryFields &entry) {
    const std::string line = VerifiedCalorieEntry(entry);
    const std::string path = CalorieFilePath(folder);
    return SaveFile(path, &expected, [&](const SavedFile &old) {
        const std::unique_ptr<TextFile> reader = ReaderOf(old);
        std::uint64_t runEnd = 0;
        bool inRun = false, runMet = false;
        while (!reader->eof()) {
            const CalorieEntry read = SplitCalorieEntry(reader->readLineView());
            const bool same = read.name == entry.ingredient;
            if (same && read.quantity == entry.quantity)
                throw ESaveRefused("Il file ing.txt ha già una voce per " + Quoted(entry.quantity) +
                                   " di " + Quoted(entry.ingredient) + ".");
            if (inRun && !same) runMet = true;
            inRun = same && !runMet;
            if (inRun) runEnd = reader->offset();
        }
        SavePlan plan;
        plan.from = plan.to = runEnd != 0 ? runEnd : reader->offset();
        if (!StartsLine(old.bytes, plan.from)) plan.insert = "\r\n";
        const std::uint64_t at = plan.from + plan.insert.size();
        plan.insert += line;
        plan.verify = [&, at](const std::string &tempPath) {
            const auto written = TextFile::MapOrOpen(tempPath);
            written->jumpTo(at);
            if (written->readLineView() != std::string_view(line).substr(0, line.size() - 2))
                NotReadBack(path);
        };
        return plan;
    });
}

SaveResult UndoSave(const SaveResult &last) {
    const std::string backupPath = last.path + "~";
    return SaveFile(last.path, &last.identity, [&](const SavedFile &) {
        SavePlan plan;
        plan.source = ReadForSave(backupPath, false);
        if (plan.source->identity != last.backupIdentity)
            throw ESaveRefused("La versione precedente di " + FileNameOf(last.path) +
                               " è stata cambiata: l'ultima modifica non si può annullare.");
        plan.verify = [&, source = plan.source](const std::string &tempPath) {
            const auto written = TextFile::MapOrOpen(tempPath);
            const FileMapping *mapping = written->mapping();
            const std::string_view bytes = source->bytes;
            if (mapping != nullptr && std::string_view(mapping->data(), mapping->size()) != bytes)
                NotReadBack(last.path);
        };
        return plan;
    });
}

}  // namespace sapidoro
