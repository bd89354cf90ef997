#include "app/ExternalPrograms.h"

#include "config/COEMInfo.h"
#include "platform/CRegistry.h"
#include "platform/CResourceLibrary.h"
#include "platform/CSoundSettingsFinder.h"
#include "platform/CWaitCursor.h"
#include "platform/CommandLine.h"
#include "platform/ExecutablePath.h"
#include "platform/IProcessLauncher.h"
#include "platform/TextUtil.h"

#include <QFileInfo>

namespace {
constexpr uint32_t kProductNameString = 109;
constexpr uint32_t kUpdaterFileNameString = 349;
constexpr const char* kUpdaterKey = "Software\\Brenmoor\\Vidora\\Updater";
constexpr const char* kProductOptionValue = "ProductOption";
// The product option is read into a buffer of this many characters, terminator included; a longer value
// does not fit and the default stands.
constexpr size_t kProductOptionChars = 128;
constexpr const char* kRegisteredSign = "\u00AE";

struct LanguageCode {
    LANGID id;
    const char* code;
};

const LanguageCode kLanguageCodes[] = {
    {0x0404, "CHT"}, {0x0406, "DAN"}, {0x0407, "DEU"}, {0x0409, "ENU"}, {0x040A, "ESP"},
    {0x040C, "FRA"}, {0x0410, "ITA"}, {0x0411, "JPN"}, {0x0412, "KOR"}, {0x0413, "NLD"},
    {0x0414, "NOR"}, {0x0416, "PTB"}, {0x041D, "SVE"}, {0x0804, "CHS"},
};

std::string ProductName() {
    std::string product = CResourceLibrary::Instance().GetString(kProductNameString);
    if (COEMInfo* oem = GetOEMInfo())
        product = oem->ExpandText(product);
    const std::string sign = kRegisteredSign;
    if (product.ends_with(sign))
        product.erase(product.size() - sign.size());
    return product;
}

std::string ProductOption() {
    RegValue value;
    if (FAILED(CRegistry::Instance().QueryValue(Hive::LocalMachine, kUpdaterKey, kProductOptionValue, value)))
        return "0";
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ)
        return "0";
    if (Text::CodePointCount(value.text) >= kProductOptionChars)
        return "0";
    return value.text;
}

const char* ArgumentsFormat(uint32_t mode) {
    switch (mode) {
    case kUpdaterPeriodic:
        return " /workflowid:4 /lowercase /version:%s /lang:%s /prod:%s /po:%s";
    case kUpdaterConfigure:
        return " /configure /workflowid:1 /lowercase /version:%s /lang:%s /prod:%s /po:%s";
    case kUpdaterCheckNow:
        return " /check /workflowid:3 /lowercase /version:%s /lang:%s /prod:%s /po:%s";
    default:
        return nullptr;
    }
}

std::string AudioWizardPath() {
    return GetExecutableDir() + "/" + kAudioWizardFileName;
}

} // namespace

HRESULT RunProcess(const std::string& commandLine) {
    std::vector<std::string> argv = SplitCommandLine(commandLine);
    if (argv.empty() || argv.front().empty())
        return E_FAIL;
    return GetProcessLauncher().StartDetached(argv) ? S_OK : E_FAIL;
}

std::string UpdaterLanguageCode(LANGID language) {
    for (const LanguageCode& l : kLanguageCodes)
        if (l.id == language)
            return l.code;
    return "ENU";
}

std::string UpdaterCommandLine(uint32_t mode) {
    const char* format = ArgumentsFormat(mode);
    if (format == nullptr)
        return {};
    std::string path =
        GetExecutableDir() + "/" + CResourceLibrary::Instance().GetString(kUpdaterFileNameString);
    std::string version =
        Text::Format("%d.%d.%d", kUpdaterVersionMajor, kUpdaterVersionMinor, kUpdaterVersionBuild);
    std::string language = Text::ToLower(UpdaterLanguageCode(GetUiLanguage()));
    std::string arguments = Text::Format(format, version.c_str(), language.c_str(), ProductName().c_str(),
                                         ProductOption().c_str());
    // The updater is told "/lowercase" and gets its arguments so; its path keeps its case, or a file system
    // that tells case apart would not find it.
    return QuoteCommandLineArgument(path, true) + Text::ToLower(arguments);
}

HRESULT RunUpdater(uint32_t mode) {
    if (mode > 3)
        return E_FAIL;
    return RunProcess(UpdaterCommandLine(mode));
}

bool AudioWizardInstalled() {
    const QFileInfo wizard(QString::fromStdString(AudioWizardPath()));
    return wizard.isFile() && wizard.isExecutable();
}

void LaunchAudioWizard() {
    if (!AudioWizardInstalled())
        return;
    CWaitCursor wait;
    // Started from its path as one argument: no command line to split, whatever the path holds.
    GetProcessLauncher().StartDetached({AudioWizardPath()});
}

std::vector<std::string> AudioTuningCommand() {
    if (AudioWizardInstalled())
        return {AudioWizardPath()};
    return CSoundSettingsFinder::ForSession().Find();
}

bool LaunchAudioTuning() {
    const std::vector<std::string> argv = AudioTuningCommand();
    if (argv.empty())
        return false;
    CWaitCursor wait;
    GetProcessLauncher().StartDetached(argv);
    return true;
}
