// The program's windows by procedure name. The frame starts a command's procedure through this
// registry, and so does a window that opens another subsystem's window (the songs browse's Import
// and Export); a command whose procedure is not registered is shown disabled. The program fills it
// at start-up, from the top of the house: each subsystem's ui offers a function that adds its
// windows, and no subsystem names the frame or another subsystem's windows.
#pragma once

#include "data/database.h"
#include "data/settings.h"

#include <QHash>
#include <QString>
#include <QVariant>

#include <functional>

class QMdiArea;
class QWidget;

namespace tunarium {

class ProcedureRegistry;

// What a procedure gets to work with, wherever it is started from.
struct ProcedureContext {
    Database& db;
    Settings& settings;
    Prompter& prompter;
    // The workspace the procedure's windows open in; null: they open on their own.
    QMdiArea* workspace;
    // The window the procedure is started from (the frame, or a window in the workspace): what
    // the procedure opens window-modal opens over it.
    QWidget* caller;
    // Every procedure of the program, for a window that starts another by name.
    const ProcedureRegistry& procedures;
    // What the procedure is started on, for one that needs it: the ALB:AlbumID of the album whose
    // songs a report prints, the PLD:PlaylistID of a playlist to print, the CAT:CategoryID a
    // category report opens its choice of category on. Invalid for the others.
    QVariant argument = {};
    // For a procedure that chooses a record for its caller (a selection list): told the response
    // and, when Completed, the chosen record. Empty when the caller waits for no choice.
    std::function<void(int response, const Row& chosen)> answer = {};

    // The same context for a procedure started from `window`.
    ProcedureContext calledFrom(QWidget* window) const {
        return {db, settings, prompter, workspace, window, procedures};
    }
    // The same context with `value` as the argument.
    ProcedureContext with(const QVariant& value) const {
        return {db, settings, prompter, workspace, caller, procedures, value};
    }
};

using ProcedureStarter = std::function<void(const ProcedureContext&)>;

class ProcedureRegistry {
public:
    void add(const QString& name, ProcedureStarter starter);
    bool contains(const QString& name) const;
    // Starts the procedure; false when none of that name is registered.
    bool start(const QString& name, const ProcedureContext& context) const;

private:
    QHash<QString, ProcedureStarter> m_starters;
};

} // namespace tunarium
