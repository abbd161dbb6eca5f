#include "FileLocations.h"

#include <QTemporaryDir>
#include <QTest>

// Installed or portable, decided from the folders alone; the user's folders exist before the first write.
class FileLocationsTest : public QObject
{
    Q_OBJECT
private slots:
    void decidesFromTheLayout_data()
    {
        QTest::addColumn<QString>("made");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("expected"); // settings, pages, guide
        QTest::newRow("build folder") << "build" << "build" << QStringList{"build", "build", "build/操作ガイド.pdf"};
        QTest::newRow("bin folder, other data") << "opt/share/other" << "opt/bin"
                                                << QStringList{"opt/bin", "opt/bin", "opt/bin/操作ガイド.pdf"};
        QTest::newRow("installed") << "usr/share/qorvane" << "usr/bin"
                                   << QStringList{"cfg/qorvane", "data/qorvane", "usr/share/qorvane/操作ガイド.pdf"};
    }

    void decidesFromTheLayout()
    {
        QFETCH(QString, made);
        QFETCH(QString, program);
        QFETCH(QStringList, expected);
        QTemporaryDir root;
        QDir(root.path()).mkpath(made);
        QDir(root.path()).mkpath(program);
        const FileLocations found =
            FileLocations::forProgramIn(root.filePath(program), root.filePath("cfg"), root.filePath("data"));
        QCOMPARE((QStringList{found.settingsFolder, found.pagesFolder, found.guideFile}),
                 (QStringList{root.filePath(expected[0]), root.filePath(expected[1]), root.filePath(expected[2])}));
        QVERIFY(QDir(found.settingsFolder).exists() && QDir(found.pagesFolder).exists());
    }
};

QTEST_GUILESS_MAIN(FileLocationsTest)
#include "test_file_locations.moc"
