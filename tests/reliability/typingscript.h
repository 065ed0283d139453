#pragma once

#include <QString>

// What the settings typer types: keystroke n is one character of a fixed cycle, and a field that
// has grown long is selected first, so that the keystroke replaces it.
namespace TypingScript {

inline const QString keys = QStringLiteral("1234567890.,$-");
constexpr int longest = 24;

inline QChar key(qint64 keystroke)
{
    return keys.at(int(keystroke % keys.size()));
}

inline bool replaces(const QString& before)
{
    return before.size() >= longest;
}

// The field's text after the keystroke, from its text before it.
inline QString after(const QString& before, qint64 keystroke)
{
    return (replaces(before) ? QString() : before) + key(keystroke);
}

} // namespace TypingScript
