#include "CommandRun.h"
#include "DemoFixture.h"
#include "LayoutQueries.h"
#include "QtPdfExport.h"
#include "ScopedEnvironment.h"
#include "db/Connection.h"
#include "db/Failure.h"
#include "db/Recordset.h"
#include "db/ResultTable.h"
#include "presentation/LayoutLibrary.h"
#include "presentation/PdfFontFace.h"
#include "presentation/PdfFontSubset.h"
#include "presentation/Report.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRawFont>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

using CommandRun::tool;

QString pdfText(const QString &pdf)
{
    return tool(u"pdftotext"_s, {pdf, u"-"_s}).out;
}

// The stored bytes of each page's own content streams, page by page: what a page costs,
// apart from the fonts and resources that every page shares.
std::vector<qint64> contentBytesPerPage(const QString &pdf)
{
    const CommandRun::Outcome json =
        tool(u"qpdf"_s, {u"--json=2"_s, u"--json-key=pages"_s, u"--json-key=qpdf"_s,
                         u"--json-stream-data=none"_s, pdf});
    const QJsonObject root = QJsonDocument::fromJson(json.out.toUtf8()).object();
    const QJsonObject objects = root[u"qpdf"_s].toArray().at(1).toObject();
    std::vector<qint64> sizes;
    for (const QJsonValue page : root[u"pages"_s].toArray()) {
        qint64 size = 0;
        for (const QJsonValue content : page[u"contents"_s].toArray()) {
            const QJsonValue length =
                objects[u"obj:"_s + content.toString()][u"stream"_s][u"dict"_s][u"/Length"_s];
            // A length written after its stream is an object of its own: "12 0 R".
            size += length.isString()
                        ? objects[u"obj:"_s + length.toString()][u"value"_s].toInteger()
                        : length.toInteger();
        }
        sizes.push_back(size);
    }
    return sizes;
}

QByteArray bytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every built-in layout bound to its report's rows from the demo company, with its texts and
// parameter fields filled in as its window fills them.
std::vector<std::unique_ptr<Report>> everyReport(const Connection &connection)
{
    std::vector<std::unique_ptr<Report>> reports;
    for (const auto &[layout, sql] :
         LayoutQueries::all(connection, u"2026-01-01"_s, u"2026-06-30"_s)) {
        auto report = Report::fromLayout(layout);
        report->SetReportTitle(layout);
        for (const auto &o : report->objects())
            if (o->kind() == ReportObject::Kind::Text && o->Name().startsWith(u"txt"_s))
                report->textObject(o->Name()).SetText(o->Name() + u" text"_s);
        for (int k = 1; k <= report->parameterFieldCount(); ++k)
            report->ParameterFields(k).AddCurrentValue(u"parameter %1"_s.arg(k));
        Recordset rows;
        rows.open(sql, connection);
        report->Database().SetDataSource(rows);
        report->setCriteriaLine(u"Period 01-Jan-2026 to 30-Jun-2026"_s);
        reports.push_back(std::move(report));
    }
    return reports;
}

} // namespace

// The engine's own PDF of every report reads exactly as the one Qt's writer made (text, search
// and copy), is valid, embeds subsets of its fonts and is no larger.
TEST(PdfExport, ReadsAsQtsWriterDidForEveryLayoutAndIsValidAndNoLarger)
{
    const auto connection = Connection::openSqlite(DemoFixture::path());
    auto reports = everyReport(*connection);
    EXPECT_EQ(int(reports.size()), int(LayoutLibrary::builtInNames().size()));
    QTemporaryDir folder;
    for (auto &report : reports) {
        const QString name = report->layout().name;
        SCOPED_TRACE(name.toStdString());
        const QString theirs = folder.filePath(name + u"-qt.pdf"_s);
        const QString ours = folder.filePath(name + u".pdf"_s);
        ASSERT_TRUE(QtPdfExport::write(*report, theirs));
        ASSERT_TRUE(report->exportPdf(ours));

        const QString text = pdfText(ours);
        EXPECT_GT(text.size(), 200);
        EXPECT_EQ(text, pdfText(theirs));

        EXPECT_EQ(CommandRun::pdfProblems(ours), QString());
        EXPECT_LE(QFileInfo(ours).size(), QFileInfo(theirs).size());
        // Page by page too: a report whose shared fonts shrank could hide pages that grew.
        const std::vector<qint64> ourPages = contentBytesPerPage(ours);
        const std::vector<qint64> theirPages = contentBytesPerPage(theirs);
        ASSERT_EQ(ourPages.size(), theirPages.size());
        ASSERT_FALSE(ourPages.empty());
        for (size_t page = 0; page < ourPages.size(); ++page)
            EXPECT_LE(ourPages[page], theirPages[page]) << "page " << page + 1;

        // pdffonts: name, type, encoding, emb, sub, uni, object, generation.
        const QStringList fonts = tool(u"pdffonts"_s, {ours}).out.split(u'\n', Qt::SkipEmptyParts);
        ASSERT_GT(fonts.size(), 2);
        for (qsizetype i = 2; i < fonts.size(); ++i) {
            const QStringList f = fonts[i].split(u' ', Qt::SkipEmptyParts);
            ASSERT_GE(f.size(), 8) << fonts[i].toStdString();
            EXPECT_TRUE(f[0].contains(u"+DejaVuSans"_s)) << fonts[i].toStdString();
            EXPECT_EQ(f.mid(f.size() - 5, 3), (QStringList{u"yes"_s, u"yes"_s, u"yes"_s}))
                << fonts[i].toStdString();
        }
    }
}

// The same report gives the same bytes, dated SOURCE_DATE_EPOCH, even after a cancelled export;
// texts the fast path cannot set (other scripts) and cut texts read as they print.
TEST(PdfExport, SameBytesEachTimeTextOutsideLatinAndCancelling)
{
    ScopedEnvironment epoch("SOURCE_DATE_EPOCH", QByteArray("1767225600")); // 2026-01-01
    const auto connection = Connection::openSqlite(DemoFixture::path());
    auto reports = everyReport(*connection);
    Report &report = *reports.front();
    ASSERT_GT(report.pageCount(), 12);
    report.textObject(u"txtCompName"_s).SetText(u"Ελληνικά Εμπορικά · Norvale"_s);
    // Far too long for its box: cut, ending in an ellipsis.
    report.textObject(u"txtInvoice"_s)
        .SetText(u"Invoices "_s + QString(u"1234567890 "_s).repeated(40));
    QTemporaryDir folder;
    const QString one = folder.filePath(u"one.pdf"_s), two = folder.filePath(u"two.pdf"_s);
    ASSERT_TRUE(report.exportPdf(one));
    ASSERT_TRUE(report.exportPdf(two));
    const QByteArray first = bytes(one);
    EXPECT_EQ(first, bytes(two));
    EXPECT_TRUE(first.contains("/CreationDate (D:20260101000000Z)"));

    const QString theirs = folder.filePath(u"qt.pdf"_s);
    ASSERT_TRUE(QtPdfExport::write(report, theirs));
    const QString text = pdfText(one);
    EXPECT_TRUE(text.contains(u"Ελληνικά Εμπορικά · Norvale"_s)) << text.left(300).toStdString();
    EXPECT_TRUE(text.contains(u"\u2026"_s)) << text.left(300).toStdString();
    EXPECT_EQ(text, pdfText(theirs));

    // Cancelled while pages are being encoded ahead of the writer: no file, and the next export
    // of the same report is whole.
    const QString cancelled = folder.filePath(u"cancelled.pdf"_s);
    int calls = 0;
    EXPECT_FALSE(report.exportPdf(cancelled, [&](int done, int count) {
        EXPECT_EQ(done, ++calls);
        EXPECT_EQ(count, report.pageCount());
        return done < 7;
    }));
    EXPECT_EQ(calls, 7);
    EXPECT_FALSE(QFileInfo::exists(cancelled));
    ASSERT_TRUE(report.exportPdf(cancelled));
    EXPECT_EQ(bytes(cancelled), first);
}

// A font is read from its own file only when that file holds the very font the pages were set
// in; a font loaded from memory, here one whose header differs from the installed file's, is
// copied from its tables, and both give the same glyphs and widths.
TEST(PdfExport, FontsAreReadFromTheirFileOnlyWhenItIsTheSameFont)
{
    const QRawFont installed = QRawFont::fromFont(QFont(u"DejaVu Sans"_s));
    ASSERT_TRUE(installed.isValid());
    EXPECT_TRUE(PdfFontFace(installed).mapped());

    const QString path = tool(u"fc-match"_s, {u"-f"_s, u"%{file}"_s, u"DejaVu Sans"_s}).out;
    QByteArray data = bytes(path);
    ASSERT_GT(data.size(), 12) << path.toStdString();
    const auto u32 = [&](qsizetype at) {
        return quint32(uchar(data[at])) << 24 | quint32(uchar(data[at + 1])) << 16 |
               quint32(uchar(data[at + 2])) << 8 | quint32(uchar(data[at + 3]));
    };
    const int tables = uchar(data[4]) << 8 | uchar(data[5]);
    qsizetype head = -1;
    for (int i = 0; i < tables; ++i)
        if (data.mid(12 + 16 * i, 4) == "head")
            head = qsizetype(u32(12 + 16 * i + 8));
    ASSERT_GT(head, 0);
    data[head + 35] = char(data[head + 35] ^ 1); // the date it was last modified
    const QRawFont changed(data, 12);
    ASSERT_TRUE(changed.isValid());
    ASSERT_EQ(changed.familyName(), installed.familyName());
    EXPECT_FALSE(PdfFontFace(changed).mapped());

    const PdfFontSubset fromFile(installed, "F1"), fromTables(changed, "F2");
    ASSERT_EQ(fromFile.glyphCount(), fromTables.glyphCount());
    ASSERT_GT(fromFile.glyphCount(), 1000u);
    for (uint32_t g = 0; g < fromFile.glyphCount(); ++g)
        ASSERT_EQ(fromFile.advance(g), fromTables.advance(g)) << g;
}

// Whatever the format and however the path is spelled, an export never lands on the database
// file a connection is reading; once the connection is closed the file is an ordinary file.
TEST(PdfExport, NoExportIsWrittenOverTheDatabaseBeingRead)
{
    QTemporaryDir folder;
    const QString db = folder.filePath(u"company.sqlite"_s);
    ASSERT_TRUE(QFile::copy(DemoFixture::path(), db));
    const QString link = folder.filePath(u"report.xlsx"_s);
    ASSERT_TRUE(QFile::link(db, link));
    const QByteArray before = DemoFixture::fileHash(db);
    {
        const auto connection = Connection::openSqlite(db);
        auto reports = everyReport(*connection);
        Report &report = *reports.front();
        const QString sameFile =
            folder.filePath(u"../"_s + QFileInfo(folder.path()).fileName() + u"/company.sqlite"_s);
        const std::vector<std::function<void()>> exports = {
            [&] { EXPECT_FALSE(report.exportPdf(db)); },
            [&] { report.exportCsv(sameFile); },
            [&] { EXPECT_FALSE(report.exportXlsx(link)); },
            [&] { EXPECT_FALSE(report.exportXlsx(db)); },
        };
        for (size_t i = 0; i < exports.size(); ++i) {
            try {
                exports[i]();
                ADD_FAILURE() << "export " << i << " was written";
            } catch (const Failure &f) {
                EXPECT_TRUE(f.description().contains(u"database the report reads"_s))
                    << f.description().toStdString();
            }
        }
        EXPECT_EQ(DemoFixture::fileHash(db), before);
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);

        // A workbook goes into a pipe as it is, and the pipe stays a pipe.
        const QString pipe = folder.filePath(u"pipe"_s);
        ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
        QByteArray received;
        std::thread reader([&] {
            QFile in(pipe);
            if (in.open(QIODevice::ReadOnly))
                received = in.readAll();
        });
        EXPECT_TRUE(report.exportXlsx(pipe));
        reader.join();
        EXPECT_TRUE(received.startsWith("PK")) << received.left(16).toStdString();
        struct stat info
        {
        };
        ASSERT_EQ(::stat(QFile::encodeName(pipe).constData(), &info), 0);
        EXPECT_TRUE(S_ISFIFO(info.st_mode));
    }
    const auto other = Connection::openSqlite(DemoFixture::path());
    auto reports = everyReport(*other);
    reports.front()->exportCsv(db);
    EXPECT_NE(DemoFixture::fileHash(db), before);
}
