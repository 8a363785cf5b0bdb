// The program's organisation and application names.
#include "shell/application_identity.h"

#include <QCoreApplication>

namespace tunarium {

void setApplicationIdentity() {
    QCoreApplication::setOrganizationName(QStringLiteral("Tunarium"));
    QCoreApplication::setApplicationName(QStringLiteral("Tunarium Pro"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.8i"));
}

} // namespace tunarium
