// A test that needs another copy of the program beside it starts its own test program again in a
// role: TUNARIUM_TEST_ROLE names the role, and main() runs it instead of the tests. A role talks
// with its test through its standard input and output, a line at a time.
#pragma once

#include <QProcess>
#include <QStringList>

namespace tunarium::test {

using ChildRole = int (*)(const QStringList& args);

// Registers `role` under `name` (at static initialisation, in the test's own file).
struct ChildRoleRegistration {
    ChildRoleRegistration(const char* name, ChildRole role);
};

// The role the environment names, run with `args`; -1 when no role is named, 2 when it is unknown.
int runChildRole(const QStringList& args);

// Starts this test program in `role` with `args`, in the same environment.
void startChildRole(QProcess& process, const QString& role, const QStringList& args);

// The next line a role writes (without its end), waiting up to `ms`; empty when none came.
QString readChildLine(QProcess& process, int ms = 30000);

} // namespace tunarium::test
