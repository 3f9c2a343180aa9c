#include "platform/workbook/SheetPassword.h"

#include "platform/workbook/Xml.h"

#include <QCryptographicHash>
#include <QtEndian>

#include <optional>

namespace SheetPassword
{
namespace
{

constexpr unsigned long long MaxSpinCount = 100000;

std::optional<QCryptographicHash::Algorithm> algorithmNamed(const QString& name)
{
    const QString n = name.toUpper().remove(u'-');
    if (n == QLatin1String("SHA512"))
        return QCryptographicHash::Sha512;
    if (n == QLatin1String("SHA384"))
        return QCryptographicHash::Sha384;
    if (n == QLatin1String("SHA256"))
        return QCryptographicHash::Sha256;
    if (n == QLatin1String("SHA1"))
        return QCryptographicHash::Sha1;
    if (n == QLatin1String("MD5"))
        return QCryptographicHash::Md5;
    return std::nullopt;
}

bool matchesSaltedHash(pugi::xml_node protection, const QString& password)
{
    const auto algorithm = algorithmNamed(Xml::value(protection.attribute("algorithmName")));
    if (!algorithm)
        return false;
    const QByteArray expected = QByteArray::fromBase64(protection.attribute("hashValue").value());
    const QByteArray salt = QByteArray::fromBase64(protection.attribute("saltValue").value());
    // Spreadsheet programs write 100,000 rounds; a file asking for billions would stall whoever opens it.
    const unsigned long long spinCount = protection.attribute("spinCount").as_ullong();
    if (spinCount > MaxSpinCount)
        return false;

    QByteArray utf16(reinterpret_cast<const char*>(password.utf16()), password.size() * 2);
    if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian) {
        for (qsizetype i = 0; i + 1 < utf16.size(); i += 2)
            std::swap(utf16[i], utf16[i + 1]);
    }
    QByteArray hash = QCryptographicHash::hash(salt + utf16, *algorithm);
    char iterator[4];
    for (quint32 i = 0; i < spinCount; ++i) {
        qToLittleEndian<quint32>(i, iterator);
        hash = QCryptographicHash::hash(hash + QByteArray::fromRawData(iterator, 4), *algorithm);
    }
    return !expected.isEmpty() && hash == expected;
}

} // namespace

QString legacyHash(const QString& password)
{
    const QByteArray bytes = password.toLatin1();
    quint16 hash = 0;
    for (qsizetype i = bytes.size() - 1; i >= 0; --i) {
        hash = quint16(((hash >> 14) & 0x01) | ((hash << 1) & 0x7fff));
        hash ^= quint8(bytes[i]);
    }
    hash = quint16(((hash >> 14) & 0x01) | ((hash << 1) & 0x7fff));
    hash ^= quint16(bytes.size());
    hash ^= 0xCE4B;
    return QString::number(hash, 16).toUpper().rightJustified(4, u'0');
}

bool matches(pugi::xml_node protection, const QString& password)
{
    const pugi::xml_attribute legacy = protection.attribute("password");
    if (legacy && legacy.value()[0] != '\0')
        return Xml::value(legacy).toUInt(nullptr, 16) == legacyHash(password).toUInt(nullptr, 16);
    if (protection.attribute("hashValue"))
        return matchesSaltedHash(protection, password);
    return true;
}

} // namespace SheetPassword
