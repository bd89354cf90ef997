#include "app/CVidoraStartup.h"

int CVidoraStartup::RunFoundation() { return 0; }
