// The table of contents of an audio disc and its text form.
#include "albums/disc_toc.h"

#include <QFile>
#include <QFileInfo>

namespace tunarium {

namespace {

// A table of 99 tracks is well under a kilobyte; anything much larger is not a table.
constexpr qint64 kMaxTocFileBytes = 64 * 1024;

// The whole numbers of the text, or a problem with the first word that is not one.
QString readNumbers(QStringView text, QVector<qint64>& numbers) {
    const auto words = text.split(u' ', Qt::SkipEmptyParts);
    for (QStringView word : words) {
        bool ok = false;
        const qint64 n = word.toLongLong(&ok);
        if (!ok) {
            return QStringLiteral("\"%1\" is not a whole number of frames.").arg(word.left(40));
        }
        numbers << n;
    }
    return {};
}

QString checkTracks(const QVector<qint64>& numbers) {
    if (numbers.size() < 3) {
        return QStringLiteral("A table of contents gives the first and last track numbers, the lead-out and "
                              "the start of every track.");
    }
    const qint64 first = numbers[0];
    const qint64 last = numbers[1];
    if (first != 1) {
        return QStringLiteral("The tracks must be numbered from 1; this table starts at track %1.")
            .arg(first);
    }
    if (last < first) {
        return QStringLiteral("The last track (%1) comes before the first (%2).").arg(last).arg(first);
    }
    if (last > kMaxDiscTracks) {
        return QStringLiteral("An audio disc holds at most %1 tracks; this table names %2.")
            .arg(kMaxDiscTracks)
            .arg(last);
    }
    const qint64 expected = last - first + 1;
    if (numbers.size() - 3 != expected) {
        return QStringLiteral("Tracks %1 to %2 need %3 start positions; the table gives %4.")
            .arg(first)
            .arg(last)
            .arg(expected)
            .arg(numbers.size() - 3);
    }
    return {};
}

QString checkPositions(const QVector<qint64>& numbers) {
    const qint64 leadout = numbers[2];
    for (qsizetype i = 3; i < numbers.size(); ++i) {
        const qint64 track = numbers[0] + (i - 3);
        if (numbers[i] < 0) {
            return QStringLiteral("Track %1 starts at %2: a position cannot be negative.")
                .arg(track)
                .arg(numbers[i]);
        }
        if (i > 3 && numbers[i] <= numbers[i - 1]) {
            return QStringLiteral(
                       "Track %1 starts at %2, not after track %3 at %4: the tracks are out of order "
                       "or overlap.")
                .arg(track)
                .arg(numbers[i])
                .arg(track - 1)
                .arg(numbers[i - 1]);
        }
    }
    const qint64 lastStart = numbers.last();
    if (leadout <= lastStart) {
        return QStringLiteral("The lead-out at %1 does not come after the start of the last track, %2.")
            .arg(leadout)
            .arg(lastStart);
    }
    if (leadout > kLastDiscFrame + 1) {
        return QStringLiteral("The lead-out at %1 lies beyond 99:59:74, the end of any audio disc.")
            .arg(leadout);
    }
    return {};
}

} // namespace

int DiscToc::trackFrames(int index) const {
    if (index < 0 || index >= trackCount()) {
        return 0;
    }
    const int end = index + 1 < trackCount() ? offsets[index + 1] : leadout;
    return end - offsets[index];
}

QString parseDiscToc(QStringView text, DiscToc& toc) {
    QString line;
    for (QStringView part : text.split(u'\n')) {
        const QStringView trimmed = part.trimmed();
        if (trimmed.isEmpty()) {
            continue;
        }
        if (!line.isEmpty()) {
            return QStringLiteral("A table of contents is one line; this one goes on over several.");
        }
        line = trimmed.toString().simplified();
    }
    if (line.isEmpty()) {
        return QStringLiteral("The table of contents is empty.");
    }
    QVector<qint64> numbers;
    QString problem = readNumbers(line, numbers);
    if (problem.isEmpty()) {
        problem = checkTracks(numbers);
    }
    if (problem.isEmpty()) {
        problem = checkPositions(numbers);
    }
    if (!problem.isEmpty()) {
        return problem;
    }
    DiscToc parsed;
    parsed.first = static_cast<int>(numbers[0]);
    parsed.leadout = static_cast<int>(numbers[2]);
    for (qsizetype i = 3; i < numbers.size(); ++i) {
        parsed.offsets << static_cast<int>(numbers[i]);
    }
    toc = parsed;
    return {};
}

QString readDiscTocFile(const QString& path, DiscToc& toc) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return QStringLiteral("%1: there is no such table of contents.").arg(path);
    }
    if (!info.isFile() || info.size() > kMaxTocFileBytes) {
        return QStringLiteral("%1: this is not a table of contents.").arg(path);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QStringLiteral("%1: %2").arg(path, file.errorString());
    }
    const QString text = QString::fromUtf8(file.read(kMaxTocFileBytes + 1));
    const QString problem = parseDiscToc(text, toc);
    return problem.isEmpty() ? problem : QStringLiteral("%1: %2").arg(path, problem);
}

QString discTocText(const DiscToc& toc) {
    QString text = QStringLiteral("%1 %2 %3").arg(toc.first).arg(toc.last()).arg(toc.leadout);
    for (int offset : toc.offsets) {
        text += u' ' + QString::number(offset);
    }
    return text;
}

} // namespace tunarium
