#include "output/report_parts.h"

#include "app/format.h"
#include "app/race_store.h"
#include "output/view_files.h"

#include <QBuffer>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>

#include <cmath>

namespace marunoki {

namespace {

constexpr double kTwipsPerInch = 1440;

}  // namespace

QString xmlText(const QString &text)
{
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || u == 0xFFFE || u == 0xFFFF)
            continue;
        clean += c;
    }
    return clean.toHtmlEscaped();
}

QByteArray withFontFallback(const QByteArray &svg)
{
    static const QRegularExpression family(QStringLiteral("font-family=\"([^\"]*)\""));
    QString fonts = kReportFonts;
    fonts.replace(u'\'', QStringLiteral("&apos;"));
    QString text = QString::fromUtf8(svg);
    text.replace(family, QStringLiteral("font-family=\"\\1,%1\"").arg(fonts));
    return text.toUtf8();
}

QByteArray svgOf(const QSizeF &twips, const QString &title,
    const std::function<void(QPainter &painter, const QRectF &target)> &paint)
{
    const double scale = kViewPictureDpi / kTwipsPerInch;
    const QSizeF size(std::ceil(twips.width() * scale), std::ceil(twips.height() * scale));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (size.isEmpty() || !buffer.open(QIODevice::WriteOnly))
        return {};
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size.toSize());
    svg.setViewBox(QRectF(QPointF(0, 0), size));
    svg.setResolution(kViewPictureDpi);
    // QSvgGenerator writes the title as given.
    svg.setTitle(xmlText(title));
    QPainter painter;
    if (!painter.begin(&svg))
        return {};
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);
    paint(painter, QRectF(0, 0, twips.width() * scale, twips.height() * scale));
    if (!painter.end())
        return {};
    // The drawn texts are escaped by the generator, but control characters
    // of a page field pass through; in UTF-8 they are single bytes of their own.
    bytes.removeIf([](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 && u != '\t' && u != '\n' && u != '\r';
    });
    bytes.replace("\xEF\xBF\xBE", "").replace("\xEF\xBF\xBF", "");  // U+FFFE, U+FFFF
    return withFontFallback(bytes);
}

QString titleWithoutRaceNumber(const QString &title, int race)
{
    static const QRegularExpression leading(QStringLiteral("^\\s*(\\d{1,2})R[\\s\\x{3000}]+"));
    const QRegularExpressionMatch m = leading.match(title);
    if (!m.hasMatch() || m.captured(1).toInt() != race)
        return title;
    return title.mid(m.capturedLength());
}

QString raceHeading(double raceDate, const QString &course, int race, const QString &title)
{
    QStringList parts;
    if (raceDate > 0)
        parts << formatDate(raceDate, QStringLiteral("yyyy/mm/dd"));
    if (!course.isEmpty())
        parts << course;
    if (race > 0)
        parts << QString::number(race) + u'R';
    const QString name = titleWithoutRaceNumber(title, race);
    if (!name.isEmpty())
        parts << name;
    return parts.join(u' ');
}

QStringList captionLines(const QString &caption)
{
    QStringList lines = caption.split(QRegularExpression(QStringLiteral("\\r\\n|\\r|\\n")));
    lines.removeAll(QString());
    return lines;
}

QString raceHeadingOf(const RaceStore &store, const QString &raceInfo)
{
    return raceHeading(store.raceDate, store.raceCourse, store.raceNumber, captionLines(raceInfo).value(0));
}

}  // namespace marunoki
