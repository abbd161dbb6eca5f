#pragma once

// What the site tests share: pages, their pieces and the way they run the command.
#include "AddressFinder.h"
#include "FakeConversionView.h"
#include "FileLocations.h"
#include "GeneratedLinks.h"
#include "HtmlDecode.h"
#include "PageRewriter.h"
#include "ParserBounds.h"
#include "ScriptedRandom.h"
#include "SiteJob.h"
#include "SiteRun.h"
#include "SiteWalk.h"

#include <QtTest>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// "a@b.cd" and its pieces as scope "all" with decimal references writes them.
const QByteArray A = "&#97;&#64;&#98;&#46;&#99;&#100;";
// UTF-16LE with a lone surrogate before its "@".
const QByteArray Broken("\xFF\xFE\x00\xD8@\x00", 6);
const QByteArray Page = "<!DOCTYPE html><title>t</title><p>Mail a@b.cd or x@y.jp.</p><a href=\"mailto:c@d.ef\">c</a>\n";
const QByteArray Long = QByteArray(245, 'x') + ".html"; // with a temporary name beside it, past 255 bytes

// Adds the columns of a data table and gives a function that adds a named row of them.
template <typename... T>
inline auto table(const char* const (&names)[sizeof...(T)])
{
    std::size_t i = 0;
    (QTest::addColumn<T>(names[i++]), ...);
    return [](const char* name, const T&... values) { (QTest::newRow(name) << ... << values); };
}

// Each character as a decimal reference, as scope "all" with decimal references writes it.
inline QByteArray refs(const QString& text)
{
    QByteArray out;
    for (char32_t c : text.toUcs4())
        out += "&#" + QByteArray::number(c) + ';';
    return out;
}

// A page in UTF-16LE with its byte-order mark.
inline QByteArray wide(const QByteArray& utf8)
{
    const QString text = QString::fromUtf8(utf8);
    return "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

// Every span the finder gives, and the declared encoding; *handedOver tells whether the parser gave them.
inline QStringList spansOf(const QByteArray& page, AddressFinder::Mode mode, bool* handedOver = nullptr)
{
    AddressFinder finder(page, mode);
    QString detail;
    const auto encoding = PageEncoding::choose(page, finder.declaredCharset(), &detail);
    if (!encoding)
        return {"no encoding"};
    finder.useEncoding(*encoding);
    if (handedOver)
        *handedOver = finder.handedOver();
    QStringList spans{QString::fromLatin1(finder.declaredCharset())};
    for (const AddressSpan& span : finder.find(*encoding, true))
        spans.append(QStringLiteral("%1-%2 %3 %4").arg(span.start).arg(span.end).arg(int(span.kind)).arg(span.text));
    return spans;
}

inline QByteArray readAt(const QByteArray& path)
{
    std::ifstream file(path.constData(), std::ios::binary);
    return file ? QByteArray::fromStdString(std::string(std::istreambuf_iterator<char>(file), {})) : "unreadable";
}

inline bool writeAt(const QByteArray& path, const QByteArray& bytes)
{
    std::ofstream file(path.constData(), std::ios::binary);
    return bool(file.write(bytes.constData(), bytes.size()).flush());
}

inline QByteArray readPage(const QString& path) { return readAt(QFile::encodeName(path)); }

inline QString writePage(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    return writeAt(QFile::encodeName(dir.filePath(name)), bytes) ? dir.filePath(name) : QString();
}

// No time limit of its own: under load a run may take long, and the test runner bounds it.
inline int runSite(QProcess& run, const QStringList& arguments, const QByteArray& input = {}, const QString& program = QORVANE_SITE)
{
    run.start(program, arguments);
    run.write(input);
    run.closeWriteChannel();
    return run.waitForFinished(-1) ? run.exitCode() : -1;
}

// Root reads and writes past any mode, so refused access is tried as user nobody.
inline bool asNobody() { return ::geteuid() != 0 || (::setegid(65534) == 0 && ::seteuid(65534) == 0); }
inline bool asBefore() { return ::getuid() != 0 || (::seteuid(0) == 0 && ::setegid(0) == 0); }

// A tree from entries "name" (a page), "name -> target" (a link), "name/" (a folder), "name|" (a FIFO).
inline void build(const QByteArray& root, const QList<QByteArray>& entries)
{
    for (const QByteArray& entry : entries) {
        const qsizetype arrow = entry.indexOf(" -> ");
        const QByteArray path = root + '/' + (arrow < 0 ? entry : entry.left(arrow));
        const bool made = arrow >= 0             ? ::symlink(entry.mid(arrow + 4).constData(), path.constData()) == 0
                          : entry.endsWith('/') ? ::mkdir(path.constData(), 0777) == 0
                          : entry.endsWith('|') ? ::mkfifo(path.chopped(1).constData(), 0666) == 0
                                                : writeAt(path, Page);
        QVERIFY2(made, entry.constData());
    }
}

} // namespace
