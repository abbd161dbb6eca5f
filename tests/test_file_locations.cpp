#include "FileLocations.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// Which copy is installed and which is portable, decided from the folders alone.
class FileLocationsTest : public QObject
{
    Q_OBJECT
private slots:
    void decidesFromTheLayout_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("expected"); // settings, pages, guide

        QTest::newRow("build folder") << QStringList{"build/qorvane", "build/操作ガイド.pdf"} << "build"
                                      << QStringList{"build", "build", "build/操作ガイド.pdf"};
        QTest::newRow("unpacked into a bin folder") << QStringList{"opt/bin/qorvane", "opt/share/other/x"} << "opt/bin"
                                                    << QStringList{"opt/bin", "opt/bin", "opt/bin/操作ガイド.pdf"};
        QTest::newRow("installed") << QStringList{"usr/bin/qorvane", "usr/share/qorvane/操作ガイド.pdf"} << "usr/bin"
                                   << QStringList{"home/.config/qorvane", "home/.local/share/qorvane",
                                                  "usr/share/qorvane/操作ガイド.pdf"};
    }

    void decidesFromTheLayout()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, program);
        QFETCH(QStringList, expected);
        QTemporaryDir root;
        for (const QString& file : files) {
            QDir(root.path()).mkpath(QFileInfo(file).path());
            QFile(root.filePath(file)).open(QIODevice::WriteOnly);
        }
        const FileLocations found = FileLocations::forProgramIn(root.filePath(program), root.filePath("home/.config"),
                                                                root.filePath("home/.local/share"));
        QCOMPARE((QStringList{found.settingsFolder, found.pagesFolder, found.guideFile}),
                 (QStringList{root.filePath(expected[0]), root.filePath(expected[1]), root.filePath(expected[2])}));
        // The user's folders exist before the first file is written into them.
        QVERIFY(QFileInfo(found.settingsFolder).isDir());
        QVERIFY(QFileInfo(found.pagesFolder).isDir());
    }
};

QTEST_GUILESS_MAIN(FileLocationsTest)
#include "test_file_locations.moc"
