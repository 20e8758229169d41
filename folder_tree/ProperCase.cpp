#include "folder_tree/ProperCase.h"

static bool isWordSeparator(QChar c)
{
    switch (c.unicode()) {
    case ' ':
    case '\t':
    case '\n':
    case '\v':
    case '\f':
    case '\r':
    case 0: return true;
    default: return false;
    }
}

QString ProperCase(const QString &text)
{
    QString result;
    result.reserve(text.size());
    bool startOfWord = true;
    for (const QChar c : text) {
        result += startOfWord ? c.toUpper() : c.toLower();
        startOfWord = isWordSeparator(c);
    }
    return result;
}
