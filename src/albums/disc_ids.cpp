// Disc identifiers through libdiscid's discid_put, which computes them from a given table.
#include "albums/disc_ids.h"

#include <discid/discid.h>

#include <array>
#include <memory>

namespace tunarium {

DiscToc audioPartOf(const DiscToc& toc) {
    DiscToc audio = toc;
    while (audio.trackCount() > 0 && audio.isDataTrack(audio.trackCount() - 1)) {
        audio.leadout = audio.offsets.takeLast() - kSessionGapFrames;
        audio.dataTracks.removeLast();
    }
    audio.dataTracks.clear();
    if (audio.trackCount() > 0 && audio.leadout <= audio.offsets.last()) {
        // A data track too close to the last audio track for a session gap: it ends where the
        // data begins.
        audio.leadout = toc.offsets.value(audio.trackCount(), toc.leadout);
    }
    return audio;
}

DiscIds discIdsOf(const DiscToc& toc) {
    DiscIds ids;
    const DiscToc audio = audioPartOf(toc);
    if (audio.trackCount() == 0) {
        ids.error = QStringLiteral("The disc has no audio tracks.");
        return ids;
    }
    // offsets[0] is the lead-out, offsets[i] the start of track i.
    std::array<int, 100> offsets{};
    offsets[0] = audio.leadout;
    for (int i = 0; i < audio.trackCount() && audio.first + i < 100; ++i) {
        offsets[audio.first + i] = audio.offsets[i];
    }
    const std::unique_ptr<DiscId, void (*)(DiscId*)> disc(discid_new(), &discid_free);
    if (!disc) {
        ids.error = QStringLiteral("Out of memory.");
        return ids;
    }
    if (!discid_put(disc.get(), audio.first, audio.last(), offsets.data())) {
        ids.error = QString::fromUtf8(discid_get_error_msg(disc.get()));
        return ids;
    }
    ids.musicBrainz = QString::fromLatin1(discid_get_id(disc.get()));
    ids.freedb = QString::fromLatin1(discid_get_freedb_id(disc.get()));
    return ids;
}

QString musicBrainzLookupUrl(const DiscToc& toc) {
    const DiscIds ids = discIdsOf(toc);
    if (ids.musicBrainz.isEmpty()) {
        return {};
    }
    const DiscToc audio = audioPartOf(toc);
    QStringList numbers{QString::number(audio.first), QString::number(audio.last()),
                        QString::number(audio.leadout)};
    for (int offset : audio.offsets) {
        numbers << QString::number(offset);
    }
    return QStringLiteral("https://musicbrainz.org/cdtoc/attach?id=") + ids.musicBrainz +
           QStringLiteral("&tracks=") + QString::number(audio.trackCount()) + QStringLiteral("&toc=") +
           numbers.join(u'+');
}

} // namespace tunarium
