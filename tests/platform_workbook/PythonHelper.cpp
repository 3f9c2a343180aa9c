#include "PythonHelper.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

#include <gtest/gtest.h>

namespace PythonHelper
{

QByteArray run(const QString& script, const QStringList& arguments)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), QStringList{QStringLiteral("-c"), script} + arguments);
    const bool finished = python.waitForFinished(60000);
    const QByteArray err = python.readAllStandardError();
    EXPECT_TRUE(finished && python.exitStatus() == QProcess::NormalExit && python.exitCode() == 0) << err.toStdString();
    return python.readAllStandardOutput();
}

QJsonObject json(const QString& script, const QStringList& arguments)
{
    return QJsonDocument::fromJson(run(script, arguments)).object();
}

void writeZip(const QString& path, const QList<QPair<QString, QByteArray>>& parts)
{
    QJsonArray list;
    for (const auto& [name, data] : parts)
        list.append(QJsonArray{name, QString::fromLatin1(data.toBase64())});
    run(QStringLiteral("import sys, json, zipfile, base64\n"
                       "with zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED) as z:\n"
                       "    for name, data in json.loads(sys.argv[2]):\n"
                       "        z.writestr(name, base64.b64decode(data))\n"),
        {path, QString::fromUtf8(QJsonDocument(list).toJson(QJsonDocument::Compact))});
}

QByteArray zipPart(const QString& path, const QString& part)
{
    return QByteArray::fromBase64(run(QStringLiteral("import sys, zipfile, base64\n"
                                                     "z = zipfile.ZipFile(sys.argv[1])\n"
                                                     "names = z.namelist()\n"
                                                     "if sys.argv[2] in names:\n"
                                                     "    print(base64.b64encode(z.read(sys.argv[2])).decode())\n"),
                                      {path, part})
                                      .trimmed());
}

} // namespace PythonHelper
