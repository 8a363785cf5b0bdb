// Which songs are the same song: the duplicate key of a song's artist and title. Two songs are
// duplicates when their keys are equal and not empty.
//
// Both texts are folded as the collection's keys fold them (case, diacritics: "Beyoncé" is
// "BEYONCE"), then further:
// - Punctuation goes. Apostrophes and full stops are dropped where they stand ("Don't" is "Dont",
//   "R.E.M." is "REM"); every other character that is no letter or digit separates words ("Jay-Z"
//   is "Jay Z"), and blanks between words count as one.
// - "&" is the word "and" ("Simon & Garfunkel" is "Simon and Garfunkel").
// - A featured artist is dropped, from the artist and from the title alike: from a word "feat",
//   "ft" or "featuring" (with or without its full stop) to the end, and a bracketed part that
//   begins with one of them or with "with" ("Song (with Someone)").
// - An artist's leading "The" is dropped, and so is a trailing ", The" ("Beatles, The" is "The
//   Beatles" is "Beatles").
// - A title's trailing bracketed part, "(...)" or "[...]", or trailing part after " - ", is
//   dropped when it names a version of the same recording: every word in it is a version word
//   (remaster, remastered, digital, version, edit, radio, single, album, original, mono, stereo,
//   bonus, track, deluxe, edition, expanded, anniversary, reissue, explicit, clean, lp ...) or a
//   number, with at least one version word among them; or it is a year alone ("(1999)"). Parts
//   are dropped from the end as long as they qualify ("Song (Remastered 2011) [Radio Edit]").
//   Mixes, remixes, live recordings, demos, acoustic and instrumental takes are other recordings
//   and keep their part: "Song (Live)", "Song (Club Mix)" and "Song (Part 2)" are not "Song".
// A song without a title, or without an artist, has no key: it is nobody's duplicate.
#pragma once

#include <QString>

namespace tunarium {

// The folded artist as the duplicate key compares it.
QString duplicateArtistFold(const QString& artist);
// The folded title as the duplicate key compares it.
QString duplicateTitleFold(const QString& title);
// The key of a song: the folded artist and title; empty when either is empty.
QString duplicateSongKey(const QString& artist, const QString& title);
// The same from the artist and title already folded.
QString duplicateKeyOf(const QString& artistFold, const QString& titleFold);

} // namespace tunarium
