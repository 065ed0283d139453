#include "planfileini.h"

#include <QStringDecoder>
#include <algorithm>

namespace PlanFileIni {

namespace {

bool isSpace(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\f' || ch == '\v';
}

bool isLineBreak(char ch)
{
    return ch == '\n' || ch == '\r';
}

bool isHexDigit(uint ch)
{
    return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
}

int hexValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    return (ch | 0x20) - 'a' + 10;
}

// Where each line starts: "\n", "\r\n" and a lone "\r" end a line, as for the settings classes.
class LineStarts {
public:
    explicit LineStarts(const QByteArray& data)
    {
        mStarts.push_back(0);
        for (qsizetype i = 0; i < data.size(); ++i) {
            if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n')
                continue;
            if (isLineBreak(data[i]))
                mStarts.push_back(i + 1);
        }
    }

    int lineOf(qsizetype position) const
    {
        return int(std::upper_bound(mStarts.begin(), mStarts.end(), position) - mStarts.begin());
    }

private:
    std::vector<qsizetype> mStarts;
};

void requireText(const QByteArray& data, const LineStarts& lines)
{
    const qsizetype zero = data.indexOf('\0');
    if (zero >= 0)
        throw SyntaxError { lines.lineOf(zero), QStringLiteral("is not text") };
    QStringDecoder decoder(QStringDecoder::Utf8);
    qsizetype lineStart = 0;
    while (lineStart < data.size()) {
        qsizetype lineEnd = data.indexOf('\n', lineStart);
        if (lineEnd < 0)
            lineEnd = data.size();
        const QString decoded = decoder.decode(data.sliced(lineStart, lineEnd - lineStart));
        if (decoder.hasError())
            throw SyntaxError { lines.lineOf(lineStart),
                QStringLiteral("is not text (its bytes are not UTF-8)") };
        lineStart = lineEnd + 1;
    }
}

// A group name as written between the brackets; "[General]" holds the entries without a group.
QString groupName(const QByteArray& rawName)
{
    if (rawName.compare("general", Qt::CaseInsensitive) == 0)
        return QStringLiteral("General");
    return unescapedKey(rawName);
}

// The end of a logical line that starts at start: its text may go on past a line break escaped
// with a backslash; a ";" outside quotes starts a comment.
qsizetype logicalLineEnd(
    const QByteArray& data, qsizetype start, qsizetype& equals, const LineStarts& lines)
{
    bool inQuotes = false;
    equals = -1;
    qsizetype i = start;
    while (i < data.size()) {
        const char ch = data[i];
        if (ch == '\\') {
            i += 2;
            if (i < data.size() && data[i - 1] == '\r' && data[i] == '\n')
                ++i;
            continue;
        }
        if (isLineBreak(ch) || (ch == ';' && !inQuotes)) {
            // The settings classes would take the following lines into the value.
            if (inQuotes)
                throw SyntaxError { lines.lineOf(i),
                    QStringLiteral("opens a quoted text that does not end on it") };
            break;
        }
        if (ch == '"')
            inQuotes = !inQuotes;
        else if (ch == '=' && !inQuotes && equals < 0)
            equals = i;
        ++i;
    }
    if (inQuotes)
        throw SyntaxError { lines.lineOf(i),
            QStringLiteral("opens a quoted text that does not end on it") };
    return std::min(i, data.size());
}

qsizetype skipToLineBreak(const QByteArray& data, qsizetype position)
{
    while (position < data.size() && !isLineBreak(data[position]))
        ++position;
    return position;
}

} // namespace

Document parse(const QByteArray& data)
{
    const LineStarts lines(data);
    requireText(data, lines);
    Document document;
    QByteArray rawGroup = "General";
    QString group = QStringLiteral("General");
    qsizetype position = data.startsWith("\xef\xbb\xbf") ? 3 : 0;
    while (true) {
        while (position < data.size() && isSpace(data[position]))
            ++position;
        if (position >= data.size())
            break;
        const qsizetype start = position;
        if (data[start] == ';' || data[start] == '#') {
            position = skipToLineBreak(data, start);
            continue;
        }
        qsizetype equals = -1;
        const qsizetype end = logicalLineEnd(data, start, equals, lines);
        position = skipToLineBreak(data, end);
        const QByteArray text = data.sliced(start, end - start).trimmed();
        const int line = lines.lineOf(start);
        if (text.startsWith('[')) {
            const qsizetype close = text.indexOf(']');
            if (close < 0)
                throw SyntaxError { line,
                    QStringLiteral("opens a group with \"[\" but has no \"]\"") };
            rawGroup = text.sliced(1, close - 1).trimmed();
            group = groupName(rawGroup);
            if (!document.groups.contains(group))
                document.groups.append(group);
            continue;
        }
        if (equals < 0)
            throw SyntaxError { line,
                QStringLiteral("is neither a [group] nor a key=value entry") };
        const QByteArray rawKey = data.sliced(start, equals - start).trimmed();
        if (rawKey.isEmpty())
            throw SyntaxError { line, QStringLiteral("has no key before its \"=\"") };
        document.entries.append({ line, group, unescapedKey(rawKey), rawGroup, rawKey,
            data.sliced(equals + 1, end - equals - 1).trimmed() });
    }
    return document;
}

std::optional<QString> textValue(const QByteArray& raw)
{
    QString text;
    bool inQuotes = false;
    bool quoted = false;
    qsizetype chopLimit = 0;
    qsizetype i = 0;
    const auto skipSpaces = [&] {
        while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t'))
            ++i;
        chopLimit = text.size();
    };
    skipSpaces();
    while (i < raw.size()) {
        const char ch = raw[i];
        if (ch == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipSpaces();
            continue;
        }
        if (ch != '\\') {
            qsizetype next = i + 1;
            while (next < raw.size() && raw[next] != '\\' && raw[next] != '"')
                ++next;
            text += QString::fromUtf8(raw.sliced(i, next - i));
            i = next;
            continue;
        }
        if (++i >= raw.size())
            break;
        const char escaped = raw[i++];
        static const char simple[][2] = { { 'a', '\a' }, { 'b', '\b' }, { 'f', '\f' },
            { 'n', '\n' }, { 'r', '\r' }, { 't', '\t' }, { 'v', '\v' }, { '"', '"' }, { '?', '?' },
            { '\'', '\'' }, { '\\', '\\' } };
        const auto code = std::find_if(std::begin(simple), std::end(simple),
            [escaped](const char(&pair)[2]) { return pair[0] == escaped; });
        if (code != std::end(simple)) {
            text += QLatin1Char((*code)[1]);
        } else if (escaped == 'x') {
            char16_t value = 0;
            while (i < raw.size() && isHexDigit(uchar(raw[i])))
                value = char16_t((value << 4) + hexValue(raw[i++]));
            text += QChar(value);
        } else if (escaped >= '0' && escaped <= '7') {
            char16_t value = char16_t(escaped - '0');
            while (i < raw.size() && raw[i] >= '0' && raw[i] <= '7')
                value = char16_t((value << 3) + (raw[i++] - '0'));
            text += QChar(value);
        } else if (isLineBreak(escaped) && i < raw.size() && isLineBreak(raw[i])
            && raw[i] != escaped) {
            ++i;
        }
        chopLimit = text.size();
    }
    if (!quoted) {
        while (text.size() > chopLimit && (text.back() == u' ' || text.back() == u'\t'))
            text.chop(1);
    }
    // What the settings classes make of a text that starts with "@".
    if (text.startsWith(QStringLiteral("@@")))
        return text.mid(1);
    for (const char* typed : { "@ByteArray(", "@String(", "@Variant(", "@DateTime(", "@Rect(",
             "@Size(", "@Point(", "@Invalid(" }) {
        if (text.startsWith(QLatin1String(typed)))
            return std::nullopt;
    }
    return text;
}

QByteArray escapedText(const QString& text)
{
    const QString value = text.startsWith(u'@') ? QLatin1Char('@') + text : text;
    QByteArray result;
    QString plain;
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;
    const auto escape = [&](const QByteArray& code) {
        result += plain.toUtf8();
        plain.clear();
        result += code;
    };
    for (const QChar character : value) {
        const char16_t ch = character.unicode();
        if (ch == ';' || ch == ',' || ch == '=')
            needsQuotes = true;
        // "\x1" followed by "2" would read as "\x12".
        if (escapeNextIfDigit && isHexDigit(ch)) {
            escape("\\x" + QByteArray::number(ch, 16));
            continue;
        }
        escapeNextIfDigit = false;
        switch (ch) {
        case '\0':
            escape("\\0");
            escapeNextIfDigit = true;
            break;
        case '\a':
            escape("\\a");
            break;
        case '\b':
            escape("\\b");
            break;
        case '\f':
            escape("\\f");
            break;
        case '\n':
            escape("\\n");
            break;
        case '\r':
            escape("\\r");
            break;
        case '\t':
            escape("\\t");
            break;
        case '\v':
            escape("\\v");
            break;
        case '"':
            escape("\\\"");
            break;
        case '\\':
            escape("\\\\");
            break;
        default:
            if (ch <= 0x1F) {
                escape("\\x" + QByteArray::number(ch, 16));
                escapeNextIfDigit = true;
            } else {
                plain += character;
            }
        }
    }
    result += plain.toUtf8();
    if (needsQuotes || result.startsWith(' ') || result.endsWith(' '))
        return '"' + result + '"';
    return result;
}

QByteArray escapedKey(const QString& key)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray result;
    for (const QChar character : key) {
        const char16_t ch = character.unicode();
        if (ch == '/') {
            result += '\\';
        } else if ((ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9')
            || ch == '_' || ch == '-' || ch == '.') {
            result += char(ch);
        } else if (ch <= 0xFF) {
            result += '%';
            result += hex[ch / 16];
            result += hex[ch % 16];
        } else {
            result += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                result += hex[(ch >> shift) & 0xF];
        }
    }
    return result;
}

QString unescapedKey(const QByteArray& rawKey)
{
    const QString key = QString::fromUtf8(rawKey);
    QString result;
    for (qsizetype i = 0; i < key.size(); ++i) {
        const QChar ch = key[i];
        const auto hexRun = [&](qsizetype from, int digits) {
            if (from + digits > key.size())
                return false;
            for (int digit = 0; digit < digits; ++digit) {
                if (!isHexDigit(key[from + digit].unicode()))
                    return false;
            }
            return true;
        };
        if (ch == u'\\') {
            result += u'/';
        } else if (ch == u'%' && i + 1 < key.size() && key[i + 1] == u'U' && hexRun(i + 2, 4)) {
            result += QChar(char16_t(key.mid(i + 2, 4).toUShort(nullptr, 16)));
            i += 5;
        } else if (ch == u'%' && hexRun(i + 1, 2)) {
            result += QChar(char16_t(key.mid(i + 1, 2).toUShort(nullptr, 16)));
            i += 2;
        } else {
            result += ch;
        }
    }
    return result;
}

} // namespace PlanFileIni
