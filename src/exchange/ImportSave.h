#pragma once

#include "exchange/ImportPlan.h"
#include "writer/AtomicSave.h"
#include "writer/RecipeFields.h"

#include <string>
#include <vector>

namespace sapidoro {

// The record's fields as the writer takes them (the persons as a number).
RecipeFields FieldsForWriter(RecipeRecord &&record);

// What an import saved.
struct ImportSaved {
    std::size_t recipes = 0;
    std::size_t pictures = 0;
    std::vector<std::string> pictureProblems;  // UTF-8, one per picture not copied
};

// Appends the plan's chosen recipes to the collection in `folder` in one save through the
// writer (all or nothing; ESaveRefused with its message, the collection untouched), then
// copies their pictures to "immagini/<name>.jpg" where no picture of that name exists.
// `expected` is the recipe file as it was when the import was read (null: as found). The
// foreign file is read again as the save goes; when it changed since the preview, the save is
// refused.
ImportSaved SaveImport(const std::string &folder, ImportPlan &plan, const FileIdentity *expected);

// Copies a picture into the collection's picture folder under the recipe's name, through a
// temporary file renamed into place; never over an existing picture. Returns an empty text,
// or why it was not copied (UTF-8).
std::string CopyPicture(const std::string &folder, const std::string &source,
                        const std::string &recipeName);

}  // namespace sapidoro
