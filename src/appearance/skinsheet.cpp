#include "skinsheet.h"

#include "app/apperror.h"

#include <QFile>
#include <QStringDecoder>

namespace SkinSheet {

namespace {

QString at(const QString& what, int line)
{
    return QStringLiteral("%1 at line %2").arg(what).arg(line);
}

bool isControl(QChar c)
{
    return c.unicode() < 0x20 && c != QLatin1Char('\t') && c != QLatin1Char('\n')
        && c != QLatin1Char('\r') && c != QLatin1Char('\f');
}

} // namespace

QString read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("The skin file %1 could not be opened: %2")
                           .arg(path, file.errorString()));
    // One byte more than allowed tells an oversized file apart without reading all of it.
    const QByteArray bytes = file.read(maximumBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw AppError(
            QStringLiteral("The skin file %1 could not be read: %2").arg(path, file.errorString()));
    if (bytes.size() > maximumBytes)
        throw AppError(QStringLiteral("The skin file %1 is larger than %2 bytes.")
                           .arg(path)
                           .arg(maximumBytes));
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError())
        throw AppError(QStringLiteral("The skin file %1 is not UTF-8 text.").arg(path));
    const QString fault = structuralFault(text);
    if (!fault.isEmpty())
        throw AppError(
            QStringLiteral("The skin file %1 is not a style sheet: %2.").arg(path, fault));
    return text;
}

QString structuralFault(const QString& text)
{
    enum class State { Rules, Comment, Quoted };
    State state = State::Rules;
    QChar quote;
    int line = 1;
    int openedAt = 0;
    int depth = 0;
    int commentAt = 0;
    int quotedAt = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const QChar next = i + 1 < text.size() ? text.at(i + 1) : QChar();
        if (c == QLatin1Char('\n'))
            ++line;
        if (isControl(c))
            return at(QStringLiteral("a control character"), line);
        switch (state) {
        case State::Comment:
            if (c == QLatin1Char('*') && next == QLatin1Char('/')) {
                state = State::Rules;
                ++i;
            }
            break;
        case State::Quoted:
            if (c == QLatin1Char('\\')) {
                if (next == QLatin1Char('\n'))
                    ++line;
                ++i;
            } else if (c == quote)
                state = State::Rules;
            else if (c == QLatin1Char('\n'))
                return at(QStringLiteral("a quoted text that does not end"), quotedAt);
            break;
        case State::Rules:
            if (c == QLatin1Char('/') && next == QLatin1Char('*')) {
                state = State::Comment;
                commentAt = line;
                ++i;
            } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                state = State::Quoted;
                quote = c;
                quotedAt = line;
            } else if (c == QLatin1Char('{')) {
                if (depth++ == 0)
                    openedAt = line;
            } else if (c == QLatin1Char('}')) {
                if (depth == 0)
                    return at(QStringLiteral("a closing brace with no opening one"), line);
                --depth;
            }
            break;
        }
    }
    if (state == State::Comment)
        return at(QStringLiteral("a comment that does not end"), commentAt);
    if (state == State::Quoted)
        return at(QStringLiteral("a quoted text that does not end"), quotedAt);
    if (depth > 0)
        return at(QStringLiteral("a brace that does not close"), openedAt);
    return QString();
}

} // namespace SkinSheet
