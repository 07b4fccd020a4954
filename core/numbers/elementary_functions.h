// The natural logarithm, exponential and sine of every YEX front end. The
// platform's own std::log and std::exp differ in a last bit now and then
// from one C library (or one processor) to another, so the lookups would
// not give the same numbers in the browser as on the desktop; these use
// only IEEE additions, multiplications and divisions, in a fixed order,
// and give the same bits everywhere. Error below one unit in the last place.
#pragma once

namespace yex {

// ln x: NaN below 0, -inf at 0, +inf at +inf.
double Ln(double x);
// e^x: 0 below about -745.13, +inf above about 709.78.
double Exp(double x);
// sin x for |x| below about 1.6e6 (x in radians); NaN beyond, where no
// argument of a scattering angle lies.
double Sin(double x);

}  // namespace yex
