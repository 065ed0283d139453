#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

// The INI text of plan files, read and written as the settings classes read and write their own
// files, so that the program's settings file reads as a plan. Unlike the settings classes, it
// knows the line of every entry and keeps each entry's text as it was written.
namespace PlanFileIni {

struct Entry {
    int line = 0; // where the entry starts, from 1
    QString group; // unescaped; "General" for entries before any group, as the settings classes
    QString key; // unescaped
    QByteArray rawGroup; // as written
    QByteArray rawKey;
    QByteArray rawValue; // everything after the "=", comments and outer spaces removed
};

// A text that is not INI: the line and what is wrong with it.
struct SyntaxError {
    int line = 0;
    QString reason; // "is not text", without the line
};

struct Document {
    QVector<Entry> entries; // in file order
    QStringList groups; // every group named, unescaped, once each, in order
};

// Throws SyntaxError for bytes that are not UTF-8 text and for lines the settings classes would
// not take as a group, an entry or a comment.
Document parse(const QByteArray& data);

// A value as the settings classes read it when it holds one text; nothing for a typed value
// ("@Variant(...)"). Unlike them, a comma outside quotes is part of the text, not a list: the
// settings classes quote every text with a comma, and a person writing 1,234.00 means one amount.
std::optional<QString> textValue(const QByteArray& rawValue);
// A text as the settings classes write it.
QByteArray escapedText(const QString& text);
// A key or group name as the settings classes write it.
QByteArray escapedKey(const QString& key);
QString unescapedKey(const QByteArray& rawKey);

} // namespace PlanFileIni
