#include "MailRecorder.h"

#include "platform/desktop/ToolRun.h"
#include "platform/mail/MailClient.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>
#include <QUrlQuery>
#include <gtest/gtest.h>

namespace
{

QString writeFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("workbook");
    return path;
}

// A body with what a shell or a URL would take apart: quotes, $, backticks, &, ?, =, %, several lines, and
// characters outside ASCII.
const QString AwkwardBody = QStringLiteral("Dear O'Brien,\n\n\"Rate us\" & reply? $HOME `id` 100% a=b;\n"
                                           "-- Müller, Zoë \u2019s team\n");

} // namespace

TEST(MailClient, AvailableOnlyWithTheHandOverToolAndAMailHandler)
{
    MailRecorder mail;
    QString reason;
    EXPECT_TRUE(MailClient::isAvailable(&reason)) << reason.toStdString();

    mail.setHandler(QString());
    EXPECT_FALSE(MailClient::isAvailable(&reason));
    EXPECT_TRUE(reason.contains(QLatin1String("mailto"))) << reason.toStdString();

    // A MAILER names the mail program as well as the desktop's handler does.
    qputenv("MAILER", "/bin/true");
    EXPECT_TRUE(MailClient::isAvailable(&reason));
    qunsetenv("MAILER");

    mail.setHandler(QStringLiteral("mailer.desktop"));
    mail.removeHandOver();
    EXPECT_FALSE(MailClient::isAvailable(&reason));
    EXPECT_TRUE(reason.contains(QLatin1String("xdg-email"))) << reason.toStdString();
    EXPECT_TRUE(mail.calls().isEmpty());
}

TEST(MailClient, HandsOverEveryPartOfTheMessageUnchanged)
{
    MailRecorder mail;
    QTemporaryDir dir;
    writeFile(dir.filePath(QStringLiteral("Survey 1.xlsx")));
    // A relative attachment path reaches the client as an absolute one.
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    MailMessage m{QStringLiteral("-oProxyCommand=x@example.com"), QStringLiteral("Pellorin Survey"), AwkwardBody,
                  QStringLiteral("Survey 1.xlsx")};
    QString error;
    const bool ok = MailClient::compose(m, &error);
    QDir::setCurrent(cwd);
    ASSERT_TRUE(ok) << error.toStdString();

    const QList<QStringList> calls = mail.calls();
    ASSERT_EQ(calls.size(), 1);
    const QStringList& c = calls[0];
    EXPECT_EQ(MailRecorder::option(c, QStringLiteral("--subject")), QStringLiteral("Pellorin Survey"));
    EXPECT_EQ(MailRecorder::option(c, QStringLiteral("--body")), AwkwardBody);
    EXPECT_EQ(MailRecorder::option(c, QStringLiteral("--attach")),
              QFileInfo(dir.filePath(QStringLiteral("Survey 1.xlsx"))).absoluteFilePath());
    // The recipient is the value of --to, never an argument of its own that could read as an option.
    EXPECT_EQ(MailRecorder::option(c, QStringLiteral("--to")), QStringLiteral("-oProxyCommand=x@example.com"));
    EXPECT_EQ(c.count(QStringLiteral("-oProxyCommand=x@example.com")), 1);
    EXPECT_TRUE(error.isEmpty());
}

TEST(MailClient, OnlyOnePlainAddressIsARecipient)
{
    for (const char* plain :
         {"ann@acme.example", "-ann@acme.example", "o.brien+survey@acme.example", "zoë@acme.example"})
        EXPECT_TRUE(MailClient::isPlainAddress(QString::fromUtf8(plain))) << plain;
    // Two recipients, a display name, or what a client's compose string would decode: quotes, also as \x27 or as a
    // percent escape that a second decoding turns into one.
    for (const char* refused :
         {"", "a@x.org, b@y.org", "a@x.org;b@y.org", "a@x.org b@y.org", "Ann <a@x.org>", "\"a\"@x.org",
          "a@x.org',attachment='/etc/passwd", "a\\x27@x.org", "a@x.org\n", "a@x.org\t", "a\x01@x.org", "a\u00a0@x.org",
          "a\u200e@x.org", "o\u2019brien@x.org", "a`id`@x.org", "a%27@x.org", "a@x.org%2Cb@y.org"})
        EXPECT_FALSE(MailClient::isPlainAddress(QString::fromUtf8(refused))) << refused;
}

TEST(MailClient, LeavesOutEmptyValuesThatTheToolWouldRefuse)
{
    MailRecorder mail;
    QString error;
    ASSERT_TRUE(MailClient::compose(MailMessage{QString(), QStringLiteral("S"), QString(), QString()}, &error));
    ASSERT_EQ(mail.calls().size(), 1);
    EXPECT_EQ(mail.calls()[0],
              (QStringList{QStringLiteral("--utf8"), QStringLiteral("--subject"), QStringLiteral("S")}));
}

TEST(MailClient, AFailedHandOverIsReportedWithItsReason)
{
    MailRecorder mail;
    mail.fail(2, QStringLiteral("xdg-email: file '/x/y.xlsx' does not exist"));
    QString error;
    EXPECT_FALSE(MailClient::compose(
        MailMessage{QStringLiteral("a@b.c"), QStringLiteral("S"), QStringLiteral("B"), QStringLiteral("/x/y.xlsx")},
        &error));
    EXPECT_TRUE(error.contains(QLatin1String("the attachment does not exist"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QLatin1String("/x/y.xlsx"))) << error.toStdString();

    mail.removeHandOver();
    EXPECT_FALSE(MailClient::compose(MailMessage{}, &error));
    EXPECT_TRUE(error.contains(QLatin1String("xdg-email"))) << error.toStdString();
}

TEST(MailClient, AClientThatStaysOpenDoesNotHoldUpTheProgram)
{
    MailRecorder mail;
    mail.stayRunning();
    const int before = ToolRun::gracePeriod();
    ToolRun::setGracePeriod(300);
    bool ticked = false;
    QTimer::singleShot(50, [&ticked] { ticked = true; });
    QElapsedTimer clock;
    clock.start();
    QString error;
    const bool ok =
        MailClient::compose(MailMessage{QStringLiteral("a@b.c"), QStringLiteral("S"), QString(), QString()}, &error);
    const qint64 took = clock.elapsed();
    ToolRun::setGracePeriod(before);
    EXPECT_TRUE(ok) << error.toStdString();
    EXPECT_LT(took, 5000);
    // The program's own events went on while the hand-over was watched.
    EXPECT_TRUE(ticked);
    EXPECT_EQ(mail.calls().size(), 1);
}

// The arguments as the real xdg-email takes them: it builds a mailto: address from them and hands that to the
// program named by MAILER, here a recorder. Skipped where xdg-utils is not installed.
TEST(MailClient, TheRealToolAcceptsTheArguments)
{
    const QString real = QStringLiteral("/usr/bin/xdg-email");
    if (!QFileInfo(real).isExecutable())
        GTEST_SKIP() << "xdg-utils is not installed";
    MailRecorder mail;
    QTemporaryDir dir;
    const QString attachment = writeFile(dir.filePath(QStringLiteral("Harbour_Ann.xlsx")));
    // The recorder under another name, and the real tool on the PATH after it.
    QFile::remove(mail.folder() + QStringLiteral("/mailer"));
    QFile::copy(mail.folder() + QStringLiteral("/xdg-email"), mail.folder() + QStringLiteral("/mailer"));
    QFile::setPermissions(mail.folder() + QStringLiteral("/mailer"), QFile::ReadOwner | QFile::ExeOwner);
    mail.removeHandOver();
    qputenv("PATH", QFile::encodeName(mail.folder()) + ":/usr/bin:/bin");
    qputenv("MAILER", QFile::encodeName(mail.folder() + QStringLiteral("/mailer")));
    const QString body = QStringLiteral("Dear O'Brien,\n\"Rate us\" & reply? 100% a=b; Zoë\n.");
    QString error;
    const bool ok = MailClient::compose(
        MailMessage{QStringLiteral("-ann@example.com"), QStringLiteral("Pellorin Survey"), body, attachment}, &error);
    qunsetenv("MAILER");
    ASSERT_TRUE(ok) << error.toStdString();

    ASSERT_EQ(mail.calls().size(), 1);
    ASSERT_EQ(mail.calls()[0].size(), 1);
    const QUrl url(mail.calls()[0][0]);
    EXPECT_EQ(url.scheme(), QStringLiteral("mailto"));
    const QUrlQuery query(url.query(QUrl::FullyEncoded));
    const auto field = [&query](const char* name) {
        return QUrl::fromPercentEncoding(query.queryItemValue(QLatin1String(name), QUrl::FullyEncoded).toUtf8());
    };
    EXPECT_EQ(field("subject"), QStringLiteral("Pellorin Survey"));
    QString expectedBody = body;
    expectedBody.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    EXPECT_EQ(field("body"), expectedBody);
    EXPECT_EQ(field("attach"), attachment);
    EXPECT_EQ(field("to"), QStringLiteral("-ann@example.com"));
}
