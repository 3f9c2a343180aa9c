#include "platform/workbook/XlsxPackage.h"

#include <QDir>
#include <QUrl>

#include <zip.h>

namespace
{

// A survey workbook inflates to well under a megabyte; these bounds stop a crafted archive from claiming more
// memory than any real workbook needs.
constexpr zip_uint64_t MaxPartSize = 64ull * 1024 * 1024;
constexpr zip_uint64_t MaxPackageSize = 256ull * 1024 * 1024;

QString zipErrorText(zip_error_t* error)
{
    return QString::fromLocal8Bit(zip_error_strerror(error));
}

// The archive is written into memory so that the file on disk is replaced only once it is complete.
class MemoryArchive
{
public:
    MemoryArchive()
    {
        zip_error_init(&m_error);
        m_source = zip_source_buffer_create(nullptr, 0, 0, &m_error);
        if (m_source) {
            zip_source_keep(m_source);
            m_archive = zip_open_from_source(m_source, ZIP_TRUNCATE, &m_error);
        }
    }
    ~MemoryArchive()
    {
        if (m_archive)
            zip_discard(m_archive);
        if (m_source)
            zip_source_free(m_source);
        zip_error_fini(&m_error);
    }
    MemoryArchive(const MemoryArchive&) = delete;
    MemoryArchive& operator=(const MemoryArchive&) = delete;

    zip_t* archive() const { return m_archive; }
    QString errorText() { return m_archive ? QString::fromLocal8Bit(zip_strerror(m_archive)) : zipErrorText(&m_error); }

    bool close(QByteArray* out, QString* error)
    {
        if (zip_close(m_archive) != 0) {
            *error = errorText();
            return false;
        }
        m_archive = nullptr;
        zip_stat_t st;
        if (zip_source_stat(m_source, &st) != 0 || zip_source_open(m_source) != 0) {
            *error = zipErrorText(zip_source_error(m_source));
            return false;
        }
        out->resize(qsizetype(st.size));
        const zip_int64_t read = zip_source_read(m_source, out->data(), st.size);
        zip_source_close(m_source);
        if (read < 0 || zip_uint64_t(read) != st.size) {
            *error = zipErrorText(zip_source_error(m_source));
            return false;
        }
        return true;
    }

private:
    zip_error_t m_error;
    zip_source_t* m_source = nullptr;
    zip_t* m_archive = nullptr;
};

} // namespace

XlsxPackage::XlsxPackage() = default;

XlsxPackage::~XlsxPackage()
{
    close();
}

void XlsxPackage::close()
{
    if (m_archive)
        zip_discard(m_archive);
    m_archive = nullptr;
    m_zip.clear();
}

bool XlsxPackage::load(const QByteArray& zip, QString* error)
{
    error->clear();
    close();
    m_parts.clear();
    m_zip = zip;
    zip_error_t zerror;
    zip_error_init(&zerror);
    zip_source_t* source = zip_source_buffer_create(m_zip.constData(), zip_uint64_t(m_zip.size()), 0, &zerror);
    m_archive = source ? zip_open_from_source(source, ZIP_RDONLY, &zerror) : nullptr;
    if (!m_archive) {
        *error = zipErrorText(&zerror);
        if (source)
            zip_source_free(source);
        zip_error_fini(&zerror);
        m_zip.clear();
        reindex();
        return false;
    }
    zip_error_fini(&zerror);

    // The sizes come from the archive's directory; a part is never inflated beyond the size given there.
    zip_uint64_t total = 0;
    const zip_int64_t count = zip_get_num_entries(m_archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(m_archive, zip_uint64_t(i), 0, &st) != 0) {
            *error = QString::fromLocal8Bit(zip_strerror(m_archive));
            break;
        }
        total += st.size;
        if (!(st.valid & ZIP_STAT_SIZE) || st.size > MaxPartSize || total > MaxPackageSize) {
            *error = QStringLiteral("a part inflates to more than a workbook can hold");
            break;
        }
        const QString name = QString::fromUtf8(st.name);
        if (!name.endsWith(u'/'))
            m_parts.push_back({name, zip_uint64_t(i), st.size, std::nullopt});
    }
    if (!error->isEmpty()) {
        m_parts.clear();
        close();
    }
    reindex();
    return error->isEmpty();
}

bool XlsxPackage::inflate(const Part& part, QString* error) const
{
    if (part.data)
        return true;
    QByteArray data;
    if (!inflateCopy(part, &data, error))
        return false;
    part.data = std::move(data);
    return true;
}

QByteArray XlsxPackage::read(const QString& partName, quint64 maxSize, QString* error) const
{
    const auto it = m_index.constFind(partName.toLower());
    if (it == m_index.constEnd())
        return QByteArray();
    const Part& part = m_parts[size_t(*it)];
    if (part.data)
        return *part.data;
    if (part.size > maxSize) {
        *error = QStringLiteral("a part inflates to more than a workbook can hold");
        return QByteArray();
    }
    QByteArray data;
    QString ignored;
    return inflateCopy(part, &data, &ignored) ? data : QByteArray();
}

bool XlsxPackage::inflateCopy(const Part& part, QByteArray* out, QString* error) const
{
    zip_file_t* file = m_archive ? zip_fopen_index(m_archive, part.index, 0) : nullptr;
    if (!file) {
        *error = m_archive ? QString::fromLocal8Bit(zip_strerror(m_archive)) : QStringLiteral("no archive");
        return false;
    }
    QByteArray data(qsizetype(part.size), Qt::Uninitialized);
    const zip_int64_t read = zip_fread(file, data.data(), part.size);
    // Reading on to the end makes the archive check the part's checksum.
    char probe;
    const bool complete = read >= 0 && zip_uint64_t(read) == part.size && zip_fread(file, &probe, 1) == 0;
    if (!complete)
        *error = QString::fromLocal8Bit(zip_file_strerror(file));
    zip_fclose(file);
    if (!complete)
        return false;
    *out = std::move(data);
    return true;
}

bool XlsxPackage::toZip(QByteArray* zip, QString* error) const
{
    MemoryArchive memory;
    if (!memory.archive()) {
        *error = memory.errorText();
        return false;
    }
    for (const Part& part : m_parts) {
        if (!inflate(part, error)) {
            *error = QStringLiteral("%1: %2").arg(part.name, *error);
            return false;
        }
        const QByteArray& data = *part.data;
        zip_source_t* source = zip_source_buffer(memory.archive(), data.constData(), zip_uint64_t(data.size()), 0);
        if (!source || zip_file_add(memory.archive(), part.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) < 0) {
            if (source)
                zip_source_free(source);
            *error = memory.errorText();
            return false;
        }
    }
    return memory.close(zip, error);
}

QString XlsxPackage::find(const QString& partName) const
{
    const auto it = m_index.constFind(partName.toLower());
    return it == m_index.constEnd() ? QString() : m_parts[size_t(*it)].name;
}

QByteArray XlsxPackage::data(const QString& partName) const
{
    const auto it = m_index.constFind(partName.toLower());
    if (it == m_index.constEnd())
        return QByteArray();
    const Part& part = m_parts[size_t(*it)];
    QString ignored;
    return inflate(part, &ignored) ? *part.data : QByteArray();
}

void XlsxPackage::setData(const QString& partName, const QByteArray& data)
{
    const auto it = m_index.constFind(partName.toLower());
    if (it != m_index.constEnd()) {
        m_parts[size_t(*it)].data = data;
        return;
    }
    m_parts.push_back({partName, 0, 0, data});
    m_index.insert(partName.toLower(), qsizetype(m_parts.size() - 1));
}

void XlsxPackage::remove(const QString& partName)
{
    const auto it = m_index.constFind(partName.toLower());
    if (it == m_index.constEnd())
        return;
    m_parts.erase(m_parts.begin() + *it);
    reindex();
}

QString XlsxPackage::relationshipsPart(const QString& partName)
{
    const qsizetype slash = partName.lastIndexOf(u'/');
    return partName.left(slash + 1) + QLatin1String("_rels/") + partName.mid(slash + 1) + QLatin1String(".rels");
}

QString XlsxPackage::resolveTarget(const QString& sourcePart, const QString& target)
{
    const QString decoded = QUrl::fromPercentEncoding(target.toUtf8());
    if (decoded.startsWith(u'/'))
        return QDir::cleanPath(decoded.mid(1));
    const qsizetype slash = sourcePart.lastIndexOf(u'/');
    QString path = QDir::cleanPath(sourcePart.left(slash + 1) + decoded);
    while (path.startsWith(QLatin1String("../")))
        path = path.mid(3);
    return path;
}

void XlsxPackage::reindex()
{
    m_index.clear();
    for (size_t i = 0; i < m_parts.size(); ++i)
        m_index.insert(m_parts[i].name.toLower(), qsizetype(i));
}
