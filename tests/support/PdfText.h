#pragma once

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A PDF's text as pdftotext lays it out; "" when it cannot be read.
inline QString pdfText(const QByteArray& pdf)
{
    QTemporaryDir dir;
    QFile out(dir.filePath(QStringLiteral("report.pdf")));
    if (!out.open(QIODevice::WriteOnly))
        return QString();
    out.write(pdf);
    out.close();
    QProcess p;
    // By its full path: the mail tests give the program a PATH of their own.
    p.start(QStringLiteral("/usr/bin/pdftotext"), {QStringLiteral("-layout"), out.fileName(), QStringLiteral("-")});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}
