#include "package/install_manifest.h"

#include "package/package_config.h"

void InstallManifest::AddFolderEntry(const std::wstring& folder)
{
    m_folders.resize(m_folderCount);
    m_folders.push_back(folder);
    ++m_folderCount;
}

void InstallManifest::AddFileEntry(const std::wstring& file, const std::wstring& containingFolder)
{
    NotePendingFolder(containingFolder);
    AddFile(file);
}

void InstallManifest::NotePendingFolder(const std::wstring& containingFolder)
{
    m_folders.resize(m_folderCount);
    m_folders.push_back(containingFolder);
}

void InstallManifest::AddFile(const std::wstring& file)
{
    m_files.push_back(file);
}

std::vector<std::wstring> InstallManifest::Folders() const
{
    return m_folders;
}

JsonValue InstallManifest::ToDocument() const
{
    JsonValue document;
    JsonValue& files = document.Member("files") = JsonValue::MakeArray();
    for (const std::wstring& file : m_files)
        files.Append(JsonValue(EncodeBase64Utf8(file)));
    JsonValue& folders = document.Member("folders") = JsonValue::MakeArray();
    for (const std::wstring& folder : m_folders)
        folders.Append(JsonValue(EncodeBase64Utf8(folder)));
    document.Member("mode") = JsonValue(0);
    JsonValue& setup = document.Member("setup");
    setup.Member("root") = JsonValue(EncodeBase64Utf8(m_root));
    setup.Member("shortcut") = m_shortcut;
    return document;
}

ManifestContents ReadManifest(const JsonValue& document)
{
    ManifestContents contents;
    const JsonValue& setup = document.Find("setup");
    contents.root = DecodeBase64Utf8(setup.Find("root"));
    contents.shortcut = setup.Find("shortcut");
    const JsonValue& files = document.Find("files");
    for (uint32_t i = 0; i < files.Size(); ++i)
        contents.files.push_back(DecodeBase64Utf8(files.Element(i)));
    const JsonValue& folders = document.Find("folders");
    for (uint32_t i = 0; i < folders.Size(); ++i)
        contents.folders.push_back(DecodeBase64Utf8(folders.Element(i)));
    return contents;
}
