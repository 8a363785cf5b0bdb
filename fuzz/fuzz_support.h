// What every fuzz target shares: the input as text, a check that stops the run with a message
// when a promise of the code is broken, and a scratch folder for targets that need files.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>
#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace tunarium::fuzz {

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

inline QString textOf(const uint8_t* data, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A text for a message: escaped, so that a line break or a control character shows; a long text
// by its start and its end.
inline QByteArray shown(const QString& text) {
    constexpr qsizetype kEnds = 300;
    if (text.size() > 2 * kEnds) {
        return shown(text.left(kEnds)) + " ... " + shown(text.right(kEnds));
    }
    QByteArray out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7f && u != u'\\') {
            out += static_cast<char>(u);
        } else {
            out += QStringLiteral("\\u%1").arg(u, 4, 16, QChar(u'0')).toLatin1();
        }
    }
    return out;
}

// A broken promise: printed, then the run stops as on a crash, so that libFuzzer keeps the input.
[[noreturn]] inline void broken(const char* what, const QString& detail = {}) {
    std::fprintf(stderr, "\n*** broken promise: %s\n%s\n", what, shown(detail).constData());
    std::fflush(stderr);
    std::abort();
}

inline void check(bool condition, const char* what, const QString& detail = {}) {
    if (!condition) {
        broken(what, detail);
    }
}

// Qt's warnings would flood the run's output at thousands of inputs a second: every target drops
// them from its start (a static of its own in each target, so it is never left out).
[[maybe_unused]] static const bool kQtQuiet = [] {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
            std::abort();
        }
    });
    return true;
}();

// A folder for the run's files, removed when the run ends normally.
inline const QString& scratchDir() {
    static const std::unique_ptr<QTemporaryDir> dir = [] {
        auto made =
            std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tunarium-fuzz-XXXXXX"));
        if (!made->isValid()) {
            std::fprintf(stderr, "no scratch folder under %s\n", qPrintable(QDir::tempPath()));
            std::abort();
        }
        return made;
    }();
    static const QString path = dir->path();
    return path;
}

} // namespace tunarium::fuzz
