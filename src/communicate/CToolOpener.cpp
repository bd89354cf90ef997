#include "communicate/CToolOpener.h"

#include "communicate/CToolData.h"
#include "config/CSection.h"
#include "platform/CDesktopFileOpener.h"
#include "platform/DesktopLinks.h"
#include "platform/IProcessLauncher.h"
#include "platform/TextUtil.h"
#include "platform/WebPage.h"
#include "ui/CDialogBase.h"

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uint32_t kNotAnAddressText = 1903;
constexpr uint32_t kNotStartedText = 1904;
constexpr uint32_t kPageNotOpenedText = 1905;

CToolOpener::Result Make(CToolOpener::Result::Kind kind, std::string message = {}) {
    CToolOpener::Result result;
    result.kind = kind;
    result.message = std::move(message);
    return result;
}

std::string Message(uint32_t id, const std::string& subject) {
    return Text::ReplaceAll(CDialogBase::LoadString(id), "{program}", subject);
}

CToolOpener::Result OpenProgram(const std::string& path) {
    using Kind = CToolOpener::Result::Kind;
    struct stat info {};
    if (stat(path.c_str(), &info) != 0)
        return Make(Kind::Failed, Message(kNotStartedText, path));
    bool opened = false;
    if (S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0)
        opened = GetProcessLauncher().StartDetached({path});
    else if (S_ISDIR(info.st_mode))
        opened = CDesktopFileOpener::DesktopOpen(path);
    else
        opened = CDesktopFileOpener::Open(path) == CDesktopFileOpener::Result::Opened;
    return opened ? Make(Kind::Started) : Make(Kind::Failed, Message(kNotStartedText, path));
}

} // namespace

CToolOpener::Result CToolOpener::Open(const CToolData& tool) {
    if (tool.refusal != CToolData::Refusal::None)
        return Make(Result::Kind::Refused, tool.RefusalMessage());
    if (!tool.command.empty()) {
        if (tool.installed)
            return OpenProgram(tool.command);
        if (!DesktopLinks::IsOpenableAddress(tool.command))
            return Make(Result::Kind::Failed, Message(kNotAnAddressText, tool.command));
        return OpenWebPage(tool.command)
                   ? Make(Result::Kind::OpenedPage)
                   : Make(Result::Kind::Failed, Message(kPageNotOpenedText, tool.command));
    }
    if (tool.tool != nullptr && tool.tool->uninstalled &&
        tool.tool->uninstalled->task == SectionReader::TASK_PROMPT_TEXT && !tool.prompt.empty())
        return Make(Result::Kind::Prompt, tool.prompt);
    return Make(Result::Kind::Nothing);
}
