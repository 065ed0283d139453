#pragma once

#include <QByteArray>
#include <QVector>

// The records of a 97-2003 "Workbook" stream (BIFF8): a type and a length of two bytes each,
// little-endian, then the record's data. The globals come first, then one substream per sheet,
// each from a BOF record to an EOF record.
namespace Biff {

enum RecordType : quint16 {
    Eof = 0x000A,
    Selection = 0x001D,
    Window1 = 0x003D,
    Pane = 0x0041,
    FilePass = 0x002F,
    Template = 0x0060,
    BoundSheet = 0x0085,
    WriteProt = 0x0086,
    Scl = 0x00A0,
    Setup = 0x00A1,
    ExtSst = 0x00FF,
    Index = 0x020B,
    Window2 = 0x023E,
    Bof = 0x0809,
};

struct Record {
    quint16 type;
    int offset; // where the record's header starts in the stream
    int length; // of the data, without the four header bytes

    int dataOffset() const { return offset + 4; }
    int end() const { return offset + 4 + length; }
};

// Every record up to the end of the stream, or up to trailing zero padding after the last record.
// Throws AppError when a record runs past the end of the stream.
QVector<Record> readRecords(const QByteArray& stream);

// Index of the first record of the substream that begins at the given stream position, or -1.
int recordAt(const QVector<Record>& records, int offset);
// Index of the EOF record that ends the substream whose BOF has the given index.
int substreamEnd(const QVector<Record>& records, int bofIndex);

quint16 readU16(const QByteArray& bytes, int offset);
quint32 readU32(const QByteArray& bytes, int offset);
void writeU16(QByteArray& bytes, int offset, quint16 value);
void writeU32(QByteArray& bytes, int offset, quint32 value);
double readF64(const QByteArray& bytes, int offset);
void writeF64(QByteArray& bytes, int offset, double value);
QByteArray record(quint16 type, const QByteArray& data);

} // namespace Biff
