#include "config/CPathUtilities.h"

#include "platform/SpecialFolders.h"

#include <QDir>
#include <QFileInfo>

std::string CPathUtilities::ExpandPath(const std::string& text) {
    std::string result = text;
    ReplaceFolder(result, "%CSIDL_COMMON_APPDATA%",
                  [] { return SpecialFolders::GetPath(CSIDL_COMMON_APPDATA); });
    ReplaceFolder(result, "%ProgramFiles%", [] { return SpecialFolders::GetPath(CSIDL_PROGRAM_FILES); });
    return result;
}

bool CPathUtilities::CreateFolder(const std::string& path) {
    std::string folder = path;
    if (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\'))
        folder.pop_back();
    if (folder.empty() || folder.front() != '/')
        return false;
    if (QFileInfo(QString::fromStdString(folder)).isDir())
        return true;
    return SpecialFolders::CreateFolderTree(folder);
}
