#include "compoundfile.h"

#include "biffrecords.h"

#include <QByteArrayView>
#include <QVector>

namespace {

constexpr quint32 endOfChain = 0xFFFFFFFE;
constexpr int headerDifatEntries = 109;
constexpr int directoryEntrySize = 128;
constexpr quint8 streamEntry = 2;
constexpr quint8 rootEntry = 5;
constexpr int miniSectorSize = 64;

// The sectors of a chain joined: sectors of sectorSize bytes lie one after another in area, and
// table holds each one's successor. Empty when the chain leaves the area or the table, or loops.
QByteArray follow(quint32 start, QByteArrayView area, int sectorSize, const QByteArray& table)
{
    const qsizetype sectors = area.size() / sectorSize;
    QByteArray bytes;
    quint32 current = start;
    for (qsizetype hops = 0; current != endOfChain; ++hops) {
        if (current >= sectors || hops > sectors || qsizetype(current) * 4 + 4 > table.size())
            return {};
        bytes.append(area.data() + qsizetype(current) * sectorSize, sectorSize);
        current = Biff::readU32(table, int(current) * 4);
    }
    return bytes;
}

class CompoundFile {
public:
    explicit CompoundFile(const QByteArray& file)
        : mFile(file)
    {
        if (!file.startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")) || file.size() < 512)
            return;
        const quint16 shift = Biff::readU16(file, 0x1E);
        if (shift != 9 && shift != 12)
            return;
        mSectorSize = 1 << shift;
        // The header takes the first sector's room; sector 0 follows it.
        mSectors = QByteArrayView(file).sliced(mSectorSize);
        mMiniCutoff = Biff::readU32(file, 0x38);
        if (!readFat())
            return;
        mDirectory = chain(Biff::readU32(file, 0x30));
        mMiniFat = chain(Biff::readU32(file, 0x3C));
        // The root entry comes first; its sectors hold the small streams.
        if (mDirectory.size() >= directoryEntrySize && mDirectory.at(0x42) == char(rootEntry))
            mMiniStream = chain(Biff::readU32(mDirectory, 0x74));
    }

    QByteArray stream(const QString& name) const
    {
        for (int entry = 0; entry + directoryEntrySize <= mDirectory.size();
             entry += directoryEntrySize) {
            const int nameBytes = Biff::readU16(mDirectory, entry + 0x40);
            if (mDirectory.at(entry + 0x42) != char(streamEntry) || nameBytes < 2 || nameBytes > 64)
                continue;
            const QString entryName = QString::fromUtf16(
                reinterpret_cast<const char16_t*>(mDirectory.constData() + entry),
                nameBytes / 2 - 1);
            if (entryName != name)
                continue;
            const quint32 size = Biff::readU32(mDirectory, entry + 0x78);
            const quint32 start = Biff::readU32(mDirectory, entry + 0x74);
            const QByteArray bytes = size < mMiniCutoff
                ? follow(start, mMiniStream, miniSectorSize, mMiniFat)
                : chain(start);
            return bytes.size() >= qint64(size) ? bytes.left(int(size)) : QByteArray();
        }
        return {};
    }

private:
    qsizetype sectorCount() const { return mSectors.size() / mSectorSize; }

    bool validSector(quint32 sector) const { return sector < sectorCount(); }

    const char* sector(quint32 number) const
    {
        return mSectors.data() + qsizetype(number) * mSectorSize;
    }

    bool readFat()
    {
        const quint32 fatSectors = Biff::readU32(mFile, 0x2C);
        QVector<quint32> difat;
        for (int index = 0; index < headerDifatEntries && quint32(difat.size()) < fatSectors;
             ++index)
            difat << Biff::readU32(mFile, 0x4C + 4 * index);
        quint32 next = Biff::readU32(mFile, 0x44);
        const int perSector = mSectorSize / 4 - 1;
        for (int hops = 0; quint32(difat.size()) < fatSectors; ++hops) {
            if (!validSector(next) || hops > sectorCount())
                return false;
            const QByteArray block(sector(next), mSectorSize);
            for (int index = 0; index < perSector && quint32(difat.size()) < fatSectors; ++index)
                difat << Biff::readU32(block, 4 * index);
            next = Biff::readU32(block, 4 * perSector);
        }
        for (const quint32 fatSector : difat) {
            if (!validSector(fatSector))
                return false;
            mFat.append(sector(fatSector), mSectorSize);
        }
        return true;
    }

    QByteArray chain(quint32 start) const { return follow(start, mSectors, mSectorSize, mFat); }

    const QByteArray& mFile;
    int mSectorSize = 0;
    QByteArrayView mSectors;
    quint32 mMiniCutoff = 0;
    QByteArray mFat;
    QByteArray mDirectory;
    QByteArray mMiniFat;
    QByteArray mMiniStream;
};

} // namespace

QByteArray compoundFileStream(const QByteArray& file, const QString& name)
{
    return CompoundFile(file).stream(name);
}
