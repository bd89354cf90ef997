#pragma once

// Start-up of the shared services the windows rely on.
class CVidoraStartup {
public:
    // Prepares the OEM information, the resource library and the default settings; returns the exit code.
    static int RunFoundation();
};
