#pragma once

// Start-up of the shared services the windows rely on.
class CVidoraStartup {
public:
    // The OEM information object, the resource library and its language, and the seeded default settings.
    static void PrepareSharedServices();
    // Prepares the shared services and ends; the exit code of the process.
    static int RunFoundation();
};
