#include "comparisonpdf.h"

#include "app/apperror.h"
#include "app/filehelpers.h"
#include "comparison.h"
#include "comparisontable.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>

namespace {

constexpr int dotsPerInch = 300;
// Wider tables than this many plans are laid out across the page's long side.
constexpr int portraitPlans = 3;

QString tr(const char* text)
{
    return QCoreApplication::translate("ComparisonPdf", text);
}

QFont fontOf(qreal points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QSizeF textSize(const QFontMetricsF& metrics, const QString& text)
{
    return QSizeF(metrics.horizontalAdvance(text), metrics.lineSpacing());
}

class TablePainter {
public:
    TablePainter(
        QPaintDevice& device, const Comparison& comparison, const QVector<ComparedPlan>& plans)
        : mComparison(comparison)
        , mPlans(plans)
        , mBody(fontOf(9, false))
        , mBold(fontOf(9, true))
        , mBodyMetrics(mBody, &device)
        , mBoldMetrics(mBold, &device)
        , mPad(mBodyMetrics.height() * 0.3)
    {
        QVector<QStringList> lines = ComparisonTable::cells(comparison, plans);
        mHeader = lines.value(0);
        mRows = lines.mid(1);
        mWidths.fill(0, mHeader.size());
        measureRow(mHeader, true);
        for (const QStringList& row : mRows)
            measureRow(row, false);
    }

    qreal width() const
    {
        qreal total = 0;
        for (const qreal column : mWidths)
            total += column;
        return total;
    }
    qreal height() const
    {
        qreal total = 0;
        for (const qreal row : mHeights)
            total += row;
        return total;
    }

    void paint(QPainter& painter, QPointF origin) const
    {
        painter.setPen(QPen(Qt::gray, 1));
        qreal y = origin.y();
        for (int row = 0; row <= mRows.size(); ++row) {
            const QStringList& cells = row == 0 ? mHeader : mRows.at(row - 1);
            qreal x = origin.x();
            for (int column = 0; column < cells.size(); ++column) {
                const QRectF cell(x, y, mWidths.at(column), mHeights.at(row));
                painter.setPen(QPen(QColor(0xB0, 0xB0, 0xB0), 1));
                painter.drawRect(cell);
                paintCell(painter, cell.adjusted(mPad, mPad / 2, -mPad, -mPad / 2), row, column,
                    cells.at(column));
                x += mWidths.at(column);
            }
            y += mHeights.at(row);
        }
    }

private:
    // The header row and the labels are drawn bold.
    void measureRow(const QStringList& cells, bool header)
    {
        qreal rowHeight = 0;
        for (int column = 0; column < cells.size(); ++column) {
            const QFontMetricsF& metrics = header || column == 0 ? mBoldMetrics : mBodyMetrics;
            const QSizeF size = textSize(metrics, cells.at(column)) + QSizeF(2 * mPad, mPad);
            mWidths[column] = std::max(mWidths.at(column), size.width());
            rowHeight = std::max(rowHeight, size.height());
        }
        mHeights << rowHeight;
    }

    void paintCell(
        QPainter& painter, const QRectF& area, int row, int column, const QString& text) const
    {
        const bool header = row == 0 || column == 0;
        painter.setFont(header ? mBold : mBody);
        if (header) {
            painter.setPen(Qt::black);
            painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, text);
            return;
        }
        // Differences to the first plan in grey.
        painter.setPen(
            column > 1 && column % 2 == 1 ? QColor(0x50, 0x50, 0x50) : QColor(Qt::black));
        painter.drawText(area,
            (ComparisonTable::cellAlignsRight(mComparison, mPlans, row - 1, column - 1)
                    ? Qt::AlignRight
                    : Qt::AlignLeft)
                | Qt::AlignVCenter,
            text);
    }

    const Comparison& mComparison;
    const QVector<ComparedPlan>& mPlans;
    QFont mBody;
    QFont mBold;
    QFontMetricsF mBodyMetrics;
    QFontMetricsF mBoldMetrics;
    qreal mPad;
    QStringList mHeader;
    QVector<QStringList> mRows;
    QVector<qreal> mWidths;
    QVector<qreal> mHeights;
};

QPageSize localPageSize()
{
    return QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize(QPageSize::Letter)
                                                                      : QPageSize(QPageSize::A4);
}

} // namespace

void writeComparisonPdf(const QString& path, const Comparison& comparison,
    const QVector<ComparedPlan>& plans, const QDateTime& made)
{
    // Drawn in memory, then written whole: a full disk is told, never a cut-short file.
    QBuffer drawn;
    drawn.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&drawn);
        writer.setResolution(dotsPerInch);
        writer.setTitle(tr("Plan Comparison"));
        writer.setPageLayout(QPageLayout(localPageSize(),
            plans.size() > portraitPlans ? QPageLayout::Landscape : QPageLayout::Portrait,
            QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter));
        QPainter painter(&writer);
        if (!painter.isActive())
            throw AppError(QStringLiteral("%1 could not be drawn").arg(path));
        const QRectF page(QPointF(0, 0), writer.pageLayout().paintRectPixels(dotsPerInch).size());

        const QFont titleFont = fontOf(14, true);
        const QFont dateFont = fontOf(9, false);
        const QFontMetricsF titleMetrics(titleFont, &writer);
        const QFontMetricsF dateMetrics(dateFont, &writer);
        const QString title = tr("Plan Comparison");
        const QString date
            = tr("Compared on %1").arg(QLocale().toString(made, QLocale::LongFormat));
        const TablePainter table(writer, comparison, plans);
        const qreal tableTop = titleMetrics.lineSpacing() + dateMetrics.lineSpacing() * 2;
        const qreal width = std::max({ table.width(), titleMetrics.horizontalAdvance(title),
            dateMetrics.horizontalAdvance(date) });
        const qreal height = tableTop + table.height();
        // A table too large for the page is drawn smaller, never across a second page.
        const qreal scale
            = std::min({ 1.0, page.width() / (width + 2), page.height() / (height + 2) });
        painter.scale(scale, scale);
        painter.setPen(Qt::black);
        painter.setFont(titleFont);
        painter.drawText(QPointF(0, titleMetrics.ascent()), title);
        painter.setFont(dateFont);
        painter.drawText(QPointF(0, titleMetrics.lineSpacing() + dateMetrics.ascent()), date);
        table.paint(painter, QPointF(1, tableTop));
        if (!painter.end())
            throw AppError(QStringLiteral("%1 could not be drawn").arg(path));
    }
    WriteBytesToFile(drawn.data(), path);
}
