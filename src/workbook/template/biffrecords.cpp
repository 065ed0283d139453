#include "biffrecords.h"

#include "app/apperror.h"

#include <cstring>

namespace Biff {

namespace {

bool onlyZerosFrom(const QByteArray& bytes, int offset)
{
    for (int index = offset; index < bytes.size(); ++index) {
        if (bytes.at(index) != 0)
            return false;
    }
    return true;
}

} // namespace

QVector<Record> readRecords(const QByteArray& stream)
{
    QVector<Record> records;
    int offset = 0;
    while (offset < stream.size()) {
        // Some writers pad the stream after its last EOF.
        if (!records.isEmpty() && records.last().type == Eof && onlyZerosFrom(stream, offset))
            break;
        if (offset + 4 > stream.size())
            throw AppError(QStringLiteral("The workbook stream ends inside a record header at "
                                          "position %1.")
                               .arg(offset));
        const Record current { readU16(stream, offset), offset, readU16(stream, offset + 2) };
        if (current.end() > stream.size())
            throw AppError(QStringLiteral("The workbook record 0x%1 at position %2 runs past the "
                                          "end of the stream.")
                               .arg(current.type, 4, 16, QLatin1Char('0'))
                               .arg(offset));
        records << current;
        offset = current.end();
    }
    return records;
}

int recordAt(const QVector<Record>& records, int offset)
{
    for (int index = 0; index < records.size(); ++index) {
        if (records.at(index).offset == offset)
            return index;
    }
    return -1;
}

int substreamEnd(const QVector<Record>& records, int bofIndex)
{
    // Embedded charts nest their own BOF/EOF pairs inside a sheet's substream.
    int depth = 0;
    for (int index = bofIndex; index < records.size(); ++index) {
        if (records.at(index).type == Bof)
            ++depth;
        else if (records.at(index).type == Eof && --depth == 0)
            return index;
    }
    throw AppError(QStringLiteral("A workbook substream has no EOF record."));
}

quint16 readU16(const QByteArray& bytes, int offset)
{
    return quint16(quint8(bytes.at(offset)) | quint8(bytes.at(offset + 1)) << 8);
}

quint32 readU32(const QByteArray& bytes, int offset)
{
    return quint32(readU16(bytes, offset)) | quint32(readU16(bytes, offset + 2)) << 16;
}

void writeU16(QByteArray& bytes, int offset, quint16 value)
{
    bytes[offset] = char(value & 0xFF);
    bytes[offset + 1] = char(value >> 8);
}

void writeU32(QByteArray& bytes, int offset, quint32 value)
{
    writeU16(bytes, offset, quint16(value & 0xFFFF));
    writeU16(bytes, offset + 2, quint16(value >> 16));
}

double readF64(const QByteArray& bytes, int offset)
{
    const quint64 bits
        = quint64(readU32(bytes, offset)) | quint64(readU32(bytes, offset + 4)) << 32;
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void writeF64(QByteArray& bytes, int offset, double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    writeU32(bytes, offset, quint32(bits & 0xFFFFFFFF));
    writeU32(bytes, offset + 4, quint32(bits >> 32));
}

QByteArray record(quint16 type, const QByteArray& data)
{
    QByteArray bytes(4, '\0');
    writeU16(bytes, 0, type);
    writeU16(bytes, 2, quint16(data.size()));
    return bytes + data;
}

} // namespace Biff
