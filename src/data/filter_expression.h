// Filter expressions: the text form in which lists, walks and the query wizard state a condition
// on the records of one table, and its compilation to an SQL condition with bound parameters.
#pragma once

#include "data/dictionary.h"
#include "data/store.h"

#include <QHash>
#include <QString>
#include <QVariant>

namespace tunarium {

// Grammar (keywords and names are case-insensitive; blanks separate tokens):
//
//   filter      = [ or-expr ] ;                      a blank text is no filter
//   or-expr     = and-expr { "OR" and-expr } ;
//   and-expr    = not-expr { "AND" not-expr } ;
//   not-expr    = ( "NOT" | "~" ) not-expr | comparison ;
//   comparison  = concat [ compare-op concat ] ;
//   compare-op  = "=" | "<>" | "~=" | "<" | ">" | "<=" | "=<" | ">=" | "=>" | "~<" | "~>" ;
//   concat      = additive { "&" additive } ;
//   additive    = term { ( "+" | "-" ) term } ;
//   term        = unary { ( "*" | "/" ) unary } ;
//   unary       = ( "-" | "+" ) unary | primary ;
//   primary     = number | string | call | name | "(" or-expr ")" ;
//   call        = function "(" [ or-expr { "," or-expr } ] ")" ;
//   function    = "UPPER" | "LOWER" | "CLIP" | "LEFT" | "SUB" | "INSTRING" | "LEN" | "ABS"
//               | "INLIST" | "DATE" | "TODAY" ;
//   name        = ( letter | "_" ) { letter | digit | "_" | ":" } ;
//   number      = digit { digit } [ "." { digit } ] | "." digit { digit } ;
//   string      = "'" { character | "''" } "'" | '"' { character | '""' } '"' ;
//
// NOT binds more loosely than a comparison: NOT TUN:Live = 1 is NOT (TUN:Live = 1).
//
// Names. A name the caller binds (ThreadInstance, GLO:Side, BRW1::Sort3:Reset:MED:Media,
// CAT:CategoryID in a report's "TUN:CategoryID = CAT:CategoryID") stands for its value, which is
// bound as a parameter; bound names win over fields of the same name. Any other name must be a
// field of the dictionary with its prefix (TUN:Artist, A_S:Title, TUN:Notes): a field of the base
// table is its column; a field of a table the base table refers to through a relation (CAT:Category
// and MED:Media in a songs filter, ALB:Album through TUN:AlbumID) is read from the referred record
// by a correlated sub-select through that table's key, and is blank or zero when there is no such
// record, as a joined lookup is.
//
// Values. Text and numbers; a comparison, used as a value, is 1 or 0. Text compares as the
// fixed-width fields did: trailing blanks do not count ('abc' = 'abc   '). A comparison of text
// with a number compares numbers. A value used as a condition is true when it is not zero (text:
// not blank). Division by zero gives 0.
//
// Case. UPPER() or LOWER() on either side of a comparison, or on either argument of INSTRING,
// makes it ignore case: both sides are compared through the folded keys (foldKey), so non-ASCII
// letters match (UPPER(TUN:Artist) = UPPER('björk') finds "BJÖRK", not "Bjork"), and text
// without UPPER compares exactly. Ordered comparisons that ignore case follow the order of the
// case-insensitive keys ("Électrique" between "Electric" and "Elvis"). SUB, INSTRING and LEN of
// UPPER(t) work on the case-folded text, diacritics kept.
//
// Functions:
//   UPPER(t), LOWER(t)        t for comparison without regard to case
//   CLIP(t)                   t without trailing blanks
//   LEFT(t)                   t without leading blanks
//   SUB(t, start, length)     part of t; start counts from 1 (negative: from the end)
//   INSTRING(sub, t [, 1 [, start]])
//                             position of the first sub in t at or after start, 0 if none;
//                             the step, when given, must be 1
//   LEN(t)                    number of characters of t
//   ABS(n)                    absolute value
//   INLIST(v, a, b, ...)      1-based place of the first of a, b, ... equal to v, 0 if none
//   DATE(month, day, year)    day number of a date (constant arguments)
//   TODAY()                   today's day number

// Where and why a filter text cannot be used.
struct FilterError {
    int position = -1; // 0-based character offset in the text; -1 for no error
    QString reason;    // "Unknown field TUN:Artst"

    bool isError() const { return position >= 0; }
    // The reason and the 1-based position, for the error text of the view open error.
    QString message() const;
};

// Values the filter may name, by name (matched without regard to case). Text is a QString,
// numbers an integer or double; an invalid QVariant is blank.
using FilterBindings = QHash<QString, QVariant>;

struct CompiledFilter {
    SqlCondition condition; // over the base table's own columns; empty for a blank text
    FilterError error;

    bool ok() const { return !error.isError(); }
};

// Compiles `text` to a condition on records of `base`. Every literal and every bound value is a
// parameter of the condition, never part of its SQL text, which is built only from dictionary
// names. A text that cannot be read, names what cannot be resolved, or would make a condition
// SQLite cannot take (nested too deeply, too long) gives an error and an empty condition: the
// caller shows the view open error and reads unfiltered.
CompiledFilter compileFilter(const QString& text, TableId base, const FilterBindings& names = {});

// A text as a filter string literal: 'O''Brien'.
QString filterLiteral(const QString& text);

} // namespace tunarium
