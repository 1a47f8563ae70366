#pragma once

#include <QByteArray>
#include <QString>
#include <QList>

#include <ostream>

// Qt's texts as readable text in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray& bytes, std::ostream* out)
{
    *out << '"' << bytes.toStdString() << '"';
}

template <typename Text> void PrintTo(const QList<Text>& texts, std::ostream* out)
{
    *out << '{';
    for (qsizetype i = 0; i < texts.size(); ++i) {
        *out << (i == 0 ? "" : ", ");
        PrintTo(texts[i], out);
    }
    *out << '}';
}
