#include "editor/LastSave.h"

#include "editor/PictureFiles.h"
#include "writer/CollectionWriter.h"

namespace sapidoro {

LastSave UndoLastSave(const std::string &dataFolder, const LastSave &last) {
    LastSave undone;
    undone.result = UndoSave(last.result);
    undone.recipeBefore = last.recipeAfter;
    undone.recipeAfter = last.recipeBefore;
    undone.pictureRenamed =
        last.pictureRenamed && RenamePicture(dataFolder, last.recipeAfter, last.recipeBefore);
    return undone;
}

}  // namespace sapidoro
