#include "support/child_role.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QProcessEnvironment>

namespace tunarium::test {

namespace {

constexpr char kRoleVariable[] = "TUNARIUM_TEST_ROLE";

QHash<QString, ChildRole>& roles() {
    static QHash<QString, ChildRole> all;
    return all;
}

} // namespace

ChildRoleRegistration::ChildRoleRegistration(const char* name, ChildRole role) {
    roles().insert(QString::fromLatin1(name), role);
}

int runChildRole(const QStringList& args) {
    const QString name = qEnvironmentVariable(kRoleVariable);
    if (name.isEmpty()) {
        return -1;
    }
    const ChildRole role = roles().value(name);
    return role ? role(args) : 2;
}

void startChildRole(QProcess& process, const QString& role, const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kRoleVariable), role);
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), args);
}

QString readChildLine(QProcess& process, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!process.canReadLine()) {
        const int left = ms - static_cast<int>(clock.elapsed());
        if (left <= 0 || !process.waitForReadyRead(left)) {
            if (!process.canReadLine()) {
                return {};
            }
        }
    }
    return QString::fromUtf8(process.readLine()).trimmed();
}

} // namespace tunarium::test
