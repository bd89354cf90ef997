#include "app/CVidoraStartup.h"

#include "app/CVidoraSettings.h"
#include "config/CVidoraOEMInfo.h"
#include "platform/CResourceLibrary.h"
#include "platform/ExecutablePath.h"

namespace {
CVidoraOEMInfo& OEMInfo() {
    static CVidoraOEMInfo info;
    return info;
}
} // namespace

void CVidoraStartup::PrepareSharedServices() {
    // The OEM information comes first: the settings root and every branded text go through it.
    SetOEMInfo(&OEMInfo());

    // The resource library beside the executable; the built-in copy stays in use when it is missing.
    CResourceLibrary& library = CResourceLibrary::Instance();
    library.LoadFile(GetExecutableDir() + "/" + CResourceLibrary::kFileName);
    SetUiLanguage(library.LanguageId().value_or(0x0409));

    CVidoraSettings::SeedDefaults();
}

int CVidoraStartup::RunFoundation() {
    PrepareSharedServices();
    return 0;
}
