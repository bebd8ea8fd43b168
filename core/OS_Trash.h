// OS_Trash: deleting a user's file so that it can be recovered. The file is
// moved into the user's freedesktop trash ($XDG_DATA_HOME/Trash, else
// ~/.local/share/Trash: the file under "files/", a ".trashinfo" record
// under "info/" with its original path and the time), where desktop file
// managers offer to restore it. When that trash cannot take the file (no
// home folder, another file system, no permission) it is moved into a
// fallback folder of the caller's choosing instead. Nothing is ever removed
// without a copy left behind.
#pragma once

#include <string>

class OS_Trash {
public:
    // Moves the regular file `path` to the trash, else into
    // `fallbackFolder` (created when missing). A name already taken there
    // gets a number before its extension ("a.vox" -> "a.2.vox"). True with
    // the new location in `where`; false (file untouched) when the file is
    // missing or neither place could take it. Prints nothing.
    static bool MoveToTrash(const std::string& path, const std::string& fallbackFolder, std::string* where = nullptr);

    // The user's trash folder; empty when neither XDG_DATA_HOME nor HOME is set.
    static std::string UserTrash();
};
