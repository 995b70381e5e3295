#include "hosts/libreoffice/WriterTableFit.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/text/HoriOrientation.hpp>
#include <com/sun/star/text/TableColumnSeparator.hpp>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "base/ColumnFit.h"
#include "hosts/libreoffice/WriterCalls.h"

namespace quillon::libreoffice {
namespace {

using css::uno::UNO_QUERY_THROW;

// Writer measures in hundredths of a millimetre, the estimate in twips.
long TwipsOf(sal_Int32 hundredthsOfMm) {
  return std::lround(hundredthsOfMm * 1440.0 / 2540.0);
}
sal_Int32 HundredthsOfMmOf(long twips) {
  return static_cast<sal_Int32>(std::lround(twips * 2540.0 / 1440.0));
}

template <typename T>
T Property(const Reference<css::beans::XPropertySet>& set, const char* name) {
  T value{};
  set->getPropertyValue(OUString::createFromAscii(name)) >>= value;
  return value;
}

// Returns the text width in twips of the page style in effect at paragraph.
long TextWidthAt(const WriterStory& story, const Reference<css::text::XTextRange>& paragraph) {
  Reference<css::beans::XPropertySet> properties(paragraph, UNO_QUERY_THROW);
  OUString pageStyle = Property<OUString>(properties, "PageStyleName");
  Reference<css::style::XStyleFamiliesSupplier> families(story.document(), UNO_QUERY_THROW);
  Reference<css::container::XNameAccess> pageStyles(
      families->getStyleFamilies()->getByName("PageStyles"), UNO_QUERY_THROW);
  Reference<css::beans::XPropertySet> page(pageStyles->getByName(pageStyle), UNO_QUERY_THROW);
  return TwipsOf(Property<sal_Int32>(page, "Width") - Property<sal_Int32>(page, "LeftMargin") -
                 Property<sal_Int32>(page, "RightMargin"));
}

void Fit(const WriterStory& story, const StoryTable& table) {
  const std::vector<StoryUnit>& units = story.units();
  const size_t columns = table.firstRowColumns.size();
  if (columns == 0 || table.firstUnit >= units.size()) return;
  // The longest paragraph of each column, in characters (fields and all: a list's cells hold
  // plain text).
  std::vector<size_t> longest(columns, 0);
  for (size_t u = table.firstUnit; u <= table.lastUnit && u < units.size(); ++u) {
    const StoryUnit& unit = units[u];
    if (unit.end == UnitEnd::kRow || unit.column < 0 ||
        static_cast<size_t>(unit.column) >= columns) {
      continue;
    }
    size_t& column = longest[static_cast<size_t>(unit.column)];
    column = std::max(column, static_cast<size_t>(std::max(unit.length - 1, 0L)));
  }
  Reference<css::beans::XPropertySet> firstParagraph(units[table.firstUnit].paragraph,
                                                     UNO_QUERY_THROW);
  const int halfPoints =
      std::max(2, static_cast<int>(std::lround(Property<float>(firstParagraph, "CharHeight") * 2)));
  std::vector<long> wanted;
  for (size_t characters : longest) {
    wanted.push_back(FittedCellWidth(EstimatedLineWidth(characters, halfPoints)));
  }
  std::vector<long> widths =
      FitColumnWidths(wanted, TextWidthAt(story, units[table.firstUnit].paragraph));
  const long total = std::accumulate(widths.begin(), widths.end(), 0L);
  if (total <= 0) return;

  Reference<css::beans::XPropertySet> properties(table.table, UNO_QUERY_THROW);
  properties->setPropertyValue("HoriOrient", css::uno::Any(css::text::HoriOrientation::LEFT));
  properties->setPropertyValue("Width", css::uno::Any(HundredthsOfMmOf(total)));
  // Column borders are placed in parts of the table's relative width.
  const auto relativeSum = Property<sal_Int16>(properties, "TableColumnRelativeSum");
  css::uno::Sequence<css::text::TableColumnSeparator> separators(
      static_cast<sal_Int32>(columns - 1));
  long sum = 0;
  for (size_t i = 0; i + 1 < columns; ++i) {
    sum += widths[i];
    separators.getArray()[i].Position = static_cast<sal_Int16>(sum * relativeSum / total);
    separators.getArray()[i].IsVisible = true;
  }
  properties->setPropertyValue("TableColumnSeparators", css::uno::Any(separators));
}

}  // namespace

void FitTablesToContents(const WriterStory& story) {
  for (const StoryTable& table : story.tables()) {
    if (table.fitsContents) Uno("fitting a table to its contents", [&] { Fit(story, table); });
  }
}

}  // namespace quillon::libreoffice
