#pragma once

// InstallManifest: the configuration of the uninstaller copy, the record of everything an install
// created. Its document is
//
//   {"files":[...],"folders":[...],"mode":0,"setup":{"root":"...","shortcut":{...}}}
//
// with every path stored as base64 of its UTF-8 bytes, and "shortcut" an exact copy of the
// installer configuration's value (ANSI text included).
//
// Folders follow the extraction: a folder entry of the archive takes the next slot; a file entry
// writes the folder that holds it into the slot after the last folder entry without taking it, so
// the next entry overwrites it. The finished list is the folders of all folder entries plus, when
// a file follows the last folder entry, the folder of the last file.

#include <string>
#include <vector>

#include "package/json/json_value.h"

class InstallManifest {
public:
    void SetRoot(const std::wstring& installFolder) { m_root = installFolder; }
    void SetShortcuts(const JsonValue& shortcut) { m_shortcut = shortcut; }

    // Records a folder entry of the archive, by the folder's full path.
    void AddFolderEntry(const std::wstring& folder);
    // Records a file entry of the archive: the file's full path and the folder that holds it.
    void AddFileEntry(const std::wstring& file, const std::wstring& containingFolder);
    // The two halves of a file entry: its folder is noted before the file is written, and the
    // file is recorded once it was (or when a damaged copy has to be rolled back).
    void NotePendingFolder(const std::wstring& containingFolder);
    void AddFile(const std::wstring& file);

    const std::vector<std::wstring>& Files() const { return m_files; }
    std::vector<std::wstring> Folders() const;

    JsonValue ToDocument() const;

private:
    std::wstring m_root;
    JsonValue m_shortcut;
    std::vector<std::wstring> m_files;
    std::vector<std::wstring> m_folders;  // one slot beyond the folder count may be pending
    size_t m_folderCount = 0;
};

// What an uninstaller reads back from its manifest.
struct ManifestContents {
    std::wstring root;
    std::vector<std::wstring> files;
    std::vector<std::wstring> folders;
    JsonValue shortcut;
};

ManifestContents ReadManifest(const JsonValue& document);
