#include "app/SettingsDocument.h"
#include "core/Conversions.h"
#include "util/Gbk.h"
#include "util/MessageSeam.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace lumora;

class TestSettings : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString path_;

    void writeFile(const QByteArray &bytes)
    {
        QFile file(path_);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readFile()
    {
        QFile file(path_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("config.xml"));
        QFile::remove(path_);
    }

    void readBoolText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected"); // -1 = not a boolean
        QTest::newRow("True") << "True" << 1;
        QTest::newRow("lower false") << "false" << 0;
        QTest::newRow("mixed case") << "tRuE" << 1;
        QTest::newRow("zero") << "0" << 0;
        QTest::newRow("one") << "1" << 1;
        QTest::newRow("negative") << "-3" << 1;
        QTest::newRow("fraction") << "0.5" << 1;
        QTest::newRow("yes") << "yes" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("nan") << "nan" << -1;
    }
    void readBoolText()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        const auto value = ReadBoolText(text);
        if (expected < 0)
            QVERIFY(!value);
        else
            QCOMPARE(value, std::optional<bool>(expected == 1));
    }

    // Saving and reading back, as the remember box and the typed values decide.
    void saveAndReadBack_data()
    {
        QTest::addColumn<bool>("remember");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("pass");
        QTest::addColumn<QString>("inputUser");
        QTest::addColumn<QString>("storedUser");
        QTest::addColumn<QString>("storedInputUser");
        QTest::addColumn<bool>("passStored");

        QTest::newRow("remembered") << true << "alice"
                                    << "secret"
                                    << "妻子"
                                    << "alice"
                                    << "妻子" << true;
        QTest::newRow("not remembered: only the entering user is kept") << false << "alice"
                                                                        << "secret"
                                                                        << "丈夫"
                                                                        << ""
                                                                        << "丈夫" << false;
        QTest::newRow("remembered with an empty password") << true << "alice"
                                                           << ""
                                                           << "x"
                                                           << "alice"
                                                           << "x" << false;
        QTest::newRow("user and password untrimmed, entering user trimmed") << true << " bob "
                                                                            << " pw "
                                                                            << "  me  "
                                                                            << " bob "
                                                                            << "me" << true;
        QTest::newRow("Chinese user longer than 8 GBK bytes") << true << "张三李四王五"
                                                              << "密码123"
                                                              << "a"
                                                              << "张三李四王五"
                                                              << "a" << true;
    }
    void saveAndReadBack()
    {
        QFETCH(bool, remember);
        QFETCH(QString, user);
        QFETCH(QString, pass);
        QFETCH(QString, inputUser);
        QFETCH(QString, storedUser);
        QFETCH(QString, storedInputUser);
        QFETCH(bool, passStored);
        ScopedMessageCapture capture;

        // Given a fresh settings file
        SettingsDocument writer(path_);
        SignInFields typed;
        writer.LoadSignInSettings(typed);
        typed = SignInFields{remember, user, pass, inputUser};

        // When the sign-in stores it
        QVERIFY(writer.SaveSignInSettings(typed));

        // Then the attributes are as typed, in the order Save, InputUser, User, Pass
        const QString passAttribute = passStored ? EncipherPassword(pass, user) : QString();
        const QString expectedLogin = QStringLiteral("<Login Save=\"%1\" InputUser=\"%2\" User=\"%3\" Pass=\"%4\"/>")
                                          .arg(remember ? QStringLiteral("True") : QStringLiteral("False"),
                                               storedInputUser, storedUser, passAttribute);
        const QString text = FromGbk(readFile());
        QVERIFY2(text.contains(expectedLogin), qPrintable(text));
        QVERIFY(text.startsWith(QLatin1String("<?xml version=\"1.0\" encoding=\"GBK\"?>")));

        // And reading it back gives the boxes again
        SettingsDocument reader(path_);
        SignInFields read;
        reader.LoadSignInSettings(read);
        QCOMPARE(read.savePass, remember);
        QCOMPARE(read.user, storedUser);
        QCOMPARE(read.pass, remember ? pass : QString());
        QCOMPARE(read.inputUser, storedInputUser);
        QVERIFY(capture.messages.isEmpty());
        QVERIFY(!reader.SettingsUnreadable());
    }

    void passMadeWithAnotherUserIsMeaningless()
    {
        ScopedMessageCapture capture;
        const QString pass = EncipherPassword(QStringLiteral("secret"), QStringLiteral("alice"));
        writeFile(QStringLiteral("<config><Login Save=\"True\" User=\"bob\" Pass=\"%1\" InputUser=\"x\"/></config>")
                      .arg(pass)
                      .toUtf8());
        SettingsDocument settings(path_);
        SignInFields fields;
        settings.LoadSignInSettings(fields);
        QCOMPARE(fields.user, QStringLiteral("bob"));
        QVERIFY(fields.pass != QStringLiteral("secret"));
        QVERIFY(capture.messages.isEmpty());
        QVERIFY(!settings.SettingsUnreadable());
    }

    void keyIsTheFirstEightBytesOfTheUser()
    {
        const QString pass = EncipherPassword(QStringLiteral("secret"), QStringLiteral("abcdefgh-one"));
        QCOMPARE(DecipherPassword(pass, QStringLiteral("abcdefgh-two")), QStringLiteral("secret"));
        QCOMPARE(pass.size(), 12); // one block
    }

    void otherContentIsWrittenBackUnchanged()
    {
        ScopedMessageCapture capture;
        const QString before = QStringLiteral("<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n"
                                              "<!-- 安装时带的设置 -->\r\n"
                                              "<Settings version=\"2\" b=\"1\" a=\"2\">\n"
                                              "  <Window Left=\"10\" Top=\"20\">备注 &amp; &lt;说明&gt;</Window>\n"
                                              "  <Login Pass=\"\" Extra=\"保留\" Save=\"False\"/>\n"
                                              "  <![CDATA[raw <text>]]>\n"
                                              "</Settings>\r\n");
        writeFile(ToGbk(before));

        SettingsDocument settings(path_);
        SignInFields fields;
        settings.LoadSignInSettings(fields);
        fields = SignInFields{true, QStringLiteral("u"), QString(), QStringLiteral("丈夫")};
        QVERIFY(settings.SaveSignInSettings(fields));

        const QString expected =
            QStringLiteral("<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n"
                           "<!-- 安装时带的设置 -->\r\n"
                           "<Settings version=\"2\" b=\"1\" a=\"2\">\n"
                           "  <Window Left=\"10\" Top=\"20\">备注 &amp; &lt;说明&gt;</Window>\n"
                           "  <Login Pass=\"\" Extra=\"保留\" Save=\"True\" InputUser=\"丈夫\" User=\"u\"/>\n"
                           "  <![CDATA[raw <text>]]>\n"
                           "</Settings>\r\n");
        QCOMPARE(FromGbk(readFile()), expected);
    }

    void fileEncodingIsKept_data()
    {
        QTest::addColumn<QString>("declaration");
        QTest::addColumn<QByteArray>("encodedName"); // how 张三 must appear in the file
        QTest::newRow("GBK") << "<?xml version=\"1.0\" encoding=\"GBK\"?>" << ToGbk(QStringLiteral("张三"));
        QTest::newRow("UTF-8") << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>" << QStringLiteral("张三").toUtf8();
        QTest::newRow("no declaration means UTF-8") << "" << QStringLiteral("张三").toUtf8();
    }
    void fileEncodingIsKept()
    {
        QFETCH(QString, declaration);
        QFETCH(QByteArray, encodedName);
        ScopedMessageCapture capture;
        QByteArray bytes = declaration.toLatin1() + "<config><Login Save=\"1\" User=\"" + encodedName +
                           "\" InputUser=\"" + encodedName + "\"/></config>";
        writeFile(bytes);

        SettingsDocument settings(path_);
        SignInFields fields;
        settings.LoadSignInSettings(fields);
        QCOMPARE(fields.user, QStringLiteral("张三"));
        QCOMPARE(fields.inputUser, QStringLiteral("张三"));
        QVERIFY(settings.SaveSignInSettings(fields));

        const QByteArray written = readFile();
        QVERIFY(written.startsWith(declaration.toLatin1()));
        QVERIFY(written.contains("User=\"" + encodedName + "\""));
        QVERIFY(capture.messages.isEmpty());
    }

    void missingFileStartsEmpty()
    {
        ScopedMessageCapture capture;
        SettingsDocument settings(path_);
        SignInFields fields;
        settings.LoadSignInSettings(fields);
        QCOMPARE(fields.inputUser, LocalIpAddress());
        QVERIFY(!fields.savePass);
        QVERIFY(capture.messages.isEmpty());

        fields.inputUser = QStringLiteral("me");
        QVERIFY(settings.SaveSignInSettings(fields));
        QCOMPARE(FromGbk(readFile()), QStringLiteral("<?xml version=\"1.0\" encoding=\"GBK\"?>\r\n<config><Login "
                                                     "Save=\"False\" InputUser=\"me\" User=\"\" Pass=\"\"/>"
                                                     "</config>\r\n"));
    }

    void withoutLoginTheEnteringUserIsTheLocalAddress()
    {
        ScopedMessageCapture capture;
        writeFile("<?xml version=\"1.0\" encoding=\"GBK\"?><root><Other/></root>");
        SettingsDocument settings(path_);
        SignInFields fields;
        fields.inputUser = QStringLiteral("before");
        settings.LoadSignInSettings(fields);
        QCOMPARE(fields.inputUser, LocalIpAddress());

        QVERIFY(settings.SaveSignInSettings(fields));
        QVERIFY(readFile().contains("<root><Other/><Login Save=\"False\""));
    }

    void unreadableSettingsAreShownOnceAndNeverWritten_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("userAfterLoad");
        QTest::newRow("not well-formed") << "<config><Login Save=\"True\" User=\"u\"></config>"
                                         << "";
        QTest::newRow("Save not a boolean") << "<config><Login Save=\"yes\" User=\"u\" InputUser=\"i\"/></config>"
                                            << "";
        QTest::newRow("empty file") << ""
                                    << "";
        QTest::newRow("declaration after a blank") << " <?xml version=\"1.0\" encoding=\"GBK\"?><config/>"
                                                   << "";
        QTest::newRow("declaration after a comment") << "<!--c--><?xml version=\"1.0\"?><config/>"
                                                     << "";
    }
    void unreadableSettingsAreShownOnceAndNeverWritten()
    {
        QFETCH(QString, content);
        QFETCH(QString, userAfterLoad);
        ScopedMessageCapture capture;
        writeFile(content.toUtf8());

        SettingsDocument settings(path_);
        SignInFields fields;
        settings.LoadSignInSettings(fields);
        QCOMPARE(capture.texts(), QStringList{content});
        QVERIFY(settings.SettingsUnreadable());
        QCOMPARE(fields.user, userAfterLoad);
        QCOMPARE(fields.inputUser, LocalIpAddress());

        fields = SignInFields{true, QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")};
        QVERIFY(!settings.SaveSignInSettings(fields));
        QCOMPARE(QString::fromUtf8(readFile()), content);
        QCOMPARE(capture.messages.size(), 1);
    }

    void charactersOutsideTheEncodingBecomeReferences()
    {
        ScopedMessageCapture capture;
        SettingsDocument settings(path_);
        SignInFields fields;
        settings.LoadSignInSettings(fields);
        fields.inputUser = QStringLiteral("a😀b");
        QVERIFY(settings.SaveSignInSettings(fields));
        QVERIFY(readFile().contains("InputUser=\"a&#x1f600;b\""));

        SettingsDocument reader(path_);
        SignInFields read;
        reader.LoadSignInSettings(read);
        QCOMPARE(read.inputUser, QStringLiteral("a😀b"));
    }

    void charactersAfterAReferenceAreWrittenAsThemselves()
    {
        ScopedMessageCapture capture;
        SettingsDocument settings(path_);
        SignInFields fields;
        settings.LoadSignInSettings(fields);
        fields = SignInFields{true, QStringLiteral("家庭"), QString(), QStringLiteral("😀妻子")};
        QVERIFY(settings.SaveSignInSettings(fields));
        const QByteArray written = readFile();
        QVERIFY2(written.contains("InputUser=\"&#x1f600;" + ToGbk(QStringLiteral("妻子")) + "\""), written.constData());
        QVERIFY(written.contains("User=\"" + ToGbk(QStringLiteral("家庭")) + "\""));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
