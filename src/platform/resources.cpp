#include "platform/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE names a symbol at global scope: it cannot be used inside a namespace.
static void initResourcesOutsideNamespace() {
    Q_INIT_RESOURCE(resources);
}

void InitResources() {
    initResourcesOutsideNamespace();
}
