#pragma once

#include "writer/AtomicSave.h"

#include <string>

namespace sapidoro {

// The last save of the window, for "Annulla ultima modifica".
struct LastSave {
    SaveResult result;
    std::string recipeBefore;           // the recipe to show once it is undone (Windows-1252)
    std::string recipeAfter;            // the recipe shown after the save
    bool pictureRenamed = false;        // the recipe's picture followed a new name
    bool shoppingEntryRenamed = false;  // so did the shopping list's entry
    bool menuEntriesRenamed = false;    // and the week's menu's entries
};

// Puts back the version before `last` (and the picture's old name); returns the save that
// undoes the undo.
LastSave UndoLastSave(const std::string &dataFolder, const LastSave &last);

}  // namespace sapidoro
