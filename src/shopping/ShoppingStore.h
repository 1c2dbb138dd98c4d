#pragma once

#include "shopping/ShoppingList.h"

#include <QString>

namespace sapidoro {

// Where the shopping list is kept: the user's data folder of the program, never a
// collection's folder.
QString ShoppingListPath();

// Moves a list left in the data folder of the releases that named it with their version into
// `ShoppingListPath()`, unless a list is there already; returns whether it moved one.
bool MoveOldShoppingList();

// The saved list as read from `path`; a missing file is an empty list.
struct LoadedShoppingList {
    ShoppingList list;
    QString damage;  // why the file cannot be read; empty when it could
};
LoadedShoppingList LoadShoppingList(const QString &path);

// Moves a damaged list file aside, beside it, under a name not yet taken; returns that name.
// Throws when it cannot.
QString KeepDamagedShoppingList(const QString &path);

// Writes the list in full, replacing the file only once the new one is complete.
void SaveShoppingList(const QString &path, const ShoppingList &list);

}  // namespace sapidoro
