// Counts each window's lines over the files it is written in.
#include "window_rules.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

namespace tunarium::test {

namespace {

// `class Name [final] : bases {` at the start of a line.
const QRegularExpression kClassHead(QStringLiteral(R"(^class\s+(\w+)\s*(?:final\s*)?:([^{;]*)\{)"),
                                    QRegularExpression::MultilineOption);
const QRegularExpression kWindowBase(
    QStringLiteral(R"(\b(\w*(Window|Dialog|Widget|Panel)|QMainWindow|QMdiSubWindow)\b)"));

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

int lineCount(const QString& text) {
    if (text.isEmpty()) {
        return 0;
    }
    return static_cast<int>(text.count(u'\n')) + (text.endsWith(u'\n') ? 0 : 1);
}

} // namespace

QStringList windowsDeclaredIn(const QString& text) {
    QStringList windows;
    for (auto it = kClassHead.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (kWindowBase.match(m.captured(2)).hasMatch()) {
            windows << m.captured(1);
        }
    }
    return windows;
}

bool definesMembersOf(const QString& text, const QString& window) {
    // At the start of a line: a return type (words, templates, pointers), then Window::member( ;
    // a call inside a body is indented and does not count.
    const QRegularExpression definition(
        QStringLiteral(R"(^(?:[\w:<>,]+[\s*&]+)*%1::~?\w+\s*\()").arg(QRegularExpression::escape(window)),
        QRegularExpression::MultilineOption);
    return definition.match(text).hasMatch();
}

QMap<QString, WindowSize> windowSizes(const QString& sourceRoot) {
    QMap<QString, WindowSize> sizes;
    QDirIterator it(sourceRoot, {QStringLiteral("*.h")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString header = it.next();
        const QString path = header.mid(sourceRoot.size() + 1);
        const QString folder = QFileInfo(path).path();
        if (folder != QLatin1String("ui") && !folder.endsWith(QLatin1String("/ui"))) {
            continue;
        }
        const QString text = readAll(header);
        for (const QString& window : windowsDeclaredIn(text)) {
            WindowSize& size = sizes[window];
            size.files = {path};
            size.lines = lineCount(text);
            QDir dir(QFileInfo(header).path());
            const QStringList sources = dir.entryList({QStringLiteral("*.cpp")}, QDir::Files, QDir::Name);
            for (const QString& source : sources) {
                const QString sourceText = readAll(dir.filePath(source));
                if (definesMembersOf(sourceText, window)) {
                    size.files << folder + u'/' + source;
                    size.lines += lineCount(sourceText);
                }
            }
        }
    }
    return sizes;
}

QStringList oversizedWindows(const QString& sourceRoot, int limit) {
    QStringList found;
    const QMap<QString, WindowSize> sizes = windowSizes(sourceRoot);
    for (auto it = sizes.cbegin(); it != sizes.cend(); ++it) {
        if (it->lines >= limit) {
            found << QStringLiteral("%1: %2 lines in %3").arg(it.key()).arg(it->lines).arg(it->files.join(u", "));
        }
    }
    return found;
}

} // namespace tunarium::test
