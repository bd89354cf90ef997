#pragma once
// The resource library: the program's texts, images, sounds, XML documents, dialog templates and menus.
// It is a Qt binary resource file ("VAppRes.rcc") beside the executable, chosen at start; when that file
// cannot be loaded, the copy built into the executable is used. Inside, resources are found by type and id:
//   /manifest.xml            <resources languageId="0x0409"/>
//   /strings.xml             <strings><string id="109">...</string>...</strings>
//   /png/<id>.png, /xml/<id>.xml, /wave/<id>.wav, /dialog/<id>.xml, /menu/<id>.xml
#include "platform/CSystemInfo.h"

#include <QByteArray>

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>

enum class ResourceType { Png, Xml, Wave, Dialog, Menu };

class CResourceLibrary {
public:
    static CResourceLibrary& Instance();

    // Loads the library file; false (and the built-in copy stays in use) when it cannot be loaded or is not a
    // resource library. Replaces a library loaded before.
    bool LoadFile(const std::string& path);
    // Back to the built-in copy.
    void Unload();
    bool IsFileLoaded() const { return !fileRoot_.empty(); }

    // The language id of the library in use (its manifest); nothing when it gives none.
    std::optional<LANGID> LanguageId() const;

    // The text of a string id; empty when the id has no text.
    std::string GetString(uint32_t id) const;
    bool HasString(uint32_t id) const;
    // The bytes of a resource; empty when absent.
    QByteArray GetData(ResourceType type, uint32_t id) const;
    bool HasData(ResourceType type, uint32_t id) const;
    // A resource path usable with Qt's file classes (":/..."), for QImageReader and the like.
    std::string ResourcePath(ResourceType type, uint32_t id) const;

    static constexpr const char* kFileName = "VAppRes.rcc";

private:
    CResourceLibrary();
    std::string Root() const;
    void LoadStrings() const;

    mutable std::mutex lock_;
    std::string fileRoot_; // where the loaded file is mapped; empty while the built-in copy is in use
    std::string filePath_;
    mutable bool stringsLoaded_ = false;
    mutable std::map<uint32_t, std::string> strings_;
};

// The user-interface language: the language id of the resource library, 0x0409 until start-up sets it.
LANGID GetUiLanguage();
void SetUiLanguage(LANGID id);
