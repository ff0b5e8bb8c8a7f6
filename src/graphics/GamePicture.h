#pragma once

#include "graphics/PcxDrawer.h"

#include <string>
#include <vector>

class CModStore;

// Whether an item's "invfile" can name a picture file: a plain name, not empty, with no path
// separator, drive colon or control character, and not made of dots and spaces only. Anything
// else could reach outside the folders and archive paths the pictures are kept in.
bool IsPlainPictureName(const std::string& invfile);

// The archived name of an item's own inventory picture: "data\global\items\<invfile>.dc6".
std::string GamePictureName(const std::string& invfile);

// The game's own inventory picture of an item, from the first of `stores` that holds one that
// decodes: its first frame in the colours of the act 1 palette, colour 0 transparent, at most
// maxWidth x maxHeight pixels of it. False, leaving `picture` empty, when none has it or the
// name is not plain.
bool ReadGameItemPicture(const std::vector<const CModStore*>& stores, const std::string& invfile,
                         int32_t maxWidth, int32_t maxHeight, CRgbPicture& picture);
