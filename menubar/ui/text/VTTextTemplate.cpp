#include "ui/text/VTTextTemplate.h"

namespace {

// Reads a positional placeholder "%N$@" at `at` (which points at '%'); answers the length of
// the placeholder and stores N - 1 in `index`, or answers 0 when there is none.
qsizetype positionalPlaceholder(const QString& text, qsizetype at, qsizetype* index) {
    qsizetype cursor = at + 1;
    qsizetype number = 0;
    while (cursor < text.size() && text.at(cursor).isDigit() && number < 100) {
        number = number * 10 + text.at(cursor).digitValue();
        ++cursor;
    }
    if (cursor == at + 1 || number == 0 || cursor + 1 >= text.size() || text.at(cursor) != u'$' ||
        text.at(cursor + 1) != u'@') {
        return 0;
    }
    *index = number - 1;
    return cursor + 2 - at;
}

}  // namespace

QString VTTextTemplate::fill(const QString& text, const QList<std::optional<QString>>& values,
                             bool* missing) {
    QString result;
    result.reserve(text.size() + 32);
    qsizetype next = 0;
    bool anyMissing = false;
    const auto insert = [&](qsizetype index) {
        if (index < values.size() && values.at(index)) {
            result += *values.at(index);
        } else {
            anyMissing = true;
        }
    };
    for (qsizetype at = 0; at < text.size(); ++at) {
        if (text.at(at) != u'%') {
            result += text.at(at);
            continue;
        }
        qsizetype index = 0;
        if (at + 1 < text.size() && text.at(at + 1) == u'@') {
            insert(next++);
            ++at;
        } else if (const qsizetype length = positionalPlaceholder(text, at, &index)) {
            insert(index);
            at += length - 1;
        } else {
            result += text.at(at);
        }
    }
    if (missing && anyMissing) {
        *missing = true;
    }
    return result;
}
