// The media formats every new collection starts with.
#pragma once

#include "data/store.h"

#include <QStringList>

namespace tunarium {

// The twelve built-in media formats, in the order they are added.
const QStringList& defaultMediaFormats();

// Adds the built-in formats to an empty Media table; a table that has records is left alone.
// An add that fails is skipped. Returns the number of formats added.
int seedMedia(Store& store);

} // namespace tunarium
