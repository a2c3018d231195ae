// The units of an X axis (##XUNITS=) and how abscissas in one convert to
// another: wavenumbers, micrometres and nanometres into each other, hertz and
// ppm with the block's observe frequency. Other units only match themselves.
#pragma once

#include <string>

namespace jcamp {

enum class XUnitKind { kNone, kWavenumber, kMicrometre, kNanometre, kHertz, kPpm, kOther };

struct XUnits {
  XUnitKind kind = XUnitKind::kNone;
  std::string name;     // upper case without blanks: what units of kOther are compared by
  std::string written;  // as the file or the caller wrote them, for messages
};

// The units a ##XUNITS= text names; null or blank: kNone.
XUnits xUnitsOf(const char* text);

// The words for units in a message: as written, or "no ##XUNITS=".
std::string describeUnits(const XUnits& units);

// Abscissas in one unit made abscissas in another: x, x * factor, x / factor
// or factor / x, each one correctly rounded operation in double.
struct XConversion {
  enum class Op { kSame, kMultiply, kDivide, kReciprocal };
  Op op = Op::kSame;
  double factor = 1.0;

  double apply(double x) const;
  bool same() const { return op == Op::kSame; }
};

// How abscissas in `from` become abscissas in `to`; observeFrequency (MHz,
// that of the block whose abscissas they are) converts hertz and ppm. False
// with reason set when they do not convert.
bool conversionBetween(const XUnits& from, const XUnits& to, double observeFrequency,
                       XConversion& conversion, std::string& reason);

// A ##YUNITS= text as compared between rows: upper case, without blanks.
std::string normalUnitsName(const char* text);

}  // namespace jcamp
