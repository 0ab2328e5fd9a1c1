#include "output/painter_print_device.h"
#include "output/print_jobs.h"

#include "support/print_race.h"
#include "support/qt_print.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>

#include <memory>

using namespace marunoki;
using namespace marunoki::test;

namespace {

struct PdfFacts {
    QByteArray head;
    int pages = 0;
    // Width and height of the first page in points.
    QSizeF firstPage;
};

PdfFacts readPdf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    PdfFacts facts;
    facts.head = bytes.left(5);
    const QString text = QString::fromLatin1(bytes);
    facts.pages
        = static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![s\\w])"))));
    const QRegularExpressionMatch box = QRegularExpression(
        QStringLiteral("/MediaBox\\s*\\[\\s*([\\d.]+)\\s+([\\d.]+)\\s+([\\d.]+)\\s+([\\d.]+)"))
                                            .match(text);
    if (box.hasMatch())
        facts.firstPage = QSizeF(box.captured(3).toDouble() - box.captured(1).toDouble(),
            box.captured(4).toDouble() - box.captured(2).toDouble());
    return facts;
}

class PdfPrinting : public ::testing::Test {
protected:
    void load(int runners)
    {
        fillPrintRace(store, runners);
        views.shownRunner = 1;
        showGraph(context);
    }

    // Hands out a new PDF file for every document: page1.pdf, page2.pdf ...
    PainterPrintDevice::DeviceProvider newFilePerDocument()
    {
        return [this](int index) {
            writers.push_back(
                std::make_unique<QPdfWriter>(folder.file(QStringLiteral("page%1.pdf").arg(index + 1))));
            return writers.back().get();
        };
    }

    TestFolder folder;
    RaceStore store;
    Settings settings;
    WindowViews views;
    RecordingSink sink;
    ViewContext context {store, settings, 1, views, sink};
    std::vector<std::unique_ptr<QPdfWriter>> writers;
};

// A4 is 595 x 842 points.
constexpr double kA4Short = 595.3;
constexpr double kA4Long = 841.9;

TEST_F(PdfPrinting, GraphsOfSeventeenRunnersMakeTwoLandscapeA4Pages)
{
    load(17);
    {
        PainterPrintDevice printer(newFilePerDocument());
        printGraph(context, printer);
    }
    writers.clear();  // closes the files

    EXPECT_EQ(sink.messages(), QStringList {QStringLiteral("2ページ目を印刷します")});
    for (const QString &name : {QStringLiteral("page1.pdf"), QStringLiteral("page2.pdf")}) {
        SCOPED_TRACE(name.toStdString());
        const PdfFacts pdf = readPdf(folder.file(name));
        EXPECT_EQ(pdf.head, QByteArray("%PDF-"));
        EXPECT_EQ(pdf.pages, 1);
        EXPECT_NEAR(pdf.firstPage.width(), kA4Long, 1);
        EXPECT_NEAR(pdf.firstPage.height(), kA4Short, 1);
    }
    EXPECT_GT(QFile(folder.file(QStringLiteral("page1.pdf"))).size(),
        QFile(folder.file(QStringLiteral("page2.pdf"))).size());
}

TEST_F(PdfPrinting, TableMakesOnePortraitA4Page)
{
    load(18);
    const QString path = folder.file(QStringLiteral("table.pdf"));
    {
        QPdfWriter writer(path);
        PainterPrintDevice printer(writer);
        ASSERT_TRUE(printBacyu(context, printer));
    }
    const PdfFacts pdf = readPdf(path);
    EXPECT_EQ(pdf.head, QByteArray("%PDF-"));
    EXPECT_EQ(pdf.pages, 1);
    EXPECT_NEAR(pdf.firstPage.width(), kA4Short, 1);
    EXPECT_NEAR(pdf.firstPage.height(), kA4Long, 1);
    EXPECT_GT(QFile(path).size(), 10000);
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_F(PdfPrinting, NoPrinterOrAnUnwritableFileCannotPrint)
{
    load(2);
    struct Case {
        const char *name;
        PainterPrintDevice::DeviceProvider provider;
        const char *why;  // the printer's reason, behind the message
    };
    QPdfWriter unwritable(folder.file(QStringLiteral("missing/folder/out.pdf")));
    const Case cases[] = {
        {"no printer", [](int) -> QPagedPaintDevice * { return nullptr; }, "プリンタがありません"},
        {"unwritable file", [&unwritable](int) -> QPagedPaintDevice * { return &unwritable; },
            "プリンタを開けません"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        sink.clear();
        PainterPrintDevice printer(c.provider);
        EXPECT_FALSE(printGraphPage(context, printer, 1, 2));
        EXPECT_EQ(sink.messages(), QStringList {QStringLiteral("印刷できません")});
        EXPECT_EQ(sink.details(), QStringList {QString::fromUtf8(c.why)});
    }
}

// Text lands where its twips say, at its size in points, whatever scale the
// drawing before it left on the page.
TEST_F(PdfPrinting, DeviceRefusesDrawingOutsideADocumentAndPlacesItsText)
{
    const QString path = folder.file(QStringLiteral("x.pdf"));
    {
        QPdfWriter writer(path);
        PainterPrintDevice printer(writer);
        EXPECT_FALSE(printer.end().ok());
        ASSERT_TRUE(printer.begin(PageOrientation::Portrait).ok());
        EXPECT_FALSE(printer.begin(PageOrientation::Portrait).ok());
        printer.text(1440, 2880, QStringLiteral("一行目\r二行目"), 10);  // one inch in, two down
        EXPECT_TRUE(printer.end().ok());
        EXPECT_FALSE(printer.end().ok());
    }
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(60000));
    const QString boxes = QString::fromUtf8(pdftotext.readAllStandardOutput());
    const auto wordBox = [&boxes](const QString &text) {
        return QRegularExpression(QStringLiteral("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" "
                                                 "xMax=\"[0-9.]+\" yMax=\"([0-9.]+)\">%1")
                                      .arg(text))
            .match(boxes);
    };
    const QRegularExpressionMatch word = wordBox(QStringLiteral("一行目"));
    ASSERT_TRUE(word.hasMatch()) << boxes.toStdString();
    // Inside the writer's margins of 10 pt.
    EXPECT_NEAR(word.captured(1).toDouble(), 10 + 72, 2);
    EXPECT_NEAR(word.captured(2).toDouble(), 10 + 144, 2);
    EXPECT_NEAR(word.captured(3).toDouble() - word.captured(2).toDouble(), 10, 1.5);
    // A lone CR breaks the line as CR LF does.
    const QRegularExpressionMatch second = wordBox(QStringLiteral("二行目"));
    ASSERT_TRUE(second.hasMatch()) << boxes.toStdString();
    EXPECT_NEAR(second.captured(1).toDouble(), 10 + 72, 2);
    EXPECT_GT(second.captured(2).toDouble(), word.captured(3).toDouble() - 1);
}

// A print preview paints once: seventeen runners' graphs are its two pages, each
// landscape, and the page rules hold as on a printer.
TEST_F(PdfPrinting, OneFileHoldsEveryDocumentAsItsPages)
{
    load(17);
    const QString path = folder.file(QStringLiteral("preview.pdf"));
    {
        QPdfWriter writer(path);
        const std::unique_ptr<PainterPrintDevice> pages
            = std::make_unique<PainterPrintDevice>(writer, PainterPrintDevice::Pages::OneFile);
        EXPECT_FALSE(pages->end().ok());
        printGraph(context, *pages);
        EXPECT_FALSE(pages->end().ok());  // every page was ended
    }
    const PdfFacts facts = readPdf(path);
    EXPECT_EQ(facts.pages, 2);
    EXPECT_NEAR(facts.firstPage.width(), kA4Long, 1.0);
    EXPECT_FALSE(sink.messages().contains(QStringLiteral("印刷できません")));
}

TEST(DocumentFileName, LaterDocumentsGetTheirNumberBeforeTheSuffix)
{
    struct Case {
        QString path;
        int index;
        QString expected;
    };
    const Case cases[] = {
        {QStringLiteral("/tmp/graph.pdf"), 0, QStringLiteral("/tmp/graph.pdf")},
        {QStringLiteral("/tmp/graph.pdf"), 1, QStringLiteral("/tmp/graph-2.pdf")},
        {QStringLiteral("graph.pdf"), 2, QStringLiteral("graph-3.pdf")},
        {QStringLiteral("/tmp/v1.0/graph"), 1, QStringLiteral("/tmp/v1.0/graph-2")},
        {QStringLiteral("/tmp/race.2026.pdf"), 1, QStringLiteral("/tmp/race.2026-2.pdf")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(documentFileName(c.path, c.index), c.expected) << c.path.toStdString() << " " << c.index;
}

}  // namespace
