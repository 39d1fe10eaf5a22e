// The spreadsheet's Range object, and the Borders, Font and Interior objects it hands out.

#include <algorithm>
#include <cstddef>

#include "editing/export/spreadsheet_objects.h"

namespace tabulor {
namespace {

using Args = MemberDispatch::Args;
using Setter = MemberDispatch::Setter;

// Sets a format field on every cell of the range; refused when the range is larger than
// an in-memory sheet holds.
template <typename Change>
bool formatCells(Worksheet* sheet, const CellRange& range, Change change) {
  if (!sheet->reserve(range)) return false;
  for (int row = range.row; row <= range.lastRow(); ++row)
    for (int column = range.column; column <= range.lastColumn(); ++column)
      change(sheet->cell(row, column).format);
  return true;
}

// A property put that takes one integer and accepts it when valid(value) holds.
template <typename Valid, typename Apply>
Setter integerSetter(Valid valid, Apply apply) {
  return [valid, apply](const Args& index, const Variant& value) {
    return index.empty() && value.integer() && valid(*value.integer()) && apply(*value.integer());
  };
}

std::optional<HorizontalAlignment> alignmentFrom(std::int32_t value) {
  switch (value) {  // xlHAlign constants, and the short codes 1 to 4 the application also takes
    case 1:
    case -4105:
      return HorizontalAlignment::general;
    case 2:
    case -4131:
      return HorizontalAlignment::left;
    case 3:
    case -4108:
      return HorizontalAlignment::center;
    case 4:
    case -4152:
      return HorizontalAlignment::right;
    default:
      return std::nullopt;
  }
}

class BordersObject : public MemberDispatch {
 public:
  BordersObject(SpreadsheetStatePtr state, Worksheet* sheet, CellRange range)
      : state_(std::move(state)) {
    addProperty(
        "Weight", nullptr,
        integerSetter([](std::int32_t w) { return w == 1 || w == 2 || w == 4 || w == -4138; },
                      [sheet, range](std::int32_t w) {
                        return formatCells(sheet, range, [w](CellFormat& f) {
                          f.borderWeight = static_cast<std::int8_t>(w == -4138 ? 3 : w);
                        });
                      }));
  }

 private:
  SpreadsheetStatePtr state_;  // keeps the sheet alive
};

class FontObject : public MemberDispatch {
 public:
  FontObject(SpreadsheetStatePtr state, Worksheet* sheet, CellRange range)
      : state_(std::move(state)) {
    addProperty("Size", nullptr,
                integerSetter([](std::int32_t size) { return size >= 1 && size <= 409; },
                              [sheet, range](std::int32_t size) {
                                return formatCells(sheet, range, [size](CellFormat& f) {
                                  f.fontSize = static_cast<std::int16_t>(size);
                                });
                              }));
    addProperty("Bold", nullptr, [sheet, range](const Args& index, const Variant& value) {
      if (!index.empty() || !value.boolean()) return false;
      const bool bold = *value.boolean();
      return formatCells(sheet, range, [bold](CellFormat& f) { f.bold = bold; });
    });
  }

 private:
  SpreadsheetStatePtr state_;  // keeps the sheet alive
};

// ColorIndex takes an index into the 56-colour palette, or xlColorIndexNone; anything
// else (an RGB value, say) is refused and leaves the fill as it was.
class InteriorObject : public MemberDispatch {
 public:
  InteriorObject(SpreadsheetStatePtr state, Worksheet* sheet, CellRange range)
      : state_(std::move(state)) {
    addProperty("ColorIndex", nullptr,
                integerSetter(
                    [](std::int32_t index) {
                      return (index >= 1 && index <= 56) || index == kColorIndexNone;
                    },
                    [sheet, range](std::int32_t index) {
                      return formatCells(sheet, range, [index](CellFormat& f) {
                        f.colorIndex = static_cast<std::int16_t>(index);
                      });
                    }));
  }

 private:
  SpreadsheetStatePtr state_;  // keeps the sheet alive
};

std::size_t cellCount(const CellRange& range) {
  return static_cast<std::size_t>(range.rows) * static_cast<std::size_t>(range.columns);
}

class RangeObject : public MemberDispatch {
 public:
  RangeObject(SpreadsheetStatePtr state, Worksheet* sheet, CellRange range) {
    auto child = [state, sheet, range]<typename Object>() {
      return [state, sheet, range](const Args& args) -> std::optional<Variant> {
        if (!args.empty()) return std::nullopt;
        return AutomationObject(std::make_shared<Object>(state, sheet, range));
      };
    };
    auto sameSheet = [state, sheet](CellRange other) -> std::optional<Variant> {
      return makeRangeObject(state, sheet, other);
    };

    addProperty("Resize", [range, sameSheet](const Args& args) -> std::optional<Variant> {
      const std::int32_t* rows = integerArgument(args, 0);
      const std::int32_t* columns = integerArgument(args, 1);
      if (args.size() != 2 || !rows || !columns || *rows < 1 || *columns < 1 ||
          *rows > kSheetRows - range.row + 1 || *columns > kSheetColumns - range.column + 1)
        return std::nullopt;
      return sameSheet({range.row, range.column, *rows, *columns});
    });
    addProperty("Columns", [range, sameSheet](const Args& args) -> std::optional<Variant> {
      if (!args.empty()) return std::nullopt;
      return sameSheet(range);
    });
    addProperty("EntireColumn", [range, sameSheet](const Args& args) -> std::optional<Variant> {
      if (!args.empty()) return std::nullopt;
      return sameSheet({1, range.column, kSheetRows, range.columns});
    });
    addProperty("Borders", child.template operator()<BordersObject>());
    addProperty("Font", child.template operator()<FontObject>());
    addProperty("Interior", child.template operator()<InteriorObject>());

    addProperty("NumberFormat", nullptr, [sheet, range](const Args& index, const Variant& value) {
      const std::string* format = value.text();
      if (!index.empty() || !format || (*format != "@" && *format != "General")) return false;
      const bool text = *format == "@";
      return formatCells(sheet, range, [text](CellFormat& f) { f.textFormat = text; });
    });
    addProperty("HorizontalAlignment", nullptr,
                integerSetter([](std::int32_t value) { return alignmentFrom(value).has_value(); },
                              [sheet, range](std::int32_t value) {
                                const HorizontalAlignment alignment = *alignmentFrom(value);
                                return formatCells(sheet, range, [alignment](CellFormat& f) {
                                  f.alignment = alignment;
                                });
                              }));
    addProperty("RowHeight", nullptr,
                integerSetter([](std::int32_t points) { return points >= 0 && points <= 409; },
                              [sheet, range](std::int32_t points) {
                                if (!sheet->reserve(range)) return false;
                                for (int row = range.row; row <= range.lastRow(); ++row)
                                  sheet->rowHeights()[row] = points;
                                return true;
                              }));
    addProperty(
        "Value",
        [sheet, range](const Args& args) -> std::optional<Variant> {
          if (!args.empty() || cellCount(range) > kMaxSheetCells) return std::nullopt;
          VariantArray values(range.rows, range.columns);
          for (int j = 1; j <= range.columns; ++j)
            for (int i = 1; i <= range.rows; ++i)
              if (const Cell* cell = sheet->findCell(range.row + i - 1, range.column + j - 1))
                values.at(i, j) = cell->text;
          return Variant(std::move(values));
        },
        [sheet, range](const Args& index, const Variant& value) {
          return index.empty() && putValue(sheet, range, value);
        });

    addMethod("Select", [sheet, range](const Args& args) -> std::optional<Variant> {
      if (!args.empty()) return std::nullopt;
      sheet->selection() = range;
      return Variant(true);
    });
    // Fits each column of the range to the widest text the range holds in it.
    addMethod("AutoFit", [sheet, range](const Args& args) -> std::optional<Variant> {
      if (!args.empty()) return std::nullopt;
      const int last = std::min(range.lastColumn(), sheet->usedColumns());
      for (int column = range.column; column <= last; ++column)
        if (auto width = fittedColumnWidth(*sheet, column, range.row, range.lastRow()))
          sheet->columnWidths()[column] = *width;
      return Variant(true);
    });
  }

 private:
  // An array fills the range from its top-left element; range cells beyond the array
  // get "#N/A", as on the desktop. A text goes into every cell.
  static bool putValue(Worksheet* sheet, const CellRange& range, const Variant& value) {
    const VariantArray* values = value.array();
    if ((!values && !value.text()) || !sheet->reserve(range)) return false;
    for (int j = 1; j <= range.columns; ++j) {
      for (int i = 1; i <= range.rows; ++i) {
        std::string& text = sheet->cell(range.row + i - 1, range.column + j - 1).text;
        if (!values)
          text = *value.text();
        else if (i <= values->rows() && j <= values->columns())
          text = values->at(i, j);
        else
          text = "#N/A";
      }
    }
    return true;
  }
};

}  // namespace

AutomationObject makeRangeObject(SpreadsheetStatePtr state, Worksheet* sheet, CellRange range) {
  return AutomationObject(std::make_shared<RangeObject>(std::move(state), sheet, range));
}

}  // namespace tabulor
