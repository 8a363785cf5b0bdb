// The rule of the house for windows: a window, with every file it is written in, stays under 600
// lines; a larger one is two classes (a panel it holds, a controller in the room's core).
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace tunarium::test {

inline constexpr int kWindowLineLimit = 600;

// The windows a header declares: each class whose bases name a window or a widget (a base
// ending in Window, Dialog, Widget or Panel, QMainWindow, QMdiSubWindow). `text` is the header's.
QStringList windowsDeclaredIn(const QString& text);
// Whether `text` (a .cpp) defines a member of `window`: a line that begins, outside any body,
// with `Window::name(` (after its return type), a constructor or the destructor.
bool definesMembersOf(const QString& text, const QString& window);

struct WindowSize {
    QStringList files; // relative to the source root, the header first
    int lines = 0;
};

// Every window of the uis under `sourceRoot` (src/*/ui and src/ui) with its files: the header
// that declares it and every .cpp beside it that defines one of its members.
QMap<QString, WindowSize> windowSizes(const QString& sourceRoot);
// Every window of `sourceRoot` of `limit` lines or more, as "Name: N lines in a.h, a.cpp".
QStringList oversizedWindows(const QString& sourceRoot, int limit = kWindowLineLimit);

} // namespace tunarium::test
