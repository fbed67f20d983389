#pragma once
// Chinese, Japanese and Korean script as the English texts must not show it:
// ideographs, CJK punctuation and the full-width forms ("：", "（", "！").

#include <QChar>
#include <QString>

#include <algorithm>

inline bool isCjk(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 0x3000 && u <= 0x303F) || (u >= 0x3400 && u <= 0x9FFF) || (u >= 0xFF00 && u <= 0xFFEF);
}

inline bool hasCjk(const QString &text)
{
    return std::any_of(text.begin(), text.end(), isCjk);
}
