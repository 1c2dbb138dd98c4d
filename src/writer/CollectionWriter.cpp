#include "writer/CollectionWriter.h"

#include "common/ByteSource.h"
#include "common/Cp1252.h"
#include "common/Exception.h"
#include "data/CalorieTable.h"
#include "data/RecipeFile.h"
#include "data/TextFile.h"
#include "scan/IndexedTextFile.h"
#include "writer/CollectionScan.h"
#include "writer/RecordCodec.h"
#include "writer/SaveError.h"
#include "writer/SaveSteps.h"

#include <cerrno>
#include <cstring>
#include <unordered_set>

namespace sapidoro {

namespace {

// The new records go to the temporary file in blocks of about this size.
constexpr std::size_t kAppendBlock = 1 << 20;

std::string Quoted(std::string_view cp1252) {
    return "\"" + Cp1252ToUtf8(cp1252) + "\"";
}

// A reader of the bytes a save holds.
std::unique_ptr<TextFile> ReaderOf(const SavedFile &file) {
    if (file.mapping) return TextFile::InMapping(file.mapping, 0);
    return std::make_unique<TextFile>(MakeMemorySource(std::string(file.bytes)));
}

// A reader of those bytes that can watch for marker lines.
std::unique_ptr<IndexedTextFile> IndexedReaderOf(const SavedFile &file) {
    if (file.mapping) return IndexedTextFile::Over(file.mapping);
    return std::make_unique<IndexedTextFile>(MakeMemorySource(std::string(file.bytes)));
}

CollectionScan Scan(const SavedFile &file, const std::vector<std::string_view> &names) {
    const std::unique_ptr<IndexedTextFile> walk = IndexedReaderOf(file),
                                           lookup = IndexedReaderOf(file);
    return ScanCollection(*walk, *lookup, names);
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
        facts.listed && facts.listed->nameLine == *facts.lookupHit && facts.listed->end != 0;
    if (whole) {
        // Its body must read where the walk ends it.
        const std::unique_ptr<TextFile> file = ReaderOf(old);
        file->jumpTo(facts.listed->nameLine);
        std::string readName = file->readLine();
        const RecipeRecord record = ReadRecipeBody(*file, std::move(readName));
        if (record.complete && file->offset() == facts.listed->end) return *facts.listed;
    }
    throw ESaveRefused("La ricetta " + Quoted(name) +
                       " non si può modificare: il suo record in ricette.txt è danneggiato e va "
                       "corretto a mano.");
}

// The records handed over are not the ones whose names were checked.
[[noreturn]] void RefuseUnexpected() {
    throw ESaveRefused(
        "Le ricette da aggiungere non sono quelle controllate: la modifica non è stata salvata.");
}

// Whether `record` begins with the name line of `name`.
bool IsRecordNamed(std::string_view record, std::string_view name) {
    const std::size_t marker = kNameMarker.size() + 2;
    return record.size() > marker + name.size() + 2 &&
           record.substr(0, kNameMarker.size()) == kNameMarker &&
           record.substr(marker, name.size()) == name &&
           record.substr(marker + name.size(), 2) == "\r\n";
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
        const CollectionScan scan = Scan(old, names);
        const RecordPlace place = LocateRecord(old, scan.names[0], target);
        if (renamed) RefuseTaken(scan.names[1], recipe.name);
        SavePlan plan;
        plan.unchanged = old.bytes.substr(place.start, place.end - place.start) == record;
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
        const CollectionScan scan = Scan(old, {target});
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
    std::vector<std::string> names;
    std::unordered_set<std::string_view> seen;
    for (const RecipeFields &recipe : recipes) {
        try {
            VerifiedRecord(recipe);
        } catch (const ESaveRefused &refusal) {
            throw ESaveRefused("Ricetta " + Quoted(recipe.name) + ": " + refusal.message());
        }
        if (!seen.insert(recipe.name).second)
            throw ESaveRefused("La ricetta " + Quoted(recipe.name) + " compare due volte.");
        names.push_back(recipe.name);
    }
    return AppendRecipeStream(
        folder, names,
        [&](const RecipeSink &sink) {
            for (const RecipeFields &recipe : recipes) sink(recipe);
        },
        expected);
}

SaveResult AppendRecipeStream(const std::string &folder, const std::vector<std::string> &names,
                              const RecipeProducer &produce, const FileIdentity *expected) {
    std::string record;
    return AppendEncodedStream(
        folder, std::vector<std::string_view>(names.begin(), names.end()),
        [&](const EncodedRecordSink &sink) {
            produce([&](const RecipeFields &recipe) {
                try {
                    CheckRecipeFields(recipe);
                } catch (const ESaveRefused &refusal) {
                    throw ESaveRefused("Ricetta " + Quoted(recipe.name) + ": " + refusal.message());
                }
                record.clear();
                AppendEncodedRecord(record, recipe);
                sink(record);
            });
        },
        expected);
}

SaveResult AppendEncodedStream(const std::string &folder,
                               const std::vector<std::string_view> &names,
                               const EncodedRecordProducer &produce, const FileIdentity *expected) {
    const std::string path = RecipeFilePath(folder);
    // Of each record written, its length and digest, for the read-back.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> written;
    return SaveFile(path, expected, [&](const SavedFile &old) {
        written.clear();
        const CollectionScan scan = Scan(old, names);
        if (scan.repeated)
            throw ESaveRefused("La ricetta " + Quoted(names[*scan.repeated]) +
                               " compare due volte.");
        for (std::size_t i = 0; i < names.size(); ++i) RefuseTaken(scan.names[i], names[i]);
        SavePlan plan;
        plan.from = plan.to = scan.appendAt;
        std::string lead;
        if (scan.firstLineMissing)
            lead = std::string(kRecordSeparator) + "\r\n";
        else if (!StartsLine(old.bytes, scan.appendAt))
            lead = "\r\n";
        const std::uint64_t first = scan.appendAt + lead.size();
        plan.produce = [&, lead](const ByteSink &write) {
            std::string block = lead;
            block.reserve(kAppendBlock + (64 << 10));
            produce([&](std::string_view record) {
                const std::size_t i = written.size();
                if (i >= names.size() || !IsRecordNamed(record, names[i])) RefuseUnexpected();
                written.emplace_back(record.size(), BytesDigest(record));
                block.append(record);
                if (block.size() >= kAppendBlock) {
                    write(block);
                    block.clear();
                }
            });
            if (written.size() != names.size()) RefuseUnexpected();
            write(block);
        };
        plan.verify = [&, first](const std::string &tempPath) {
            // Read with plain reads from the first new record on, never held whole.
            TextFile file(OpenFileSourceFrom(tempPath, first));
            std::uint64_t end = 0;
            std::string again;
            for (std::size_t i = 0; i < written.size(); ++i) {
                const auto [size, digest] = written[i];
                end += size;
                if (file.readLineView() != kNameMarker) NotReadBack(path);
                std::string name = file.readLine();
                const RecipeRecord record = ReadRecipeBody(file, std::move(name));
                if (!record.complete || file.offset() != end || record.name != names[i])
                    NotReadBack(path);
                try {
                    CheckRecordRead(record);
                } catch (const ESaveRefused &refusal) {
                    throw ESaveRefused("Ricetta " + Quoted(names[i]) + ": " + refusal.message());
                }
                again.clear();
                AppendEncodedRecord(again, record);
                if (again.size() != size || BytesDigest(again) != digest) NotReadBack(path);
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
            const auto written = IndexedTextFile::MapOrOpen(tempPath);
            const FileMapping *mapping = written->mapping();
            const std::string_view bytes = source->bytes;
            if (mapping != nullptr && std::string_view(mapping->data(), mapping->size()) != bytes)
                NotReadBack(last.path);
        };
        return plan;
    });
}

}  // namespace sapidoro
