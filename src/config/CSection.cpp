#include "config/CSection.h"

#include "config/CAppsReader.h"
#include "platform/TextUtil.h"

namespace SectionReader {
namespace {

std::unique_ptr<CSectionText> ReadText(const CXMLParser& xml, XmlNode element) {
    return element ? std::make_unique<CSectionText>(xml, element) : nullptr;
}

} // namespace

bool CSection::BranchFromText(const std::string& text, Hive& branch) {
    if (Text::EqualsNoCase(text, "HKEY_LOCAL_MACHINE"))
        branch = Hive::LocalMachine;
    else if (Text::EqualsNoCase(text, "HKEY_CURRENT_USER"))
        branch = Hive::CurrentUser;
    else if (Text::EqualsNoCase(text, "HKEY_CURRENT_CONFIG"))
        branch = Hive::CurrentConfig;
    else
        return false;
    return true;
}

CSection::CSection(const CXMLParser& xml, XmlNode tool) {
    xml.GetAttribute(tool, "Id", id);
    url = xml.GetText(xml.GetChild(tool, "URL"));
    name = ReadText(xml, xml.GetChild(tool, "Name"));
    if (XmlNode branch = xml.GetChild(tool, "RegistryBranch"))
        BranchFromText(xml.GetText(branch), registryBranch);
    registryKey = xml.GetText(xml.GetChild(tool, "RegistryKey"));
    registryValue = xml.GetText(xml.GetChild(tool, "RegistryValue"));
    if (XmlNode information = xml.GetChild(tool, "RegistryInformation")) {
        const std::string text = xml.GetText(information);
        if (Text::EqualsNoCase(text, "Executable"))
            registryInformation = REGINFO_EXECUTABLE;
        else if (Text::EqualsNoCase(text, "Directory"))
            registryInformation = REGINFO_DIRECTORY;
    }
    executable = xml.GetText(xml.GetChild(tool, "Executable"));
    downloadLink = xml.GetText(xml.GetChild(tool, "DownloadLink"));
    if (XmlNode element = xml.GetChild(tool, "Uninstalled")) {
        uninstalled = std::make_unique<Uninstalled>();
        uninstalled->name = ReadText(xml, xml.GetChild(element, "Name"));
        const std::string task = xml.GetText(xml.GetChild(element, "Task"));
        if (Text::EqualsNoCase(task, "PromptText"))
            uninstalled->task = TASK_PROMPT_TEXT;
        else if (Text::EqualsNoCase(task, "LaunchLink"))
            uninstalled->task = TASK_LAUNCH_LINK;
        uninstalled->prompt = ReadText(xml, xml.GetChild(element, "PromptText"));
    }
    if (XmlNode element = xml.GetChild(tool, "Installed")) {
        installed = std::make_unique<Installed>();
        if (Text::EqualsNoCase(xml.GetText(xml.GetChild(element, "Task")), "LaunchExecutable"))
            installed->task = TASK_LAUNCH_EXECUTABLE;
        installed->name = ReadText(xml, xml.GetChild(element, "Name"));
    }
    cameras = AppsReader::CAppsReader::ReadNumberList(xml, xml.GetChild(tool, "Cameras"), "Pid");
    countries = AppsReader::CAppsReader::ReadNumberList(xml, xml.GetChild(tool, "Countries"), "Country");
    osCountries = AppsReader::CAppsReader::ReadNumberList(xml, xml.GetChild(tool, "OSCountries"), "Country");
    oses = AppsReader::CAppsReader::ReadOSes(xml, xml.GetChild(tool, "OSes"));
}

} // namespace SectionReader
