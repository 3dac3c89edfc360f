#include "ui/shell/CKeldaStartup.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QtTest>

// Where the settings file lives, and the queries that must answer without a display.
class TestStartup : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void settingsFileFollowsWhereTheProgramRuns() {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QString config = root.filePath("config");
        qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());

        // A build folder of its own keeps the file beside the program.
        const QString build = root.filePath("build/bin");
        QVERIFY(QDir().mkpath(build));
        QCOMPARE(CKeldaStartup::settingsFile(build, QString()), build + "/KELDA.ini");

        // An installed program (its tools in ../libexec/kelda) keeps it in the configuration folder, even where
        // the program's folder can be written.
        const QString usr = root.filePath("usr");
        QVERIFY(QDir().mkpath(usr + "/bin") && QDir().mkpath(usr + "/libexec/kelda"));
        QCOMPARE(CKeldaStartup::settingsFile(usr + "/bin", QString()), config + "/KELDA/KELDA.ini");
        QVERIFY(QFileInfo(config + "/KELDA").isDir());

        // A settings file already beside the program still wins.
        QFile beside(usr + "/bin/KELDA.ini");
        QVERIFY(beside.open(QIODevice::WriteOnly));
        beside.close();
        QCOMPARE(CKeldaStartup::settingsFile(usr + "/bin", QString()), usr + "/bin/KELDA.ini");

        // --settings-dir wins over both.
        QCOMPARE(CKeldaStartup::settingsFile(usr + "/bin", root.filePath("chosen")),
                 root.filePath("chosen") + "/KELDA.ini");
    }

    void helpAndVersionNeedNoDisplay_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("expected");
        QTest::newRow("help") << "--help"
                              << "--settings-dir";
        QTest::newRow("version") << "--version" << KELDA_VERSION_TEXT;
    }
    void helpAndVersionNeedNoDisplay() {
        QFETCH(QString, option);
        QFETCH(QString, expected);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            env.remove(QString::fromLatin1(name));
        }
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(KELDA_BIN_DIR "/kelda"), {option});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(out.contains(expected), qPrintable(out));
        if (option == "--help") {
            QVERIFY(out.contains("--unit-port") && out.contains("KELDA.ini"));
        }
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
