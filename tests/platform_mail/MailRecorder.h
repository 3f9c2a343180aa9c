#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>

// Stands in for the desktop's mail tools: a folder that becomes the whole PATH, holding an xdg-email that records
// each call's arguments and an xdg-mime that names a mail handler. The real hand-over code runs against them.
class MailRecorder
{
public:
    MailRecorder()
    {
        m_oldPath = qgetenv("PATH");
        m_oldMailer = qgetenv("MAILER");
        m_hadMailer = qEnvironmentVariableIsSet("MAILER");
        qunsetenv("MAILER");
        qputenv("PATH", QFile::encodeName(m_dir.path()));
        write();
    }
    ~MailRecorder()
    {
        qputenv("PATH", m_oldPath);
        if (m_hadMailer)
            qputenv("MAILER", m_oldMailer);
    }

    // What xdg-email does after recording: its exit code and what it says on stderr; or staying up, as
    // xdg-email does while a client it started runs.
    void fail(int code, const QString& says)
    {
        m_code = code;
        m_says = says;
        write();
    }
    void stayRunning()
    {
        m_stay = true;
        write();
    }
    // Staying up until release(), and only then failing as fail() says: a route it fell back on failed late.
    void failLate(int code, const QString& says)
    {
        m_late = true;
        fail(code, says);
    }
    void release()
    {
        QFile go(m_dir.filePath(QStringLiteral("go")));
        go.open(QIODevice::WriteOnly);
    }
    // The desktop's mailto: handler ("" for none).
    void setHandler(const QString& handler)
    {
        m_handler = handler;
        write();
    }
    void removeHandOver() { QFile::remove(m_dir.filePath(QStringLiteral("xdg-email"))); }

    QString folder() const { return m_dir.path(); }

    // Each call's arguments, in call order.
    QList<QStringList> calls() const
    {
        QFile file(m_dir.filePath(QStringLiteral("calls.log")));
        QList<QStringList> result;
        if (!file.open(QIODevice::ReadOnly))
            return result;
        QStringList current;
        const QList<QByteArray> parts = file.readAll().split('\0');
        for (const QByteArray& part : parts) {
            if (part == "\x1e") {
                result << current;
                current.clear();
            } else {
                current << QString::fromUtf8(part);
            }
        }
        return result;
    }

    // The value after an option in one call, "" when the option is absent.
    static QString option(const QStringList& call, const QString& name)
    {
        const qsizetype i = call.indexOf(name);
        return i >= 0 && i + 1 < call.size() ? call[i + 1] : QString();
    }

    static QString quoted(const QString& text)
    {
        QString t = text;
        t.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
        return QLatin1Char('\'') + t + QLatin1Char('\'');
    }

private:
    void write()
    {
        const QString log = quoted(m_dir.filePath(QStringLiteral("calls.log")));
        QString email = QStringLiteral("#!/bin/sh\nfor a in \"$@\"; do printf '%s\\0' \"$a\"; done >> ") + log +
                        QStringLiteral("\nprintf '\\036\\0' >> ") + log + QLatin1Char('\n');
        if (m_late)
            email += QStringLiteral("while [ ! -e ") + quoted(m_dir.filePath(QStringLiteral("go"))) +
                     QStringLiteral(" ]; do /bin/sleep 0.05; done\n");
        if (!m_says.isEmpty())
            email += QStringLiteral("printf '%s' ") + quoted(m_says) + QStringLiteral(" >&2\n");
        if (m_stay)
            email += QStringLiteral("exec /bin/sleep 30\n");
        email += QStringLiteral("exit %1\n").arg(m_code);
        script(QStringLiteral("xdg-email"), email);
        script(QStringLiteral("xdg-mime"),
               QStringLiteral("#!/bin/sh\nprintf '%s\\n' ") + quoted(m_handler) + QLatin1Char('\n'));
    }
    void script(const QString& name, const QString& text)
    {
        QFile file(m_dir.filePath(name));
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(text.toUtf8());
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QTemporaryDir m_dir;
    QByteArray m_oldPath;
    QByteArray m_oldMailer;
    bool m_hadMailer = false;
    int m_code = 0;
    QString m_says;
    bool m_stay = false;
    bool m_late = false;
    QString m_handler = QStringLiteral("mailer.desktop");
};
