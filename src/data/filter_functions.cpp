// Runtime functions of filter expressions.
#include "data/filter_functions.h"

#include "data/date_time.h"

#include <functional>

namespace tunarium::filter {

namespace {

void expectArguments(const QString& name, const QVector<Value>& args, int least, int most, int position) {
    if (args.size() >= least && args.size() <= most) {
        return;
    }
    const QString count =
        least == most ? QString::number(least) : QStringLiteral("%1 to %2").arg(least).arg(most);
    fail(position, QStringLiteral("%1 takes %2 argument%3").arg(name.toUpper(), count, most == 1 ? "" : "s"));
}

qint64 constantNumber(const Value& v, const QString& function) {
    if (!v.constant || v.type != ValueType::Number) {
        fail(v.position, QStringLiteral("%1 needs constant numbers").arg(function));
    }
    return v.constant->toLongLong();
}

Value caseFolded(const QVector<Value>& args) {
    return folded(args[0]);
}

Value clip(const QVector<Value>& args) {
    return clipped(asText(args[0]));
}

Value left(const QVector<Value>& args) {
    const Value t = asText(args[0]);
    Value out;
    if (t.constant) {
        QString text = t.constant->toString();
        qsizetype start = 0;
        while (start < text.size() && text[start] == u' ') {
            ++start;
        }
        out = constantValue(text.mid(start), t.position);
    } else {
        out = (SqlBuilder() << "ltrim(" << t << ", ' ')").make(ValueType::Text, t.position);
    }
    out.clipped = t.clipped;
    out.folded = t.folded;
    return out;
}

Value sub(const QVector<Value>& args) {
    const Value t = asText(args[0]);
    Value out =
        (SqlBuilder() << "substr(" << t << ", " << asNumber(args[1]) << ", " << asNumber(args[2]) << ")")
            .make(ValueType::Text, t.position);
    out.folded = t.folded;
    return out;
}

// With step 1 (the only step supported) the position of the first match at or after start.
Value instring(const QVector<Value>& args) {
    if (args.size() >= 3 && constantNumber(args[2], QStringLiteral("The step of INSTRING")) != 1) {
        fail(args[2].position, QStringLiteral("The step of INSTRING must be 1"));
    }
    Value needle = asText(args[0]);
    Value haystack = asText(args[1]);
    if (needle.folded || haystack.folded) {
        needle = folded(needle);
        haystack = folded(haystack);
    }
    const int position = args[0].position;
    const bool fromFirst = args.size() < 4 || (args[3].constant && args[3].constant->toLongLong() == 1 &&
                                               args[3].type == ValueType::Number);
    Value out;
    if (fromFirst && haystack.fromKey) {
        // The same search in the stored key, without cutting a copy of its folded part per row.
        out = (SqlBuilder() << "tunarium_keyinstr(" << haystack.keySql << ", " << needle << ")")
                  .make(ValueType::Number, position);
    } else if (fromFirst) {
        out = (SqlBuilder() << "instr(" << haystack << ", " << needle << ")").make(ValueType::Number, position);
    } else {
        const Value start = asNumber(args[3]);
        SqlBuilder found;
        found << "instr(substr(" << haystack << ", " << start << "), " << needle << ")";
        const Value match = found.make(ValueType::Number, position);
        out = (SqlBuilder() << "(CASE WHEN " << match << " > 0 THEN " << match << " + " << start
                            << " - 1 ELSE 0 END)")
                  .make(ValueType::Number, position);
    }
    // Searched from the first character, the position is the match's or 0, never below.
    out.neverNegative = fromFirst;
    return out;
}

Value len(const QVector<Value>& args) {
    const Value t = asText(args[0]);
    return (SqlBuilder() << "length(" << t << ")").make(ValueType::Number, t.position);
}

Value absolute(const QVector<Value>& args) {
    const Value n = asNumber(args[0]);
    return (SqlBuilder() << "abs(" << n << ")").make(ValueType::Number, n.position);
}

Value inlist(const QVector<Value>& args) {
    SqlBuilder b;
    b << "(CASE";
    for (int i = 1; i < args.size(); ++i) {
        b << " WHEN " << compare(args[0], QStringLiteral("="), args[i]) << " THEN " << QString::number(i);
    }
    b << " ELSE 0 END)";
    return b.make(ValueType::Number, args[0].position);
}

Value date(const QVector<Value>& args) {
    const QString name = QStringLiteral("DATE");
    const qint64 month = constantNumber(args[0], name);
    const qint64 day = constantNumber(args[1], name);
    const qint64 year = constantNumber(args[2], name);
    const bool inRange = month >= 1 && month <= 12 && day >= 1 && day <= 31 && year >= 1 && year <= 9999;
    return constantValue(inRange ? dayNumberFromYmd(int(year), int(month), int(day)) : 0, args[0].position);
}

struct FunctionDef {
    const char* name;
    int least;
    int most;
    std::function<Value(const QVector<Value>&)> compile;
};

const QVector<FunctionDef>& functions() {
    static const QVector<FunctionDef> list = {
        {"UPPER", 1, 1, caseFolded},
        {"LOWER", 1, 1, caseFolded},
        {"CLIP", 1, 1, clip},
        {"LEFT", 1, 1, left},
        {"SUB", 3, 3, sub},
        {"INSTRING", 2, 4, instring},
        {"LEN", 1, 1, len},
        {"ABS", 1, 1, absolute},
        {"INLIST", 2, 256, inlist},
        {"DATE", 3, 3, date},
        {"TODAY", 0, 0, [](const QVector<Value>&) { return constantValue(todayDayNumber(), 0); }},
    };
    return list;
}

} // namespace

Value callFunction(const QString& name, const QVector<Value>& args, int position) {
    for (const FunctionDef& f : functions()) {
        if (name.compare(QLatin1String(f.name), Qt::CaseInsensitive) == 0) {
            expectArguments(name, args, f.least, f.most, position);
            Value v = f.compile(args);
            v.position = position;
            return v;
        }
    }
    fail(position, QStringLiteral("Unknown function %1").arg(name));
}

} // namespace tunarium::filter
