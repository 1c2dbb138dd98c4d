#pragma once

#include "scan/FileMapping.h"
#include "writer/AtomicSave.h"
#include "writer/RecipeFields.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace sapidoro {

// The one writer of the collection. Every function saves its file with `SaveFile`'s
// guarantees: every byte outside the change kept, the new text read back through the
// program's own readers before it replaces the old file, atomic replace with the old version
// kept as "~", and an identity check under the folder's lock against `expected`, the file as
// it was when the edit began (`CurrentIdentity`). `folder` ends with the separator; texts are
// Windows-1252. Refusals throw ESaveRefused with an Italian message; the file is untouched.

// The record that the lookup by name finds under `oldName` becomes `recipe`. A new name
// already in the collection is refused. A record whose bytes would stay the same is not
// written (`SaveResult::written` false).
SaveResult ReplaceRecipe(const std::string &folder, const FileIdentity &expected,
                         std::string_view oldName, const RecipeFields &recipe);

// Removes the record that the lookup finds under `name`.
SaveResult DeleteRecipe(const std::string &folder, const FileIdentity &expected,
                        std::string_view name);

// Appends new records after the last whole record, in one save; a name already in the
// collection, or given twice, is refused. Without `expected`, the file as the save finds it.
SaveResult AppendRecipes(const std::string &folder, const std::vector<RecipeFields> &recipes,
                         const FileIdentity *expected = nullptr);

// Hands each record of a streamed append to the save, in order.
using RecipeSink = std::function<void(const RecipeFields &recipe)>;
using RecipeProducer = std::function<void(const RecipeSink &sink)>;

// Appends, as `AppendRecipes` does, records that are never held all at once: `produce` is
// called once, under the lock, and must hand the sink one record per name of `names`, in that
// order (anything else refuses the save). Each record is checked and encoded as it comes.
SaveResult AppendRecipeStream(const std::string &folder, const std::vector<std::string> &names,
                              const RecipeProducer &produce,
                              const FileIdentity *expected = nullptr);

// Hands over one record as `AppendEncodedRecord` made it of fields `CheckRecipeFields` passed.
using EncodedRecordSink = std::function<void(std::string_view record)>;
using EncodedRecordProducer = std::function<void(const EncodedRecordSink &sink)>;

// The same for records encoded beforehand. The written file is read back record by record
// through the program's reader: each must pass the field checks, end where it was written to,
// and encode again to the very bytes handed over.
SaveResult AppendEncodedStream(const std::string &folder,
                               const std::vector<std::string_view> &names,
                               const EncodedRecordProducer &produce,
                               const FileIdentity *expected = nullptr);

// Adds an entry to ing.txt right after the entries of the same ingredient, or at the end;
// an entry for the same ingredient and quantity is refused (it would never be read).
SaveResult AddCalorieEntry(const std::string &folder, const FileIdentity &expected,
                           const CalorieEntryFields &entry);

// Puts back the version that `last` kept as "~", while the file is still as `last` left it;
// the version replaced becomes the "~" in turn.
SaveResult UndoSave(const SaveResult &last);

// The paths of the collection's files.
std::string RecipeFilePath(const std::string &folder);
std::string CalorieFilePath(const std::string &folder);

}  // namespace sapidoro
