// The program's windows by procedure name. The frame starts a command's procedure through this
// registry; a command whose procedure is not registered is shown disabled. Each subsystem adds
// its windows in registerProgramProcedures().
#pragma once

#include "data/database.h"
#include "data/settings.h"

#include <QHash>
#include <QString>

#include <functional>

class QMdiArea;

namespace tunarium {

class MainFrame;

// What a procedure started from the frame gets to work with.
struct FrameContext {
    Database& db;
    Settings& settings;
    Prompter& prompter;
    MainFrame& frame;
    QMdiArea& workspace;
};

using ProcedureStarter = std::function<void(FrameContext&)>;

class ProcedureRegistry {
public:
    void add(const QString& name, ProcedureStarter starter);
    bool contains(const QString& name) const;
    // Starts the procedure; false when none of that name is registered.
    bool start(const QString& name, FrameContext& context) const;

private:
    QHash<QString, ProcedureStarter> m_starters;
};

// Registers every window of the program that the frame starts.
void registerProgramProcedures(ProcedureRegistry& registry);

} // namespace tunarium
