// Word's enumeration values for the calls the add-in makes, and "missing" for omitted
// optional arguments.
#pragma once

#include <optional>

namespace quillon::host {

// An optional argument: std::nullopt (kMissing) stands for an argument the caller omits, and
// the host then applies its own default.
template <typename T>
using Optional = std::optional<T>;
inline constexpr std::nullopt_t kMissing = std::nullopt;

// WdFieldType (the subset the add-in creates).
enum WdFieldType : int { wdFieldEmpty = -1, wdFieldQuote = 35 };

// WdUnits for the selection's moves.
enum WdUnits : int { wdCharacter = 1, wdLine = 5, wdCell = 12 };

// WdMovementType: whether a move extends the selection.
enum WdMovementType : int { wdMove = 0, wdExtend = 1 };

// WdInformation (the subset the add-in reads).
enum WdInformation : int { wdActiveEndPageNumber = 3 };

// WdBorderType.
enum WdBorderType : int {
  wdBorderTop = -1,
  wdBorderLeft = -2,
  wdBorderBottom = -3,
  wdBorderRight = -4,
  wdBorderHorizontal = -5,
  wdBorderVertical = -6,
  wdBorderDiagonalDown = -7,
  wdBorderDiagonalUp = -8,
};

// WdLineStyle (the common values).
enum WdLineStyle : int {
  wdLineStyleNone = 0,
  wdLineStyleSingle = 1,
  wdLineStyleDot = 2,
  wdLineStyleDashSmallGap = 3,
  wdLineStyleDashLargeGap = 4,
  wdLineStyleDashDot = 5,
  wdLineStyleDashDotDot = 6,
  wdLineStyleDouble = 7,
};

// WdFindWrap.
enum WdFindWrap : int { wdFindStop = 0, wdFindContinue = 1, wdFindAsk = 2 };

// WdReplace.
enum WdReplace : int { wdReplaceNone = 0, wdReplaceOne = 1, wdReplaceAll = 2 };

// WdDefaultTableBehavior and WdAutoFitBehavior for Tables.Add.
enum WdDefaultTableBehavior : int { wdWord8TableBehavior = 0, wdWord9TableBehavior = 1 };
enum WdAutoFitBehavior : int { wdAutoFitFixed = 0, wdAutoFitContent = 1, wdAutoFitWindow = 2 };

}  // namespace quillon::host
