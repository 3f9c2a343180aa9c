#include "platform/workbook/CompoundFile.h"

#include <QString>
#include <QtEndian>

namespace CompoundFile
{
namespace
{

constexpr char Signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr qsizetype HeaderSize = 512;
constexpr qsizetype EntrySize = 128;
constexpr quint32 EndOfChain = 0xFFFFFFFE;
// The header lists the first 109 sectors of the allocation table; the directory of any workbook lies within them.
constexpr int HeaderTableSectors = 109;

class Reader
{
public:
    explicit Reader(const QByteArray& file) : m_file(file) {}

    bool valid() const
    {
        return m_file.size() >= HeaderSize && m_file.startsWith(QByteArray::fromRawData(Signature, 8)) &&
               (u16(30) == 9 || u16(30) == 12);
    }
    qsizetype sectorSize() const { return qsizetype(1) << u16(30); }
    quint32 firstDirectorySector() const { return u32(48); }

    // The sector after this one in its chain; EndOfChain when there is none or the table does not say.
    quint32 next(quint32 sector) const
    {
        const quint32 perSector = quint32(sectorSize() / 4);
        const quint32 tableIndex = sector / perSector;
        if (tableIndex >= HeaderTableSectors)
            return EndOfChain;
        const quint32 tableSector = u32(76 + qsizetype(tableIndex) * 4);
        const qsizetype at = offset(tableSector);
        if (at < 0)
            return EndOfChain;
        return u32(at + qsizetype(sector % perSector) * 4);
    }

    // Where a sector starts in the file; -1 when it lies outside.
    qsizetype offset(quint32 sector) const
    {
        const qsizetype at = HeaderSize + qsizetype(sector) * sectorSize();
        return sector < EndOfChain - 5 && at + sectorSize() <= m_file.size() ? at : -1;
    }

    QString entryName(qsizetype at) const
    {
        const quint16 bytes = u16(at + 64);
        if (bytes < 2 || bytes > 64)
            return QString();
        QString name;
        for (qsizetype i = 0; i + 1 < bytes / 2; ++i)
            name += QChar(u16(at + 2 * i));
        return name;
    }
    bool isStream(qsizetype at) const { return m_file[at + 66] == 2; }

private:
    quint16 u16(qsizetype at) const { return qFromLittleEndian<quint16>(m_file.constData() + at); }
    quint32 u32(qsizetype at) const { return qFromLittleEndian<quint32>(m_file.constData() + at); }

    const QByteArray& m_file;
};

bool isOneOf(const QString& name, std::initializer_list<const char*> names)
{
    for (const char* n : names) {
        if (name.compare(QLatin1String(n), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

Content identify(const QByteArray& file)
{
    const Reader reader(file);
    if (!reader.valid())
        return Content::None;
    bool legacy = false;
    // The directory's chain is followed no further than the file has sectors, so a loop in it ends.
    const qsizetype maxSectors = file.size() / reader.sectorSize();
    quint32 sector = reader.firstDirectorySector();
    for (qsizetype step = 0; step < maxSectors; ++step) {
        const qsizetype at = reader.offset(sector);
        if (at < 0)
            break;
        for (qsizetype entry = at; entry + EntrySize <= at + reader.sectorSize(); entry += EntrySize) {
            if (!reader.isStream(entry))
                continue;
            const QString name = reader.entryName(entry);
            if (isOneOf(name, {"EncryptionInfo", "EncryptedPackage"}))
                return Content::EncryptedWorkbook;
            legacy = legacy || isOneOf(name, {"Workbook", "Book"});
        }
        sector = reader.next(sector);
    }
    return legacy ? Content::LegacyWorkbook : Content::None;
}

} // namespace CompoundFile
