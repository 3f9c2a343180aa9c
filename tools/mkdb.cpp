// Build step: makes the program's database file from the schema script when the file is absent.
#include "shell/DatabaseFile.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        QTextStream(stderr) << "usage: quorvane_mkdb DATABASE SCHEMA\n";
        return 2;
    }
    QString error;
    if (!DatabaseFile::createFromSchema(args[1], args[2], &error)) {
        QTextStream(stderr) << error << '\n';
        return 1;
    }
    return 0;
}
