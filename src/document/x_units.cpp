#include "document/x_units.h"

#include <cmath>
#include <cstring>

#include "labels/ascii_case.h"
#include "labels/markers.h"

namespace jcamp {
namespace {

// One centimetre in micrometres and in nanometres: a wavenumber is the
// reciprocal of the wavelength.
constexpr double kMicrometresPerCentimetre = 1e4;
constexpr double kNanometresPerCentimetre = 1e7;
constexpr double kNanometresPerMicrometre = 1e3;

struct NamedKind {
  const char* name;
  XUnitKind kind;
};

// The names (upper case, without blanks) by which files write the units that convert.
constexpr NamedKind kKnownUnits[] = {
    {"1/CM", XUnitKind::kWavenumber},
    {"CM-1", XUnitKind::kWavenumber},
    {"CM^-1", XUnitKind::kWavenumber},
    {"CM**-1", XUnitKind::kWavenumber},
    {"WAVENUMBERS", XUnitKind::kWavenumber},
    {"WAVENUMBER", XUnitKind::kWavenumber},
    {"MICROMETERS", XUnitKind::kMicrometre},
    {"MICROMETER", XUnitKind::kMicrometre},
    {"MICROMETRES", XUnitKind::kMicrometre},
    {"MICROMETRE", XUnitKind::kMicrometre},
    {"MICRONS", XUnitKind::kMicrometre},
    {"MICRON", XUnitKind::kMicrometre},
    {"UM", XUnitKind::kMicrometre},
    {"NANOMETERS", XUnitKind::kNanometre},
    {"NANOMETER", XUnitKind::kNanometre},
    {"NANOMETRES", XUnitKind::kNanometre},
    {"NANOMETRE", XUnitKind::kNanometre},
    {"NM", XUnitKind::kNanometre},
    {"WAVELENGTH(NM)", XUnitKind::kNanometre},
    {"HZ", XUnitKind::kHertz},
    {"HERTZ", XUnitKind::kHertz},
    {"PPM", XUnitKind::kPpm},
};

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

bool isWavelength(XUnitKind kind) {
  return kind == XUnitKind::kWavenumber || kind == XUnitKind::kMicrometre ||
         kind == XUnitKind::kNanometre;
}

bool isFrequency(XUnitKind kind) {
  return kind == XUnitKind::kHertz || kind == XUnitKind::kPpm;
}

// The centimetre-based constant c of a conversion between a wavenumber and a wavelength.
double reciprocalConstant(XUnitKind wavelength) {
  return wavelength == XUnitKind::kMicrometre ? kMicrometresPerCentimetre
                                              : kNanometresPerCentimetre;
}

XConversion wavelengthConversion(XUnitKind from, XUnitKind to) {
  XConversion conversion;
  if (from == to) return conversion;
  if (from == XUnitKind::kWavenumber || to == XUnitKind::kWavenumber) {
    conversion.op = XConversion::Op::kReciprocal;
    conversion.factor = reciprocalConstant(from == XUnitKind::kWavenumber ? to : from);
    return conversion;
  }
  // Micrometres and nanometres.
  conversion.op =
      from == XUnitKind::kMicrometre ? XConversion::Op::kMultiply : XConversion::Op::kDivide;
  conversion.factor = kNanometresPerMicrometre;
  return conversion;
}

}  // namespace

std::string normalUnitsName(const char* text) {
  std::string name;
  for (const char* c = text; c != nullptr && *c != '\0'; ++c) {
    if (isBlank(*c)) continue;
    name += upperAscii(*c);
  }
  return name;
}

XUnits xUnitsOf(const char* text) {
  XUnits units;
  units.name = normalUnitsName(text);
  if (units.name.empty()) return units;
  const char* begin = text;
  while (isBlank(*begin)) ++begin;
  const char* end = begin + std::strlen(begin);
  while (end > begin && isBlank(end[-1])) --end;
  units.written.assign(begin, end);
  units.kind = XUnitKind::kOther;
  for (const NamedKind& known : kKnownUnits) {
    if (units.name == known.name) units.kind = known.kind;
  }
  return units;
}

std::string describeUnits(const XUnits& units) {
  return units.kind == XUnitKind::kNone ? std::string("no ##XUNITS=") : units.written;
}

double XConversion::apply(double x) const {
  switch (op) {
    case Op::kMultiply:
      return x * factor;
    case Op::kDivide:
      return x / factor;
    case Op::kReciprocal:
      return factor / x;
    case Op::kSame:
      break;
  }
  return x;
}

bool conversionBetween(const XUnits& from, const XUnits& to, double observeFrequency,
                       XConversion& conversion, std::string& reason) {
  conversion = XConversion();
  if (from.kind == to.kind && (from.kind != XUnitKind::kOther || from.name == to.name)) return true;
  if (isWavelength(from.kind) && isWavelength(to.kind)) {
    conversion = wavelengthConversion(from.kind, to.kind);
    return true;
  }
  const bool frequencyKnown =
      observeFrequency != kUnsetDouble && std::isfinite(observeFrequency) && observeFrequency > 0;
  if (isFrequency(from.kind) && isFrequency(to.kind) && frequencyKnown) {
    // ppm = Hz / MHz of the spectrometer.
    conversion.op =
        from.kind == XUnitKind::kHertz ? XConversion::Op::kDivide : XConversion::Op::kMultiply;
    conversion.factor = observeFrequency;
    return true;
  }
  reason = "X in " + describeUnits(from) + ", the grid in " + describeUnits(to);
  if (isFrequency(from.kind) && isFrequency(to.kind)) {
    reason += ", and no ##.OBSERVE FREQUENCY= to convert them";
  }
  return false;
}

}  // namespace jcamp
