// The image file of an Own entry, as the delete screen removes it.
#pragma once
#include <string>

enum class ImageRemoval { Removed, Absent, Failed };

// Removes the image of an entry. A name that is not a plain file name removes nothing and
// counts as a failure; a plain name without a file there is Absent.
ImageRemoval RemoveOwnImage(const std::string& filename);
// Why the image of an Own entry that is being deleted must stay ("" when it may go): it is
// the virtual HDD, or another entry still names it (any category file, previous versions,
// the partition manager of db.ini, another Own entry). Call it once the entry is removed.
std::string ImageKeptReason(const std::string& filename);
