#pragma once

#include <QString>

class CUserInterface;

// "フォルダ名称変更": renames a download folder. The same dialog serves the folder list and the folder change
// dialog.
class CFolderRename {
public:
    static constexpr int MAX_CHARS = 256;
    // Tries the rename; on a refusal shows its message and returns false (the name dialog stays open).
    static bool Rename(CUserInterface& ui, const QString& oldPath, const QString& newName);
};
