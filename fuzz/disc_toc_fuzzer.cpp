// The table-of-contents reader that stands in for a CD drive: any text is either refused with a
// reason, leaving the table alone, or read into a table that keeps every rule of an audio disc,
// whose text form reads back the same and whose identifiers can be computed. A file holding the
// text reads as the text does.
#include "albums/disc_ids.h"
#include "albums/disc_toc.h"
#include "fuzz_support.h"

#include <QFile>

using namespace tunarium;
using namespace tunarium::fuzz;

namespace {

void checkRules(const DiscToc& toc, const QString& text) {
    check(toc.first == 1, "the first track is 1", text);
    check(toc.trackCount() >= 1 && toc.trackCount() <= kMaxDiscTracks, "1 to 99 tracks", text);
    check(toc.dataTracks.isEmpty(), "a text table has only audio tracks", text);
    for (int i = 0; i < toc.trackCount(); ++i) {
        check(toc.offsets[i] >= 0, "no track starts before the disc", text);
        check(toc.trackFrames(i) > 0, "every track has a length", text);
    }
    check(toc.leadout > toc.offsets.last() && toc.leadout <= kLastDiscFrame + 1,
          "the lead-out follows the last track within 99:59:74", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = textOf(data, size);
    const DiscToc untouched{7, 42, {1, 2, 3}, {}};
    DiscToc toc = untouched;
    const QString problem = parseDiscToc(text, toc);
    if (!problem.isEmpty()) {
        check(toc == untouched, "a refused table leaves the table alone", text);
    } else {
        checkRules(toc, text);
        const QString written = discTocText(toc);
        DiscToc again;
        check(parseDiscToc(written, again).isEmpty() && again == toc, "the text form reads back the same",
              written);
        const DiscIds ids = discIdsOf(toc);
        check(!ids.error.isEmpty() || (ids.musicBrainz.size() == 28 && ids.freedb.size() == 8),
              "identifiers are 28 and 8 characters", written);
    }

    // The same text in a file (the file reader takes at most 64 KiB).
    if (size <= 64 * 1024) {
        const QString path = scratchDir() + QStringLiteral("/disc.toc");
        QFile file(path);
        check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the scratch file can be written");
        file.write(bytesOf(data, size));
        file.close();
        DiscToc fromFile = untouched;
        const QString fileProblem = readDiscTocFile(path, fromFile);
        check(fileProblem.isEmpty() == problem.isEmpty(), "a file reads as its text", text);
        check(problem.isEmpty() ? fromFile == toc : fileProblem.endsWith(problem),
              "a file gives the text's table or the text's problem", fileProblem);
    }
    return 0;
}
