// The folding of text for the case-insensitive keys: how names sort, how a typed locator finds
// them, and which names count as the same.
//
// A folded key is made from the text without trailing blanks, case-folded (Unicode simple case
// folding: "CAFÉ" and "café" are one key). It starts with that text without its diacritics, so
// that names sort as a person reads them: "Électrique" beside "Electric", "Åkesson" among the
// A's, not after Z. When the case-folded text had diacritics, a separator (U+0001, below every
// character a name holds) and the case-folded text follow, which keeps keys exact: "Café" and
// "Cafe" remain two names, and "Cafe" sorts just before "Café" and before "Cafe Noir".
//
// Diacritics are removed by compatibility decomposition (NFKD, which also turns ligatures and
// full-width letters into plain ones) and dropping the combining marks that follow a Latin, Greek
// or Cyrillic letter ("ё" sorts with "е"), except the breve of Cyrillic "й" and "ў", letters of
// their own. The marks of other scripts stay: they make other letters or sounds (Japanese "が"
// is not "か"). Latin letters that do not decompose are written out as a European reader looks
// them up: ß → ss, æ → ae, œ → oe, ø → o, đ and ð → d, ł → l, ħ → h, ı → i, þ → th, ŧ → t.
// Beyond that, keys compare by code point: blanks, then digits, then Latin, Greek, Cyrillic,
// Japanese kana, Chinese characters, Korean, each script together.
#pragma once

#include <QString>

namespace tunarium {

// Increases whenever foldKey changes: a collection whose keys were folded by an earlier version
// has them rebuilt when it is opened.
inline constexpr int kFoldVersion = 2;

// The folded key of a text, as stored in the folded key columns and bound to every position in
// a case-insensitive key. Blank text gives the empty key.
QString foldKey(const QString& text);

// The leading part of the folded key: the text without trailing blanks, case-folded and without
// diacritics. A typed locator positions by it, so that "e" and "el" reach "Électrique" and every
// "El..." name: the keys of all names that begin with it sort at or after it.
QString foldKeyPrefix(const QString& text);

// The text without trailing blanks, case-folded, diacritics kept: what UPPER() and LOWER() give
// in a filter, where parts of it may be taken and searched.
QString caseFold(const QString& text);

// The text with its diacritics removed as the keys remove them, case kept ("Ørsted" → "Orsted").
QString withoutDiacritics(const QString& text);
// Whether `c` is a combining mark (an accent standing after its letter).
bool isCombiningMark(char32_t c);

// The separator between the two parts of a folded key.
inline constexpr char16_t kFoldSeparator = u'\x01';

} // namespace tunarium
