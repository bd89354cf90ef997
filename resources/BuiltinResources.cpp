// Pulls the built-in copy of the resource library into any program that links this target.
#include <QtCore/qresource.h>

static int InitBuiltinResources() {
    Q_INIT_RESOURCE(vappres_builtin);
    return 0;
}

[[maybe_unused]] static const int g_builtinResourcesReady = InitBuiltinResources();
