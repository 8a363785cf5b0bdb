// Seeding of the Media table.
#include "shell/media_seeding.h"

#include "data/dictionary_tables.h"

namespace tunarium {

const QStringList& defaultMediaFormats() {
    static const QStringList formats = {
        QStringLiteral("CD"),
        QStringLiteral("LP"),
        QStringLiteral("EP"),
        QStringLiteral("7\" Single"),
        QStringLiteral("CD Single"),
        QStringLiteral("Cassette (Dolby B)"),
        QStringLiteral("Cassette (Dolby C)"),
        QStringLiteral("Cassette (Dolby S)"),
        QStringLiteral("Cassette (DBX)"),
        QStringLiteral("Cassette (HX Pro)"),
        QStringLiteral("Cassette (Prerecorded)"),
        QStringLiteral("Other"),
    };
    return formats;
}

int seedMedia(Store& store) {
    if (store.count(TableId::Media) != 0) {
        return 0;
    }
    int added = 0;
    for (const QString& name : defaultMediaFormats()) {
        // A name longer than the field ("Cassette (Prerecorded)") is stored cut to its width,
        // as every text is.
        Row media(TableId::Media);
        media.setText(med::kMedia, name);
        if (store.insert(media).ok()) {
            ++added;
        }
    }
    return added;
}

} // namespace tunarium
