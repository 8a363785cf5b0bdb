// The shell's resources.
#include "shell/ui/shell_resources.h"

#include <QtGlobal>

// Resource initialisation must be called outside any namespace.
static void initShellResourcesOnce() {
    Q_INIT_RESOURCE(shell);
}

namespace tunarium {

void initShellResources() {
    static const bool done = [] {
        initShellResourcesOnce();
        return true;
    }();
    (void)done;
}

} // namespace tunarium
