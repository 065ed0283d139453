#include "rangepdf.h"

#include "sheetpdf.h"
#include "unoconvert.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>
#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <tuple>
#include <utility>
#include <vector>

using namespace css;
using uno::Reference;
using uno::UNO_QUERY_THROW;

namespace {

// The office's own screen resolution, 96 dpi, as it holds it.
constexpr double screenPixelsPerTwip = 0.066666;

// Page style settings changed for the moment of the export, put back in reverse order.
class PageStyleMoment {
public:
    explicit PageStyleMoment(Reference<beans::XPropertySet> style)
        : mStyle(std::move(style))
    {
    }
    ~PageStyleMoment()
    {
        for (auto kept = mKept.rbegin(); kept != mKept.rend(); ++kept) {
            try {
                mStyle->setPropertyValue(kept->first, kept->second);
            } catch (const uno::Exception&) {
                // The session closes the workbook unsaved; a setting not put back is lost there.
            }
        }
    }
    PageStyleMoment(const PageStyleMoment&) = delete;
    PageStyleMoment& operator=(const PageStyleMoment&) = delete;

    void set(const char* name, const uno::Any& value)
    {
        const rtl::OUString key = rtl::OUString::createFromAscii(name);
        mKept.emplace_back(key, mStyle->getPropertyValue(key));
        mStyle->setPropertyValue(key, value);
    }

private:
    Reference<beans::XPropertySet> mStyle;
    std::vector<std::pair<rtl::OUString, uno::Any>> mKept;
};

// The range's picture draws each column a whole number of pixels wide, cutting off what is
// left over; the drawing's columns take those widths for the moment of the export, so that it
// lies on the picture to the pixel across. (Its rows are a share shorter than the office's own
// heights; the preview spreads that difference over the drawing's height.)
class PixelColumns {
public:
    explicit PixelColumns(const uno::Any& cells)
    {
        const Reference<table::XColumnRowRange> range(cells, UNO_QUERY_THROW);
        snap(Reference<container::XIndexAccess>(range->getColumns(), UNO_QUERY_THROW), "Width");
    }
    ~PixelColumns()
    {
        for (auto kept = mKept.rbegin(); kept != mKept.rend(); ++kept) {
            try {
                std::get<0>(*kept)->setPropertyValue(
                    std::get<1>(*kept), uno::Any(std::get<2>(*kept)));
            } catch (const uno::Exception&) {
                // The session closes the workbook unsaved; a width not put back is lost there.
            }
        }
    }
    PixelColumns(const PixelColumns&) = delete;
    PixelColumns& operator=(const PixelColumns&) = delete;

private:
    void snap(const Reference<container::XIndexAccess>& lines, const char* size)
    {
        const rtl::OUString key = rtl::OUString::createFromAscii(size);
        for (sal_Int32 index = 0; index < lines->getCount(); ++index) {
            const Reference<beans::XPropertySet> line(lines->getByIndex(index), UNO_QUERY_THROW);
            sal_Int32 hundredths = 0;
            line->getPropertyValue(key) >>= hundredths;
            // 1/100 mm to twips (the office keeps twips), then to pixels as the screen counts
            // them: a pixel a little over 15 twips, the rest cut off.
            const sal_Int32 twips = sal_Int32(std::lround(hundredths * 1440.0 / 2540.0));
            const auto pixels = sal_Int32(twips * screenPixelsPerTwip);
            const sal_Int32 snapped = sal_Int32(std::lround(pixels * 2540.0 / 96.0));
            if (snapped == hundredths || pixels == 0)
                continue;
            mKept.emplace_back(line, key, hundredths);
            line->setPropertyValue(key, uno::Any(snapped));
        }
    }

    std::vector<std::tuple<Reference<beans::XPropertySet>, rtl::OUString, sal_Int32>> mKept;
};

Reference<beans::XPropertySet> pageStyleOf(
    const Reference<frame::XModel>& workbook, const Reference<sheet::XSpreadsheet>& sheet)
{
    rtl::OUString name;
    Reference<beans::XPropertySet>(sheet, UNO_QUERY_THROW)
        ->getPropertyValue(rtl::OUString("PageStyle"))
        >>= name;
    return Reference<beans::XPropertySet>(
        Reference<container::XNameAccess>(
            Reference<style::XStyleFamiliesSupplier>(workbook, UNO_QUERY_THROW)
                ->getStyleFamilies()
                ->getByName(rtl::OUString("PageStyles")),
            UNO_QUERY_THROW)
            ->getByName(name),
        UNO_QUERY_THROW);
}

} // namespace

void exportRangePdf(const Reference<frame::XModel>& workbook,
    const Reference<sheet::XSpreadsheet>& sheet, const table::CellRangeAddress& range,
    const QString& path, bool gridlines)
{
    if (!QFileInfo(path).absoluteDir().exists())
        throw AppError(QStringLiteral("The folder of %1 does not exist.").arg(path));
    const rtl::OUString url = fileUrl(path);
    officeCall(QStringLiteral("export the worksheet's range as PDF"), [&] {
        const Reference<util::XModifiable> modifiable(workbook, UNO_QUERY_THROW);
        const bool wasModified = modifiable->isModified();
        const uno::Any cells(Reference<table::XCellRange>(sheet, UNO_QUERY_THROW)
                                 ->getCellRangeByPosition(range.StartColumn, range.StartRow,
                                     range.EndColumn, range.EndRow));
        {
            const PixelColumns pixelColumns(cells);
            awt::Size size;
            Reference<beans::XPropertySet>(cells, UNO_QUERY_THROW)
                ->getPropertyValue(rtl::OUString("Size"))
                >>= size;
            // One page that holds the range at 100 %; the margin keeps the outer gridlines whole.
            constexpr sal_Int32 margin = rangePdfMarginMm * 100;
            PageStyleMoment page(pageStyleOf(workbook, sheet));
            page.set("ScaleToPagesX", uno::Any(sal_Int16(0)));
            page.set("ScaleToPagesY", uno::Any(sal_Int16(0)));
            page.set("ScaleToPages", uno::Any(sal_Int16(0)));
            page.set("PageScale", uno::Any(sal_Int16(100)));
            page.set("IsLandscape", uno::Any(false));
            page.set("Width", uno::Any(size.Width + 2 * margin));
            page.set("Height", uno::Any(size.Height + 2 * margin));
            for (const char* side : { "LeftMargin", "RightMargin", "TopMargin", "BottomMargin" })
                page.set(side, uno::Any(margin));
            for (const char* off : { "HeaderIsOn", "FooterIsOn", "PrintHeaders", "PrintAnnotations",
                     "CenterHorizontally", "CenterVertically" })
                page.set(off, uno::Any(false));
            page.set("PrintGrid", uno::Any(gridlines));

            storeSelectionPdf(workbook, url, cells);
        }
        modifiable->setModified(wasModified);
    });
}
