// The one table from operation number to its workbook form. Every
// operation of the operation list has a row here; a test walks the list to
// keep it so.
//
// A function row carries a signature "R=AAA": the result kind R and one
// letter per argument, which the translator checks and converts:
//   n  a number (a truth value becomes 1 or 0; a cell holding text reads 0)
//   s  a text (a number there would be converted by TABULON's own rule)
//   b  a truth value
//   a  any value
//   c  a single cell reference
//   r  a cell or range reference
//   l  a list of values and ranges (variable count)
// and the result kinds n (number), s (text), b (truth value).
#include "io/xlsx_export.h"

#include <array>

#include "formula/op_table.h"

namespace tabulon {

namespace {

using M = XlsxMapping;

struct Row {
  std::uint8_t op;
  XlsxMapping mapping;
  std::string_view workbook;
  std::string_view reason;
};

constexpr std::string_view kInformation = "information about TABULON itself";
constexpr std::string_view kNoEvaluation = "has no evaluation and always gives ERR";
constexpr std::string_view kDense = "empty cells and labels inside the range count as 0";
constexpr std::string_view kNoEquivalent = "no workbook function computes the same";

// For kFunction and kTemplate rows the reason field holds the signature.
constexpr Row kRows[] = {
    {kOpNumber, M::kOperand, "", ""},
    {kOpCell, M::kOperand, "", ""},
    {kOpRange, M::kOperand, "", ""},
    {kOpEnd, M::kOperand, "", ""},
    {kOpParens, M::kOperand, "", ""},
    {kOpInteger, M::kOperand, "", ""},
    {kOpString, M::kOperand, "", ""},
    {kOpLink, M::kValueOnly, "", "links to another worksheet file"},
    {kOpNegate, M::kOperator, "-", ""},
    {kOpAdd, M::kOperator, "+", ""},
    {kOpSubtract, M::kOperator, "-", ""},
    {kOpMultiply, M::kOperator, "*", ""},
    {kOpDivide, M::kOperator, "/", ""},
    {kOpPower, M::kConditional, "^",
     "0^0 and 0 to a negative power are 0 in TABULON and errors in the workbook"},
    {kOpEqual, M::kConditional, "=", "texts compare case-sensitively in TABULON"},
    {kOpNotEqual, M::kConditional, "<>", "texts compare case-sensitively in TABULON"},
    {kOpLessEqual, M::kConditional, "<=", "texts and numbers order differently"},
    {kOpGreaterEqual, M::kConditional, ">=", "texts and numbers order differently"},
    {kOpLess, M::kConditional, "<", "texts and numbers order differently"},
    {kOpGreater, M::kConditional, ">", "texts and numbers order differently"},
    {kOpAnd, M::kConditional, "AND", "#AND# is bitwise on other values than 1 and 0"},
    {kOpOr, M::kConditional, "OR", "#OR# is bitwise on other values than 1 and 0"},
    {kOpNot, M::kFunction, "NOT", "b=n"},
    {kOpUnaryPlus, M::kOperator, "+", ""},
    {kOpConcat, M::kConditional, "&", "numbers become text by TABULON's own rule"},
    {kOpPercent, M::kOperator, "%", ""},
    {kOpFactorial, M::kTemplate, "FACT(ROUND({1},0))", "n=n"},
    {kOpUnnamed27, M::kValueOnly, "", kNoEvaluation},
    {kOpUnnamed28, M::kValueOnly, "", kNoEvaluation},
    {kOpUnnamed29, M::kValueOnly, "", kNoEvaluation},
    {kOpUnnamed30, M::kValueOnly, "", kNoEvaluation},
    {kOpNA, M::kValueOnly, "", "NA is the number -1 in TABULON, an error in the workbook"},
    {kOpErr, M::kValueOnly, "", "no workbook function gives ERR"},
    {kOpAbs, M::kFunction, "ABS", "n=n"},
    {kOpInt, M::kFunction, "TRUNC", "n=n"},
    {kOpSqrt, M::kFunction, "SQRT", "n=n"},
    {kOpLog, M::kFunction, "LOG10", "n=n"},
    {kOpLn, M::kFunction, "LN", "n=n"},
    {kOpPi, M::kFunction, "PI", "n="},
    {kOpSin, M::kFunction, "SIN", "n=n"},
    {kOpCos, M::kFunction, "COS", "n=n"},
    {kOpTan, M::kFunction, "TAN", "n=n"},
    {kOpUnnamed42, M::kValueOnly, "", kNoEvaluation},
    {kOpAtan, M::kFunction, "ATAN", "n=n"},
    {kOpAsin, M::kFunction, "ASIN", "n=n"},
    {kOpAcos, M::kFunction, "ACOS", "n=n"},
    {kOpExp, M::kFunction, "EXP", "n=n"},
    // The workbook's MOD takes the divisor's sign; TABULON's the dividend's.
    {kOpMod, M::kTemplate, "{1}-{2}*TRUNC({1}/{2})", "n=nn"},
    {kOpCase, M::kTemplate, "CHOOSE(ROUND({1},0),...)", "a=na..."},
    {kOpIsNA, M::kTemplate, "{1}=-1", "b=a"},
    {kOpIsErr, M::kFunction, "ISERROR", "b=a"},
    {kOpFalse, M::kFunction, "FALSE", "b="},
    {kOpTrue, M::kFunction, "TRUE", "b="},
    {kOpRand, M::kFunction, "RAND", "n="},
    {kOpDate, M::kConditional, "DATE",
     "years 100-1899 are taken as they stand by the workbook and as 1900 onwards by "
     "TABULON, so only a constant year 0-99 or from 1900 translates"},
    // TABULON's today carries the time of day.
    {kOpToday, M::kFunction, "NOW", "n="},
    // The workbook's own financial functions take other arguments, signs and
    // zero rates; TABULON's closed forms are written out instead.
    {kOpPmt, M::kTemplate, "{1}*(1+{2})^{3}/(((1+{2})^{3}-1)/{2})", "n=nnn"},
    {kOpPv, M::kTemplate, "{1}*((1+{2})^{3}-1)/{2}/(1+{2})^{3}", "n=nnn"},
    {kOpFv, M::kTemplate, "{1}*((1+{2})^{3}-1)/{2}", "n=nnn"},
    {kOpIf, M::kTemplate, "IF({1}=1,{2},{3})", "a=baa"},
    {kOpDay, M::kFunction, "DAY", "n=n"},
    {kOpMonth, M::kFunction, "MONTH", "n=n"},
    {kOpYear, M::kFunction, "YEAR", "n=n"},
    // The workbook rounds by decimal digits, TABULON by binary products
    // (1.005 rounds to 1): the exact steps are written out.
    {kOpRound, M::kConditional, "TRUNC",
     "rounds x*10^n in binary; written out only for a constant whole number of decimals"},
    // The workbook's TIME wraps at a day; TABULON's adds the parts.
    {kOpTime, M::kTemplate, "{1}/24+{2}/1440+{3}/86400", "n=nnn"},
    // TABULON adds 0.0000694 hour before it takes minutes and seconds; the
    // workbook's HOUR, MINUTE and SECOND round to the second instead.
    {kOpHour, M::kTemplate, "TRUNC(24*({1}-TRUNC({1})))", "n=n"},
    {kOpMinute, M::kTemplate,
     "TRUNC((24*({1}-TRUNC({1}))-TRUNC(24*({1}-TRUNC({1})))+0.0000694)*60)", "n=n"},
    {kOpSecond, M::kTemplate,
     "TRUNC(((24*({1}-TRUNC({1}))-TRUNC(24*({1}-TRUNC({1})))+0.0000694)*60-"
     "TRUNC((24*({1}-TRUNC({1}))-TRUNC(24*({1}-TRUNC({1})))+0.0000694)*60))*60)",
     "n=n"},
    {kOpIsNum, M::kFunction, "ISNUMBER", "b=c"},
    {kOpIsStr, M::kFunction, "ISTEXT", "b=c"},
    {kOpLength, M::kFunction, "LEN", "n=s"},
    {kOpVal, M::kValueOnly, "", "reads numbers by TABULON's own rules"},
    {kOpStr, M::kValueOnly, "", "writes numbers by TABULON's own rules"},
    {kOpMid, M::kValueOnly, "", "a start below 1 counts as 1 in TABULON, an error in the workbook"},
    {kOpChr, M::kValueOnly, "", "character codes are Windows-1252 in TABULON"},
    {kOpOrd, M::kValueOnly, "", "character codes are Windows-1252 in TABULON"},
    {kOpFind, M::kValueOnly, "", "no occurrence gives 0 in TABULON, an error in the workbook"},
    {kOpDateVal, M::kValueOnly, "", "reads dates by TABULON's own rules and settings"},
    {kOpTimeVal, M::kValueOnly, "", "reads times by TABULON's own rules"},
    {kOpCellPt, M::kValueOnly, "", kInformation},
    {kOpSum, M::kFunction, "SUM", "n=l"},
    {kOpAvg, M::kFunction, "AVERAGE", "n=l"},
    {kOpCount, M::kFunction, "COUNT", "n=l"},
    {kOpMin, M::kFunction, "MIN", "n=l"},
    {kOpMax, M::kFunction, "MAX", "n=l"},
    {kOpVTable, M::kValueOnly, "", "keys are scanned in order and offsets start at 0"},
    {kOpNpv, M::kValueOnly, "", "non-numeric cells of the range count as periods"},
    {kOpVar, M::kFunction, "VARP", "n=l"},
    {kOpStd, M::kFunction, "STDEVP", "n=l"},
    {kOpIrr, M::kValueOnly, "", "TABULON's iteration and its failures are its own"},
    {kOpHTable, M::kValueOnly, "", "keys are scanned in order and offsets start at 0"},
    {kOpQSum, M::kValueOnly, "", "criteria are TABULON formula text"},
    {kOpQAvg, M::kValueOnly, "", "criteria are TABULON formula text"},
    {kOpQCount, M::kValueOnly, "", "criteria are TABULON formula text"},
    {kOpQMin, M::kValueOnly, "", "criteria are TABULON formula text"},
    {kOpQMax, M::kValueOnly, "", "criteria are TABULON formula text"},
    {kOpQVar, M::kValueOnly, "", "criteria are TABULON formula text"},
    {kOpQStd, M::kValueOnly, "", "criteria are TABULON formula text"},
    {kOpIndex, M::kValueOnly, "", "column comes before row and positions outside the range are read"},
    {kOpCols, M::kFunction, "COLUMNS", "n=r"},
    {kOpRows, M::kFunction, "ROWS", "n=r"},
    {kOpRepeat, M::kTemplate, "LEFT(REPT({1},{2}),240)", "s=sn"},
    {kOpUpper, M::kFunction, "UPPER", "s=s"},
    {kOpLower, M::kFunction, "LOWER", "s=s"},
    {kOpLeft, M::kFunction, "LEFT", "s=sn"},
    {kOpRight, M::kFunction, "RIGHT", "s=sn"},
    {kOpReplace, M::kValueOnly, "", kNoEvaluation},
    {kOpProper, M::kValueOnly, "", "sets bit 32 of every character not after a space"},
    {kOpCellFn, M::kValueOnly, "", "information codes are TABULON's own"},
    {kOpTrim, M::kFunction, "TRIM", "s=s"},
    {kOpClean, M::kValueOnly, "", "removes TABULON's own set of characters"},
    {kOpS, M::kFunction, "T", "s=c"},
    {kOpN, M::kFunction, "N", "n=c"},
    {kOpExact, M::kFunction, "EXACT", "b=ss"},
    {kOpUnnamed114, M::kValueOnly, "", kNoEvaluation},
    {kOpIndirect, M::kValueOnly, "", "reads addresses and names by TABULON's rules"},
    {kOpRate, M::kTemplate, "({1}/{2})^(1/{3})-1", "n=nnn"},
    {kOpTerm, M::kTemplate, "LN({3}*{2}/{1}+1)/LN(1+{2})", "n=nnn"},
    {kOpCTerm, M::kTemplate, "LN({2}/{3})/LN(1+{1})", "n=nnn"},
    {kOpSln, M::kFunction, "SLN", "n=nnn"},
    {kOpSyd, M::kFunction, "SYD", "n=nnnn"},
    {kOpDdb, M::kValueOnly, "", "fractional periods and the last periods are taken differently"},
    {kOpFact, M::kTemplate, "FACT(ROUND({1},0))", "n=n"},
    {kOpLinkFn, M::kValueOnly, "", "links to another worksheet file"},
    {kOpHTerp, M::kValueOnly, "", "interpolating lookups have no workbook function"},
    {kOpVTerp, M::kValueOnly, "", "interpolating lookups have no workbook function"},
    {kOpCsc, M::kTemplate, "1/SIN({1})", "n=n"},
    {kOpCtn, M::kTemplate, "COS({1})/SIN({1})", "n=n"},
    {kOpSec, M::kTemplate, "1/COS({1})", "n=n"},
    {kOpCosh, M::kValueOnly, "", "TABULON gives ERR from |x| = 700 on"},
    {kOpSinh, M::kValueOnly, "", "TABULON gives ERR from |x| = 700 on"},
    {kOpTanh, M::kValueOnly, "", "TABULON gives ERR from |x| = 700 on"},
    {kOpAsinh, M::kFunction, "ASINH", "n=n"},
    {kOpAcosh, M::kFunction, "ACOSH", "n=n"},
    {kOpAtanh, M::kFunction, "ATANH", "n=n"},
    {kOpComb, M::kValueOnly, "", "factorials beyond 170 make ERR in TABULON"},
    {kOpPerm, M::kValueOnly, "", "factorials beyond 170 make ERR in TABULON"},
    {kOpGammaLn, M::kFunction, "GAMMALN", "n=n"},
    {kOpX, M::kValueOnly, "", "only has a value inside TABULON's criteria"},
    {kOpMemAvail, M::kValueOnly, "", kInformation},
    {kOpPSum, M::kValueOnly, "", kDense},
    {kOpDosVer, M::kValueOnly, "", kInformation},
    {kOpVersion, M::kValueOnly, "", kInformation},
    {kOpAuto, M::kValueOnly, "", kInformation},
    {kOpProtect, M::kValueOnly, "", kInformation},
    {kOpQView, M::kValueOnly, "", kInformation},
    {kOpHex, M::kValueOnly, "", kNoEquivalent},
    {kOpDec, M::kValueOnly, "", kNoEquivalent},
    {kOpPath, M::kValueOnly, "", kInformation},
    {kOpVarU, M::kFunction, "VAR", "n=l"},
    {kOpStdU, M::kFunction, "STDEV", "n=l"},
    {kOpFileInfo, M::kValueOnly, "", kInformation},
    {kOpIoResult, M::kValueOnly, "", kInformation},
    {kOpBal, M::kTemplate, "{1}*{2}*(1+{2})^{3}/((1+{2})^{3}-1)*(1-(1+{2})^({4}-{3}))/{2}", "n=nnnn"},
    {kOpAci, M::kValueOnly, "", kNoEquivalent},
    {kOpPmtP, M::kValueOnly, "", kNoEquivalent},
    {kOpFileName, M::kValueOnly, "", kInformation},
    {kOpErf, M::kValueOnly, "", "TABULON's approximation is good to about 1E-7 only"},
    {kOpBesselJ, M::kValueOnly, "", "orders are taken differently"},
    {kOpBesselY, M::kValueOnly, "", "orders are taken differently"},
    {kOpBesselI, M::kValueOnly, "", "orders are taken differently"},
    {kOpBesselK, M::kValueOnly, "", "orders are taken differently"},
    {kOpMedian, M::kValueOnly, "", kDense},
    {kOpDet, M::kValueOnly, "", kNoEquivalent},
    {kOpRank, M::kValueOnly, "", kNoEquivalent},
    {kOpTrace, M::kValueOnly, "", kNoEquivalent},
    {kOpBeta, M::kValueOnly, "", kNoEquivalent},
    {kOpBetaI, M::kValueOnly, "", kNoEquivalent},
    {kOpGammaP, M::kValueOnly, "", kNoEquivalent},
    {kOpGammaQ, M::kValueOnly, "", kNoEquivalent},
    {kOpAveDev, M::kValueOnly, "", kDense},
    {kOpSkew, M::kValueOnly, "", kDense},
    {kOpKurt, M::kValueOnly, "", kDense},
    {kOpCov, M::kValueOnly, "", kDense},
    {kOpLogB, M::kFunction, "LOG", "n=nn"},
    {kOpCeil, M::kConditional, "TRUNC",
     "rounds x*10^n in binary; written out only for a constant whole number of decimals"},
    {kOpFloor, M::kConditional, "TRUNC",
     "rounds x*10^n in binary; written out only for a constant whole number of decimals"},
    {kOpGauss, M::kValueOnly, "", kNoEquivalent},
    {kOpPoisson, M::kValueOnly, "", kNoEquivalent},
    {kOpA, M::kValueOnly, "", "only has a value inside a user-defined function"},
    {kOpDms, M::kValueOnly, "", kNoEquivalent},
    {kOpCountA, M::kFunction, "COUNTA", "n=r"},
    {kOpIntg, M::kValueOnly, "", "takes TABULON formula text"},
    {kOpXYTerp, M::kValueOnly, "", kNoEquivalent},
    {kOpRecur, M::kValueOnly, "", "takes TABULON formula text"},
    {kOpRgb, M::kValueOnly, "", "a Windows colour word"},
    {kOpOsVer, M::kValueOnly, "", kInformation},
    {kOpUserFunction, M::kValueOnly, "", "user-defined functions live in TABULON"},
    {kOpSheetFunction, M::kValueOnly, "", "worksheet-defined functions run in TABULON"},
};

struct Index {
  std::array<XlsxOperation, 256> rows{};
  std::array<bool, 256> present{};
  Index() {
    for (const Row& r : kRows) {
      rows[r.op] = {r.op, r.mapping, r.workbook, r.reason};
      present[r.op] = true;
    }
  }
};

}  // namespace

const XlsxOperation* XlsxOperationOf(std::uint8_t op) {
  static const Index index;
  return index.present[op] ? &index.rows[op] : nullptr;
}

}  // namespace tabulon
